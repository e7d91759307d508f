#include "FileNameRules.h"

#include "Hashing.h"
#include "Limits.h"

#include <algorithm>

namespace {

// Characters a FAT file name may not hold; '/' and '\\' would also leave the folder.
bool isUnsafe(QChar character)
{
    switch (character.unicode()) {
    case u'/':
    case u'\\':
    case u'|':
    case u':':
    case u'*':
    case u'?':
    case u'<':
    case u'>':
    case u'"':
    case 0x7F:
        return true;
    default:
        return character.unicode() < 0x20;
    }
}

// Most names are safe already and are then not copied.
QString replaceUnsafeCharacters(QString name)
{
    const auto unsafe = [](QChar character) { return isUnsafe(character); };
    const qsizetype first = std::find_if(name.cbegin(), name.cend(), unsafe) - name.cbegin();
    if (first < name.size())
        std::replace_if(name.begin() + first, name.end(), unsafe, QLatin1Char('_'));
    return FileNameRules::withoutTrailingSpacesAndDots(std::move(name));
}

// The character that starts at `index`: its UTF-16 units and its bytes of
// UTF-8. A surrogate without its other half is written as U+FFFD.
struct Character
{
    qsizetype units;
    qsizetype bytes;
};

Character characterAt(QStringView text, qsizetype index)
{
    const char16_t unit = text[index].unicode();
    if (unit < 0x80)
        return {1, 1};
    if (unit < 0x800)
        return {1, 2};
    if (QChar::isHighSurrogate(unit) && index + 1 < text.size() &&
        QChar::isLowSurrogate(text[index + 1].unicode()))
        return {2, 4};
    return {1, 3};
}

char16_t foldedAscii(char16_t code)
{
    return code >= u'A' && code <= u'Z' ? char16_t(code + (u'a' - u'A')) : code;
}

constexpr quint64 FnvOffset = 0xcbf29ce484222325ULL;

quint64 withUnit(quint64 hash, char16_t unit)
{
    return (hash ^ unit) * 0x100000001b3ULL;
}

} // namespace

// FAT drops trailing spaces and dots, so "a." and "a" would be one file, and
// ".." would leave the notes folder.
QString FileNameRules::withoutTrailingSpacesAndDots(QString name)
{
    qsizetype end = name.size();
    while (end > 0 && (name[end - 1] == QLatin1Char(' ') || name[end - 1] == QLatin1Char('.')))
        --end;
    name.truncate(end);
    return name;
}

QString FileNameRules::cleanTitle(const QString &title)
{
    const QString safe = replaceUnsafeCharacters(title);
    return safe.isEmpty() ? QStringLiteral("_") : safe;
}

// A category line is taken whole, but no file system takes a folder name
// longer than Limits::NameBytes, so a longer one is cut there, between
// characters.
QString FileNameRules::cleanCategory(const QString &category)
{
    constexpr qsizetype MaximumBytes = Limits::NameBytes;
    // A UTF-16 unit never needs more than 3 bytes of UTF-8.
    if (category.size() <= MaximumBytes / 3)
        return replaceUnsafeCharacters(category);
    return replaceUnsafeCharacters(cutToBytes(category, MaximumBytes));
}

qsizetype FileNameRules::utf8Bytes(QStringView text)
{
    qsizetype bytes = 0;
    for (qsizetype index = 0; index < text.size();) {
        const Character character = characterAt(text, index);
        bytes += character.bytes;
        index += character.units;
    }
    return bytes;
}

QString FileNameRules::cutToBytes(const QString &text, qsizetype bytes)
{
    qsizetype end = 0;
    for (qsizetype taken = 0; end < text.size();) {
        const Character character = characterAt(text, end);
        if (taken + character.bytes > bytes)
            break;
        taken += character.bytes;
        end += character.units;
    }
    return text.first(end);
}

// FAT compares names without regard to case, and a Mac volume also without
// regard to the form an accented letter is written in ("é" as one character
// or as "e" and an accent). Most names are ASCII, where lower-casing is the
// whole fold and far cheaper than Unicode case folding, which would otherwise
// dominate a large run.
QString FileNameRules::caseKey(QStringView name, QStringView suffix)
{
    QString key(name.size() + suffix.size(), Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(key.data());
    for (const QStringView part : {name, suffix}) {
        for (const QChar character : part) {
            const char16_t code = character.unicode();
            if (code >= 0x80)
                return QString(name.toString() + suffix)
                    .toCaseFolded()
                    .normalized(QString::NormalizationForm_C);
            *out++ = foldedAscii(code);
        }
    }
    return key;
}

// FNV-1a over the units of the case key, then the finalizer of MurmurHash3 so
// that every bit of the result depends on every unit. ASCII names are folded
// as they are hashed.
quint64 FileNameRules::fingerprint(QStringView name, QStringView suffix)
{
    quint64 hash = FnvOffset;
    for (const QStringView part : {name, suffix}) {
        for (const QChar character : part) {
            if (character.unicode() >= 0x80) {
                hash = FnvOffset;
                for (const QChar folded : caseKey(name, suffix))
                    hash = withUnit(hash, folded.unicode());
                return Hashing::finished(hash);
            }
            hash = withUnit(hash, foldedAscii(character.unicode()));
        }
    }
    return Hashing::finished(hash);
}
