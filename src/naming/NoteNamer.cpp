#include "NoteNamer.h"

#include "FileNameRules.h"
#include "Limits.h"

using namespace FileNameRules;

namespace {
// A file with ever new categories must not make the cache of categories as
// read grow without bound.
constexpr qsizetype MaximumCachedCategories = 4096;
} // namespace

NoteNamer::NoteNamer(NoteFolders &folders, bool addTxt)
    : m_folders(folders), m_extension(addTxt ? QStringLiteral(".txt") : QString()),
      m_nameBytes(Limits::NameBytes)
{
    m_byKey.insert(QString(), &m_folders.notesFolder());
}

NotePath NoteNamer::name(const QString &title, const QString &category)
{
    NoteFolder &folder = folderFor(category);
    auto [name, key] = takeFree(folder, cleanTitle(title), m_extension);
    return NotePath{&folder, std::move(name), key};
}

NotePath NoteNamer::namePart(const NotePath &note, int part)
{
    const QString stem = note.fileName.chopped(m_extension.size());
    const QString tail = QStringLiteral(" (part %1)").arg(part);
    auto [name, key] = takeFree(*note.folder, stem, m_extension, tail);
    return NotePath{note.folder, std::move(name), key};
}

// The folder the device refused stays as it was, with what the notes folder
// found of it; the category's notes go into a new one from now on.
void NoteNamer::moveCategory(const QString &category, const NoteFolder &refused)
{
    const QString clean = cleanCategory(category);
    const QString key = caseKey(clean);
    if (m_byKey.value(key) != &refused)
        return;
    m_byKey.insert(key, &newFolderFor(clean));
    m_byCategory.clear();
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
NoteFolder &NoteNamer::folderFor(const QString &category)
{
    if (NoteFolder *known = m_byCategory.value(category))
        return *known;
    if (m_byCategory.size() >= MaximumCachedCategories)
        m_byCategory.clear();
    const QString clean = cleanCategory(category);
    const QString key = caseKey(clean);
    NoteFolder *folder = m_byKey.value(key);
    if (!folder) {
        folder = &newFolderFor(clean);
        m_byKey.insert(key, folder);
    }
    m_byCategory.insert(category, folder);
    return *folder;
}

NoteFolder &NoteNamer::newFolderFor(const QString &clean)
{
    auto [name, key] = takeFree(m_folders.notesFolder(), clean, QString());
    return m_folders.add(std::move(name), key);
}

std::pair<QString, quint64> NoteNamer::takeFree(NoteFolder &folder, const QString &stem,
                                                const QString &suffix, QStringView tail) const
{
    QString plain = fitted(stem, utf8Bytes(tail) + utf8Bytes(suffix));
    plain.append(tail);
    const quint64 base = fingerprint(plain, suffix);
    const std::optional<int> lastNumber = take(folder, base);
    if (!lastNumber)
        return {suffix.isEmpty() ? plain : plain + suffix, base};
    // Remembering the last number per name keeps a run of equal names linear.
    int number = *lastNumber;
    for (;;) {
        QString name = numbered(stem, tail, ++number, suffix);
        const quint64 key = fingerprint(name);
        if (!take(folder, key)) {
            folder.given.insert(base, number);
            return {std::move(name), key};
        }
    }
}

// "stem tail (N)suffix", in one allocation where the stem fits as it is.
QString NoteNamer::numbered(const QString &stem, QStringView tail, int number,
                            const QString &suffix) const
{
    char16_t digits[12];
    char16_t *start = std::end(digits);
    do {
        *--start = char16_t(u'0' + number % 10);
        number /= 10;
    } while (number > 0);
    const QStringView count(start, std::end(digits));
    // " (", the count and ")" are ASCII: a byte a character.
    const QString fittedStem = fitted(stem, utf8Bytes(tail) + count.size() + 3 + utf8Bytes(suffix));
    const QStringView parts[] = {fittedStem, tail, u" (", count, u")", suffix};
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
std::optional<int> NoteNamer::take(NoteFolder &folder, quint64 fingerprint)
{
    const qsizetype takenBefore = folder.given.size();
    int &lastNumber = folder.given[fingerprint];
    if (folder.given.size() == takenBefore)
        return lastNumber;
    lastNumber = 1;
    return std::nullopt;
}
