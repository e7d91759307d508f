#include "CharacterSet.h"

#include <QCoreApplication>
#include <QStringList>
#include <iterator>

namespace {

struct Known
{
    CharacterSet set;
    // The names the set goes by, iconv's and Windows', separated by spaces;
    // the first is shown.
    const char *names;
    // iconv's name of the table it reads: the organisers wrote Microsoft's
    // variant where the standard one lacks characters (NEC's and IBM's in
    // Japanese, the euro sign in Chinese).
    const char *converterName;
    const char *label;
};

const Known Sets[] = {
    {CharacterSet::Western, "windows-1252 cp1252", "CP1252",
     QT_TRANSLATE_NOOP("CharacterSet", "Western European (Windows-1252)")},
    {CharacterSet::CentralEuropean, "windows-1250 cp1250", "CP1250",
     QT_TRANSLATE_NOOP("CharacterSet", "Central European (Windows-1250)")},
    {CharacterSet::Cyrillic, "windows-1251 cp1251", "CP1251",
     QT_TRANSLATE_NOOP("CharacterSet", "Cyrillic (Windows-1251)")},
    {CharacterSet::Greek, "windows-1253 cp1253", "CP1253",
     QT_TRANSLATE_NOOP("CharacterSet", "Greek (Windows-1253)")},
    {CharacterSet::Turkish, "windows-1254 cp1254", "CP1254",
     QT_TRANSLATE_NOOP("CharacterSet", "Turkish (Windows-1254)")},
    {CharacterSet::Hebrew, "windows-1255 cp1255", "CP1255",
     QT_TRANSLATE_NOOP("CharacterSet", "Hebrew (Windows-1255)")},
    {CharacterSet::Arabic, "windows-1256 cp1256", "CP1256",
     QT_TRANSLATE_NOOP("CharacterSet", "Arabic (Windows-1256)")},
    {CharacterSet::Baltic, "windows-1257 cp1257", "CP1257",
     QT_TRANSLATE_NOOP("CharacterSet", "Baltic (Windows-1257)")},
    {CharacterSet::Vietnamese, "windows-1258 cp1258", "CP1258",
     QT_TRANSLATE_NOOP("CharacterSet", "Vietnamese (Windows-1258)")},
    {CharacterSet::Thai, "windows-874 cp874", "CP874",
     QT_TRANSLATE_NOOP("CharacterSet", "Thai (Windows-874)")},
    {CharacterSet::Japanese, "shift_jis sjis cp932 windows-31j ms932", "CP932",
     QT_TRANSLATE_NOOP("CharacterSet", "Japanese (Shift_JIS, Windows-932)")},
    {CharacterSet::SimplifiedChinese, "gbk cp936 windows-936 ms936", "CP936",
     QT_TRANSLATE_NOOP("CharacterSet", "Simplified Chinese (GBK, Windows-936)")},
    {CharacterSet::Korean, "cp949 uhc windows-949", "CP949",
     QT_TRANSLATE_NOOP("CharacterSet", "Korean (Windows-949)")},
    {CharacterSet::TraditionalChinese, "big5 cp950 windows-950", "CP950",
     QT_TRANSLATE_NOOP("CharacterSet", "Traditional Chinese (Big5, Windows-950)")},
    {CharacterSet::MacRoman, "macintosh mac macroman csmacintosh", "MACINTOSH",
     QT_TRANSLATE_NOOP("CharacterSet", "Western (Mac OS Roman)")},
};

const Known &known(CharacterSet set)
{
    return Sets[static_cast<int>(set)];
}

} // namespace

QList<CharacterSet> CharacterSets::all()
{
    QList<CharacterSet> sets;
    for (const Known &known : Sets)
        sets << known.set;
    return sets;
}

QString CharacterSets::nameOf(CharacterSet set)
{
    const QLatin1String names(known(set).names);
    const qsizetype space = names.indexOf(u' ');
    return space < 0 ? QString(names) : QString(names.first(space));
}

const char *CharacterSets::converterNameOf(CharacterSet set)
{
    return known(set).converterName;
}

QString CharacterSets::labelOf(CharacterSet set)
{
    return QCoreApplication::translate("CharacterSet", known(set).label);
}

std::optional<CharacterSet> CharacterSets::named(QStringView name)
{
    for (const Known &known : Sets) {
        for (const QLatin1String candidate : QLatin1String(known.names).tokenize(u' ')) {
            if (name.compare(candidate, Qt::CaseInsensitive) == 0)
                return known.set;
        }
    }
    return std::nullopt;
}

QString CharacterSets::names()
{
    QStringList names;
    for (const Known &known : Sets)
        names << nameOf(known.set);
    return names.join(QStringLiteral(", "));
}

static_assert(std::size(Sets) == static_cast<int>(CharacterSet::MacRoman) + 1,
              "one entry per set, in the order of the enum");
