#include "NotesRecord.h"

#include "FileNameRules.h"
#include "TextDecoder.h"

#include <QtEndian>
#include <cstring>

namespace {

constexpr QByteArrayView Heading("Quillet notes 1\n");
// Far more than the record of the largest export takes; a larger file is no
// record of ours.
constexpr qsizetype MaximumRecordBytes = 256 * 1024 * 1024;

quint64 finished(quint64 hash)
{
    hash ^= hash >> 33;
    hash *= 0xff51afd7ed558ccdULL;
    hash ^= hash >> 33;
    hash *= 0xc4ceb3fe1a85ec53ULL;
    return hash ^ (hash >> 33);
}

quint64 withWord(quint64 hash, quint64 word)
{
    hash ^= word * 0x9E3779B97F4A7C15ULL;
    hash = (hash << 31) | (hash >> 33);
    return hash * 0xC2B2AE3D27D4EB4FULL;
}

quint64 nameKey(const QString &path)
{
    return FileNameRules::fingerprint(path);
}

} // namespace

// Eight bytes at a time: a per-note cost far below writing the note.
NoteFingerprint NoteFingerprint::of(QByteArrayView bytes)
{
    quint64 hash = 0x27D4EB2F165667C5ULL;
    qsizetype at = 0;
    for (; at + 8 <= bytes.size(); at += 8)
        hash = withWord(hash, qFromLittleEndian<quint64>(bytes.data() + at));
    quint64 tail = 0;
    std::memcpy(&tail, bytes.data() + at, bytes.size() - at);
    hash = withWord(hash, qFromLittleEndian(tail));
    return {bytes.size(), finished(hash ^ quint64(bytes.size()))};
}

NotesRecord::NotesRecord(const Path &destinationFolder)
    : m_record(destinationFolder / u".quillet-notes"),
      m_journalPath(destinationFolder / u".quillet-notes-journal"),
      m_replacement(destinationFolder / u".quillet-notes.new")
{
}

Result<void> NotesRecord::load()
{
    const Result<void> leftover = FileSystem::removeFile(m_replacement);
    if (!leftover && !leftover.error().is(Error::Condition::Missing))
        return leftover.error().during(Error::Action::RemoveLeftover, m_replacement);
    const Result<QByteArray> record = FileSystem::readStart(m_record, MaximumRecordBytes);
    m_exists = record && record->size() < MaximumRecordBytes && parse(*record);
    if (!m_exists) {
        m_notes.clear();
        m_byName.clear();
    }
    if (const Result<QByteArray> journal = FileSystem::readStart(m_journalPath, MaximumRecordBytes))
        parseJournal(*journal);
    return {};
}

// "SIZE HASH PATH" a line, after the heading; anything else is no record.
bool NotesRecord::parse(QByteArrayView bytes)
{
    if (!bytes.startsWith(Heading))
        return false;
    for (QByteArrayView rest = bytes.sliced(Heading.size()); !rest.isEmpty();) {
        const qsizetype end = rest.indexOf('\n');
        if (end < 0)
            return false;
        const QByteArrayView line = rest.first(end);
        rest = rest.sliced(end + 1);
        const qsizetype firstSpace = line.indexOf(' ');
        const qsizetype secondSpace = firstSpace < 0 ? -1 : line.indexOf(' ', firstSpace + 1);
        if (secondSpace < 0)
            return false;
        bool sizeRead = false;
        bool hashRead = false;
        const RecordedNote note{
            TextDecoder::decode(line.sliced(secondSpace + 1)),
            {line.first(firstSpace).toLongLong(&sizeRead),
             line.sliced(firstSpace + 1, secondSpace - firstSpace - 1).toULongLong(&hashRead, 16)}};
        if (!sizeRead || !hashRead || note.path.isEmpty())
            return false;
        m_byName.insert(nameKey(note.path), m_notes.size());
        m_notes.append(note);
    }
    return true;
}

// A path a line; a last line the run was cut off in the middle of names no
// note, since each is written before its note.
void NotesRecord::parseJournal(QByteArrayView bytes)
{
    for (qsizetype end = bytes.indexOf('\n'); end >= 0; end = bytes.indexOf('\n')) {
        const QString path = TextDecoder::decode(bytes.first(end));
        bytes = bytes.sliced(end + 1);
        if (path.isEmpty() || m_journaledNames.contains(nameKey(path)))
            continue;
        m_journaledNames.insert(nameKey(path));
        m_journaled.append(path);
    }
}

bool NotesRecord::isJournaled(const QString &path) const
{
    return !m_journaledNames.isEmpty() && m_journaledNames.contains(nameKey(path));
}

bool NotesRecord::owns(const QString &path, const NoteFingerprint &fingerprint) const
{
    if (isJournaled(path))
        return true;
    const auto [first, last] = m_byName.equal_range(nameKey(path));
    for (auto at = first; at != last; ++at) {
        if (m_notes[*at].fingerprint == fingerprint)
            return true;
    }
    return false;
}

bool NotesRecord::recordsSize(const QString &path, qint64 size) const
{
    const auto [first, last] = m_byName.equal_range(nameKey(path));
    for (auto at = first; at != last; ++at) {
        if (m_notes[*at].fingerprint.size == size)
            return true;
    }
    return false;
}

Result<void> NotesRecord::journal(const QString &path)
{
    if (!m_journal.isOpen()) {
        Result<FileSystem::Descriptor> opened = FileSystem::openForAppending(m_journalPath);
        if (!opened)
            return opened.error().during(Error::Action::WriteRecord, m_journalPath);
        m_journal = std::move(*opened);
    }
    if (const Result<void> written = FileSystem::write(m_journal, QByteArray(path.toUtf8() + '\n')); !written)
        return written.error().during(Error::Action::WriteRecord, m_journalPath);
    return {};
}

Result<void> NotesRecord::save(const QList<RecordedNote> &notes)
{
    QByteArray bytes = Heading.toByteArray();
    for (const RecordedNote &note : notes)
        bytes += QByteArray::number(note.fingerprint.size) + ' ' +
                 QByteArray::number(note.fingerprint.hash, 16) + ' ' + note.path.toUtf8() + '\n';
    if (const Result<void> saved = FileSystem::replaceWhole(m_record, bytes); !saved)
        return saved.error().during(Error::Action::WriteRecord, m_record);
    if (const Result<void> closed = m_journal.close(); !closed)
        return closed.error().during(Error::Action::WriteRecord, m_journalPath);
    const Result<void> dropped = FileSystem::removeFile(m_journalPath);
    if (!dropped && !dropped.error().is(Error::Condition::Missing))
        return dropped.error().during(Error::Action::WriteRecord, m_journalPath);
    return {};
}
