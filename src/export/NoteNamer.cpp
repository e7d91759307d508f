#include "NoteNamer.h"

#include "ExportLimits.h"

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

qsizetype utf8Bytes(QStringView text)
{
    qsizetype bytes = 0;
    for (qsizetype index = 0; index < text.size();) {
        const Character character = characterAt(text, index);
        bytes += character.bytes;
        index += character.units;
    }
    return bytes;
}

// The longest start of `text` that takes at most `bytes` of UTF-8, cut between
// characters.
QString cutToBytes(const QString &text, qsizetype bytes)
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

char16_t foldedAscii(char16_t code)
{
    return code >= u'A' && code <= u'Z' ? char16_t(code + (u'a' - u'A')) : code;
}

constexpr quint64 FnvOffset = 0xcbf29ce484222325ULL;

quint64 withUnit(quint64 hash, char16_t unit)
{
    return (hash ^ unit) * 0x100000001b3ULL;
}

quint64 finished(quint64 hash)
{
    hash ^= hash >> 33;
    hash *= 0xff51afd7ed558ccdULL;
    hash ^= hash >> 33;
    hash *= 0xc4ceb3fe1a85ec53ULL;
    return hash ^ (hash >> 33);
}

} // namespace

NoteNamer::NoteNamer(QString extension)
    : m_extension(std::move(extension)), m_nameBytes(ExportLimits::NameBytes)
{
    m_byKey.insert(QString(), &m_folders.emplace_back());
}

// FAT drops trailing spaces and dots, so "a." and "a" would be one file, and
// ".." would leave the notes folder.
QString NoteNamer::withoutTrailingSpacesAndDots(QString name)
{
    qsizetype end = name.size();
    while (end > 0 && (name[end - 1] == QLatin1Char(' ') || name[end - 1] == QLatin1Char('.')))
        --end;
    name.truncate(end);
    return name;
}

// Most names are safe already and are then not copied.
QString NoteNamer::replaceUnsafeCharacters(QString name)
{
    const auto unsafe = [](QChar character) { return isUnsafe(character); };
    const qsizetype first = std::find_if(name.cbegin(), name.cend(), unsafe) - name.cbegin();
    if (first < name.size())
        std::replace_if(name.begin() + first, name.end(), unsafe, QLatin1Char('_'));
    return withoutTrailingSpacesAndDots(std::move(name));
}

QString NoteNamer::cleanTitle(const QString &title)
{
    const QString safe = replaceUnsafeCharacters(title);
    return safe.isEmpty() ? QStringLiteral("_") : safe;
}

// A category line is taken whole, but no file system takes a folder name
// longer than ExportLimits::NameBytes, so a longer one is cut there, between
// characters.
QString NoteNamer::cleanCategory(const QString &category)
{
    constexpr qsizetype MaximumBytes = ExportLimits::NameBytes;
    // A UTF-16 unit never needs more than 3 bytes of UTF-8.
    if (category.size() <= MaximumBytes / 3)
        return replaceUnsafeCharacters(category);
    return replaceUnsafeCharacters(cutToBytes(category, MaximumBytes));
}

