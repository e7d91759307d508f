#include "NotesJournal.h"

#include "Files.h"
#include "LineBuffer.h"
#include "TextDecoder.h"

namespace {

constexpr QByteArrayView Heading("Quillet journal 1 ");
// As much as a record may hold: a journal names each note at most once.
constexpr qsizetype MaximumJournalBytes = qsizetype{64} * 1024 * 1024;
constexpr qsizetype ZerosChunk = qsizetype{64} * 1024;

QByteArray headingOf(const NoteFingerprint &record)
{
    return Heading.toByteArray() + QByteArray::number(record.size) + ' ' +
           QByteArray::number(record.hash, 16) + '\n';
}

QByteArray linesOf(const QList<NotePlace> &places)
{
    LineBuffer lines(places.size() * 48);
    for (const NotePlace &place : places) {
        lines.addPlace(place.folder(), place.name());
        lines.add("\n");
    }
    return lines.take();
}

} // namespace

NotesJournal::NotesJournal(const Path &destinationFolder, const NotesRecord &record)
    : m_folder(destinationFolder), m_path(destinationFolder / u".quillet-notes-journal"),
      m_replacement(destinationFolder / u".quillet-notes-journal.new"),
      m_reserve(destinationFolder / u".quillet-notes-reserve"), m_record(record)
{
}

Result<void> NotesJournal::load()
{
    if (const Result<void> leftover = removeIfThere(m_replacement); !leftover)
        return leftover.error().during(Error::Action::RemoveLeftover, m_replacement);
    const Result<QByteArray> content = Files::readStart(m_path, MaximumJournalBytes);
    if (!content && content.error().is(Error::Condition::Missing))
        return {};
    if (!content)
        return content.error().during(Error::Action::ReadRecord, m_path);
    m_exists = true;
    QByteArrayView rest = *content;
    if (rest.startsWith(Heading)) {
        const qsizetype end = rest.indexOf('\n');
        if (end < 0 || rest.first(end + 1) != headingOf(m_record.fingerprint()))
            return {};
        rest = rest.sliced(end + 1);
    }
    // A last line the run was cut off in names nothing it wrote: each line is
    // written before what it names.
    for (qsizetype end = rest.indexOf('\n'); end >= 0; end = rest.indexOf('\n')) {
        std::optional<NotePlace> place = NotePlace::parse(TextDecoder::decode(rest.first(end)));
        rest = rest.sliced(end + 1);
        if (place && !m_earlierKeys.contains(place->key())) {
            m_earlierKeys.insert(place->key());
            m_earlier.append(std::move(*place));
        }
    }
    return {};
}

bool NotesJournal::namesEarlier(const NotePlace &place) const
{
    return !m_earlierKeys.isEmpty() && m_earlierKeys.contains(place.key());
}

Result<void> NotesJournal::name(const QByteArray &lines)
{
    if (lines.isEmpty())
        return {};
    if (!m_file.isOpen())
        return start(lines);
    makeRoomFor(lines.size());
    if (const Result<void> written = FileSystem::write(m_file, lines); !written)
        return written.error().during(Error::Action::WriteRecord, m_path);
    return {};
}

// A journal an earlier run left is written again whole, beside it, with what
// it named, and takes its place: added to where it is, a cut-off write could
// lose it.
Result<void> NotesJournal::start(const QByteArray &lines)
{
    const QByteArray content = headingOf(m_record.fingerprint()) + linesOf(m_earlier) + lines;
    makeRoomFor(content.size());
    const Path &target = m_exists ? m_replacement : m_path;
    Result<FileSystem::Descriptor> file = FileSystem::createNew(target);
    if (!file)
        return file.error().during(Error::Action::WriteRecord, target);
    Result<void> written = FileSystem::write(*file, content);
    if (written && m_exists)
        written = FileSystem::rename(m_replacement, m_path);
    if (!written)
        return written.error().during(Error::Action::WriteRecord, target);
    m_file = std::move(*file);
    m_exists = true;
    return {};
}

// The reserve goes whole: a FAT driver that cuts a file short may give its
// clusters to another file while the first still holds them (fusefat does),
// and the two then overwrite each other. Nothing here fails: what still finds
// no room fails where it is written, and says so.
void NotesJournal::makeRoomFor(qint64 bytes) const
{
    const Result<FileSystem::Room> room = FileSystem::roomOn(m_folder);
    if (room && room->free >= bytes + room->block)
        return;
    static_cast<void>(removeIfThere(m_reserve));
}

Result<void> NotesJournal::restart(qint64 room)
{
    if (const Result<void> closed = m_file.close(); !closed)
        return closed.error().during(Error::Action::WriteRecord, m_path);
    if (const Result<void> removed = removeIfThere(m_path); !removed)
        return removed.error().during(Error::Action::WriteRecord, m_path);
    m_earlier.clear();
    m_earlierKeys.clear();
    m_exists = false;
    keepInReserve(room);
    return {};
}

// Looked for first: a player that takes no changes (read-only, or full)
// still exports what has not changed.
Result<void> NotesJournal::removeIfThere(const Path &path) const
{
    const Result<FileSystem::Status> found = FileSystem::status(path);
    if (!found && found.error().is(Error::Condition::Missing))
        return {};
    Result<void> removed = FileSystem::removeFile(path);
    if (!removed && !removed.error().is(Error::Condition::Missing))
        return removed;
    return {};
}

// Zeros written, not a size set: a file made longer by its size alone takes no
// room on most file systems until it is written. The room is kept for a later
// run and this one needs none of it, so a device that gives no more (full, or
// with a limit on a file's size) ends the reserve where it is, not the run. A
// reserve too small is made anew, never cut or added to: see makeRoomFor().
void NotesJournal::keepInReserve(qint64 room) const
{
    if (const Result<FileSystem::Status> kept = FileSystem::status(m_reserve);
        kept && kept->size >= room)
        return;
    if (!removeIfThere(m_reserve))
        return;
    Result<FileSystem::Descriptor> reserve = FileSystem::createNew(m_reserve);
    if (!reserve)
        return;
    const QByteArray zeros(ZerosChunk, '\0');
    for (qint64 size = 0; size < room; size += zeros.size()) {
        const qsizetype chunk = qsizetype(qMin<qint64>(zeros.size(), room - size));
        if (!FileSystem::write(*reserve, QByteArrayView(zeros).first(chunk)))
            break;
    }
}
