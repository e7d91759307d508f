#include "NoteOwnership.h"

#include "Files.h"
#include "Limits.h"

#include <QSet>

namespace {

// The room kept in reserve holds a run's journal and the record's
// replacement, which together take at most about twice the record: a line a
// note each.
constexpr qint64 SpareReserveBytes = qint64(16) * 1024;

} // namespace

NoteOwnership::NoteOwnership(const Path &destinationFolder)
    : m_record(destinationFolder), m_journal(destinationFolder, m_record)
{
}

Result<void> NoteOwnership::load()
{
    if (Result<void> loaded = m_record.load(); !loaded)
        return loaded;
    // Without the journal some notes of a run that was cut off are taken for
    // the person's, and their memos take the next number: nothing is lost.
    if (const Result<void> loaded = m_journal.load(); !loaded)
        m_journalError = loaded.error();
    return {};
}

bool NoteOwnership::mayOwn(const NotePlace &place, qint64 size) const
{
    return isJournaled(place) || m_record.recordsSize(place, size);
}

bool NoteOwnership::owns(const NotePlace &place, const NoteFingerprint &fingerprint) const
{
    return isJournaled(place) || m_record.records(place, fingerprint);
}

QList<NotePlace> NoteOwnership::earlierNotes() const
{
    QList<NotePlace> notes;
    QSet<quint64> keys;
    notes.reserve(m_record.notes().size() + m_journal.earlierNotes().size());
    keys.reserve(notes.capacity());
    const auto add = [&](const NotePlace &place) {
        if (!keys.contains(place.key())) {
            keys.insert(place.key());
            notes.append(place);
        }
    };
    for (const RecordedNote &note : m_record.notes())
        add(note.place);
    for (const NotePlace &place : m_journal.earlierNotes())
        add(place);
    return notes;
}

std::optional<Error> NoteOwnership::readError() const
{
    return m_record.readError() ? m_record.readError() : m_journalError;
}

// On a full player the record's replacement finds room only in the reserve,
// which then takes back what the older record and the journal leave.
Result<void> NoteOwnership::save(const QList<RecordedNote> &notes)
{
    const QByteArray bytes = NotesRecord::bytesOf(notes);
    if (!m_record.holds(bytes)) {
        m_journal.makeRoomFor(bytes.size());
        if (Result<void> replaced = m_record.replace(bytes); !replaced)
            return replaced;
    } else if (m_journal.isEmpty()) {
        return {};
    }
    return m_journal.restart(2 * bytes.size() + SpareReserveBytes);
}

Result<std::optional<QByteArray>> NoteOwnership::readNote(const FileSystem::Descriptor &file,
                                                          qint64 size)
{
    if (size > Limits::NoteBytes)
        return std::optional<QByteArray>();
    QByteArray bytes(size, Qt::Uninitialized);
    const Result<qsizetype> got = Files::readFully(file, bytes.data(), size);
    if (!got)
        return got.error();
    // A file that another program cut meanwhile holds no note of ours.
    if (*got != size)
        return std::optional<QByteArray>();
    return std::optional(std::move(bytes));
}
