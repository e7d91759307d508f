#include "FileError.h"

#include <QDir>

QString FileError::message() const
{
    return QStringLiteral("Could not %1 \"%2\": %3.")
        .arg(action, QDir::toNativeSeparators(path), reason);
}
