#include "MemoRules.h"

#include "ExportLimits.h"
#include "TextDecoder.h"

#include <QCoreApplication>

namespace {
constexpr qsizetype TitleLength = 20;
} // namespace

QString MemoRules::titleCandidate(QByteArrayView line)
{
    QString prefix = TextDecoder::decodePrefix(line, TitleLength);
    qsizetype start = 0;
    while (start < prefix.size() && prefix[start] == QLatin1Char(' '))
        ++start;
    return prefix.remove(0, start);
}

bool MemoRules::isFlag(QByteArrayView field)
{
    return field == "0" || field == "1";
}

QString MemoRules::tooLongReason(qint64 line)
{
    return QCoreApplication::translate("MemoRules",
                                       "from line %1 on, the text runs past %2 MiB without ending "
                                       "a memo, which no memo export does")
        .arg(line)
        .arg(ExportLimits::MemoBytes / (1024 * 1024));
}