// FAT compares names without regard to case. Most names are ASCII, where
// lower-casing is the whole fold and far cheaper than Unicode case folding,
// which would otherwise dominate a large run.
QString NoteNamer::caseKey(QStringView name, QStringView suffix)
{
    QString key(name.size() + suffix.size(), Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(key.data());
    for (const QStringView part : {name, suffix}) {
        for (const QChar character : part) {
            const char16_t code = character.unicode();
            if (code >= 0x80)
                return QString(name.toString() + suffix).toCaseFolded();
            *out++ = foldedAscii(code);
        }
    }
    return key;
}

// FNV-1a over the units of the case key, then the finalizer of MurmurHash3 so
// that every bit of the result depends on every unit. ASCII names are folded
// as they are hashed.
quint64 NoteNamer::fingerprint(QStringView name, QStringView suffix)
{
    quint64 hash = FnvOffset;
    for (const QStringView part : {name, suffix}) {
        for (const QChar character : part) {
            if (character.unicode() >= 0x80) {
                hash = FnvOffset;
                for (const QChar folded : caseKey(name, suffix))
                    hash = withUnit(hash, folded.unicode());
                return finished(hash);
            }
            hash = withUnit(hash, foldedAscii(character.unicode()));
        }
    }
    return finished(hash);
}

NotePath NoteNamer::name(const Memo &memo)
{
    Folder &folder = folderFor(memo.category);
    return NotePath{folder.name, takeFree(folder, cleanTitle(memo.title), m_extension)};
}

void NoteNamer::moveCategory(const QString &category)
{
    const QString clean = cleanCategory(category);
    Folder &folder = *m_byKey.value(caseKey(clean));
    folder = Folder{takeFree(m_folders.front(), clean, QString()), {}};
}

bool NoteNamer::refuseNamesAsLongAs(QStringView name)
{
    const qsizetype shorter = qMin(m_nameBytes, utf8Bytes(name) - 1);
    if (shorter < ShortestNameBytes)
        return false;
    m_nameBytes = shorter;
    return true;
}

// Categories that differ only in case share the folder of the first of them,
// as they would on FAT anyway. A folder's name is taken among the names in the
// notes folder, so a note there cannot have it, nor it a note's.
NoteNamer::Folder &NoteNamer::folderFor(const QString &category)
{
    if (Folder *known = m_byCategory.value(category))
        return *known;
    // A file with ever new categories must not make this grow without bound.
    if (m_byCategory.size() >= 4096)
        m_byCategory.clear();
    const QString clean = cleanCategory(category);
    const QString key = caseKey(clean);
    Folder *folder = m_byKey.value(key);
    if (!folder) {
        folder = &m_folders.emplace_back(Folder{takeFree(m_folders.front(), clean, QString()), {}});
        m_byKey.insert(key, folder);
    }
    m_byCategory.insert(category, folder);
    return *folder;
}

QString NoteNamer::takeFree(Folder &folder, const QString &stem, const QString &suffix) const
{
    const QString plain = fitted(stem, utf8Bytes(suffix));
    const quint64 base = fingerprint(plain, suffix);
    const std::optional<int> lastNumber = take(folder, base);
    if (!lastNumber)
        return suffix.isEmpty() ? plain : plain + suffix;
    // Remembering the last number per name keeps a run of equal names linear.
    int number = *lastNumber;
    for (;;) {
        QString name = numbered(stem, ++number, suffix);
        if (!take(folder, fingerprint(name))) {
            folder.taken.insert(base, number);
            return name;
        }
    }
}

// "stem (N)suffix", in one allocation where the stem fits as it is.
QString NoteNamer::numbered(const QString &stem, int number, const QString &suffix) const
{
    char16_t digits[12];
    char16_t *start = std::end(digits);
    do {
        *--start = char16_t(u'0' + number % 10);
        number /= 10;
    } while (number > 0);
    const QStringView count(start, std::end(digits));
    // " (", the count and ")" are ASCII: a byte a character.
    const QString fittedStem = fitted(stem, count.size() + 3 + utf8Bytes(suffix));
    const QStringView parts[] = {fittedStem, u" (", count, u")", suffix};
    qsizetype size = 0;
    for (const QStringView part : parts)
        size += part.size();
    QString name(size, Qt::Uninitialized);
    QChar *out = name.data();
    for (const QStringView part : parts)
        out = std::copy(part.begin(), part.end(), out);
    return name;
}

// Most stems fit as they are: no UTF-16 unit takes more than three bytes.
QString NoteNamer::fitted(const QString &stem, qsizetype suffixBytes) const
{
    const qsizetype room = m_nameBytes - suffixBytes;
    if (3 * stem.size() <= room || utf8Bytes(stem) <= room)
        return stem;
    const QString cut = withoutTrailingSpacesAndDots(cutToBytes(stem, room));
    return cut.isEmpty() ? QStringLiteral("_") : cut;
}

// Takes a free name and gives nothing; of a name taken already, gives the
// last number given to a name built on it. One lookup either way.
std::optional<int> NoteNamer::take(Folder &folder, quint64 fingerprint)
{
    const qsizetype takenBefore = folder.taken.size();
    int &lastNumber = folder.taken[fingerprint];
    if (folder.taken.size() == takenBefore)
        return lastNumber;
    lastNumber = 1;
    return std::nullopt;
}
