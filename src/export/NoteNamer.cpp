#include "NoteNamer.h"

namespace {

// Characters a FAT file name may not hold; '/' and '\\' would also leave the folder.
bool isUnsafe(QChar character)
{
    static const QString forbidden = QStringLiteral("/\\|:*?<>\"");
    const char16_t code = character.unicode();
    return code < 0x20 || code == 0x7F || forbidden.contains(character);
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

QString NotePath::relativePath() const
{
    return category.isEmpty() ? fileName : category + QLatin1Char('/') + fileName;
}

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

QString NoteNamer::cleanCategory(const QString &category)
{
    return replaceUnsafeCharacters(category);
}

NotePath NoteNamer::name(const Memo &memo)
{
    const QString title = cleanTitle(memo.title);
    NotePath path{cleanCategory(memo.category), title + m_extension};
    const QString baseKey = path.relativePath().toCaseFolded();
    QString key = baseKey;
    // Remembering the last suffix per name keeps a run of many equal titles linear.
    int &suffix = m_lastSuffix[baseKey];
    while (m_taken.contains(key)) {
        suffix = qMax(suffix, 1) + 1;
        path.fileName = title + QStringLiteral(" (%1)").arg(suffix) + m_extension;
        key = path.relativePath().toCaseFolded();
    }
    m_taken.insert(key);
    return path;
}
