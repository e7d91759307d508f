#include "NotePath.h"

QString NotePath::relativePath() const
{
    return category.isEmpty() ? fileName : category + QLatin1Char('/') + fileName;
}
