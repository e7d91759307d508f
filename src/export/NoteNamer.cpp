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

// FAT compares names without regard to case. Most names are ASCII, where
// lower-casing is the whole fold and far cheaper than Unicode case folding,
// which would otherwise dominate a large run.
QString caseKey(const QString &path)
{
    QString key = path;
    for (QChar &character : key) {
        const char16_t code = character.unicode();
        if (code >= 0x80)
            return path.toCaseFolded();
        if (code >= u'A' && code <= u'Z')
            character = QChar(code + (u'a' - u'A'));
    }
    return key;
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

NotePath NoteNamer::name(const Memo &memo)
{
    const QString title = cleanTitle(memo.title);
    NotePath path{cleanCategory(memo.category), title + m_extension};
    QString key = caseKey(path.relativePath());
    if (m_taken.contains(key)) {
        // Remembering the last suffix per name keeps a run of equal titles linear.
        int &suffix = m_lastSuffix[key];
        do {
            suffix = qMax(suffix, 1) + 1;
            path.fileName = title + u" (" + QString::number(suffix) + u')' + m_extension;
            key = caseKey(path.relativePath());
        } while (m_taken.contains(key));
    }
    m_taken.insert(key);
    return path;
}
