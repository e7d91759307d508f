#include "NotePath.h"

QString NotePath::relativePath() const
{
    return folder.isEmpty() ? fileName : folder + QLatin1Char('/') + fileName;
}
