#include "NotePlace.h"

#include "FileNameRules.h"
#include "Hashing.h"

namespace {

bool isPlainName(QStringView name)
{
    return !name.isEmpty() && name != u"." && name != u".." && !name.contains(u'/') &&
           !name.contains(QChar(u'\0'));
}

} // namespace

NotePlace::NotePlace(QString folder, QString name)
    : m_folder(std::move(folder)), m_name(std::move(name))
{
}

std::optional<NotePlace> NotePlace::parse(QStringView text)
{
    const qsizetype slash = text.indexOf(u'/');
    const QStringView folder = slash < 0 ? QStringView() : text.first(slash);
    const QStringView name = text.sliced(slash + 1);
    if ((slash >= 0 && !isPlainName(folder)) || !isPlainName(name))
        return std::nullopt;
    return NotePlace(folder.toString(), name.toString());
}

QString NotePlace::toString() const
{
    return m_folder.isEmpty() ? m_name : m_folder + u'/' + m_name;
}

Path NotePlace::in(const Path &notesFolder) const
{
    return m_folder.isEmpty() ? notesFolder / m_name : notesFolder / m_folder / m_name;
}

quint64 NotePlace::key() const
{
    return keyOf(FileNameRules::fingerprint(m_folder), FileNameRules::fingerprint(m_name));
}

quint64 NotePlace::keyOf(quint64 folder, quint64 name)
{
    return Hashing::finished(folder * 0x9E3779B97F4A7C15ULL ^ name);
}
