#include "FileError.h"

#include <QDir>

QString FileError::message() const
{
    // One arg() call: a path or reason holding "%1" must stay as it is.
    return sentence.arg(QDir::toNativeSeparators(path), reason);
}
