#include "NoteNamer.h"

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

// FAT drops trailing spaces and dots, so "a." and "a" would be one file, and
// ".." would leave the notes folder.
QString withoutTrailingSpacesAndDots(QString name)
{
    qsizetype end = name.size();
    while (end > 0 && (name[end - 1] == QLatin1Char(' ') || name[end - 1] == QLatin1Char('.')))
        --end;
    name.truncate(end);
    return name;
}

} // namespace

NoteNamer::NoteNamer(QString extension) : m_extension(std::move(extension)) {}

QString NoteNamer::replaceUnsafeCharacters(const QString &name)
{
    QString safe = name;
    for (QChar &character : safe) {
        if (isUnsafe(character))
            character = QLatin1Char('_');
    }
    return withoutTrailingSpacesAndDots(std::move(safe));
}

QString NoteNamer::cleanTitle(const QString &title)
{
    const QString safe = replaceUnsafeCharacters(title);
    return safe.isEmpty() ? QStringLiteral("_") : safe;
}

// A category line is taken whole, but no file system takes a folder name of
// more than 255 bytes (FAT: 255 characters), so a longer one is cut there,
// between characters.
QString NoteNamer::cleanCategory(const QString &category)
{
    constexpr qsizetype MaximumBytes = 255;
    // Up to 85 UTF-16 units never need more than 255 bytes of UTF-8.
    if (category.size() <= MaximumBytes / 3)
        return replaceUnsafeCharacters(category);
    const QByteArray utf8 = category.toUtf8();
    qsizetype cut = qMin(utf8.size(), MaximumBytes);
    while (cut < utf8.size() && (static_cast<unsigned char>(utf8[cut]) & 0xC0) == 0x80)
        --cut;
    return replaceUnsafeCharacters(QString::fromUtf8(utf8.first(cut)));
}

// FAT compares names without regard to case. Most names are ASCII, where
// lower-casing is the whole fold and far cheaper than Unicode case folding,
// which would otherwise dominate a large run.
QString NoteNamer::caseKey(const QString &name)
{
    QString key = name;
    for (QChar &character : key) {
        const char16_t code = character.unicode();
        if (code >= 0x80)
            return name.toCaseFolded();
        if (code >= u'A' && code <= u'Z')
            character = QChar(code + (u'a' - u'A'));
    }
    return key;
}

NotePath NoteNamer::name(const Memo &memo)
{
    const QString folder = folderFor(memo.category);
    return NotePath{folder, takeFree(folder, cleanTitle(memo.title), m_extension)};
}

void NoteNamer::moveCategory(const QString &category)
{
    const QString clean = cleanCategory(category);
    m_folders.insert(caseKey(clean), takeFree(QString(), clean, QString()));
}

// Categories that differ only in case share the folder of the first of them,
// as they would on FAT anyway.
QString NoteNamer::folderFor(const QString &category)
{
    const QString clean = cleanCategory(category);
    if (clean.isEmpty())
        return clean;
    const QString key = caseKey(clean);
    if (const auto known = m_folders.constFind(key); known != m_folders.cend())
        return *known;
    const QString folder = takeFree(QString(), clean, QString());
    m_folders.insert(key, folder);
    return folder;
}

QString NoteNamer::takeFree(const QString &folder, const QString &stem, const QString &suffix)
{
    const QString prefix = folder.isEmpty() ? QString() : folder + QLatin1Char('/');
    QString name = stem + suffix;
    QString key = caseKey(prefix + name);
    if (m_taken.contains(key)) {
        // Remembering the last number per name keeps a run of equal names linear.
        int &number = m_lastNumber[key];
        do {
            number = qMax(number, 1) + 1;
            name = stem + u" (" + QString::number(number) + u')' + suffix;
            key = caseKey(prefix + name);
        } while (m_taken.contains(key));
    }
    m_taken.insert(key);
    return name;
}
