#include "NotesRecord.h"

#include "Files.h"
#include "Hashing.h"
#include "LineBuffer.h"
#include "TextDecoder.h"

#include <QtEndian>
#include <charconv>
#include <cstring>

namespace {

constexpr QByteArrayView Heading("Quillet notes 1");
// Far more than the record of the largest export takes (about 60 bytes a
// note); a larger file is no record of ours, and is not read into memory.
constexpr qsizetype MaximumRecordBytes = qsizetype{64} * 1024 * 1024;

quint64 withWord(quint64 hash, quint64 word)
{
    hash ^= word * 0x9E3779B97F4A7C15ULL;
    hash = (hash << 31) | (hash >> 33);
    return hash * 0xC2B2AE3D27D4EB4FULL;
}

// The line from `rest`'s start to its LF, or to its end, without a CR before
// the LF; `rest` then starts after it.
QByteArrayView takeLine(QByteArrayView &rest)
{
    const qsizetype end = rest.indexOf('\n');
    QByteArrayView line = end < 0 ? rest : rest.first(end);
    rest = end < 0 ? QByteArrayView() : rest.sliced(end + 1);
    if (line.endsWith('\r'))
        line.chop(1);
    return line;
}

// "SIZE HASH PLACE"; nothing for a line that does not read so.
std::optional<RecordedNote> noteOf(QByteArrayView line)
{
    const qsizetype firstSpace = line.indexOf(' ');
    const qsizetype secondSpace = firstSpace < 0 ? -1 : line.indexOf(' ', firstSpace + 1);
    if (secondSpace < 0)
        return std::nullopt;
    NoteFingerprint fingerprint;
    const auto sizeRead = std::from_chars(line.data(), line.data() + firstSpace, fingerprint.size);
    const auto hashRead = std::from_chars(line.data() + firstSpace + 1, line.data() + secondSpace,
                                          fingerprint.hash, 16);
    if (sizeRead.ec != std::errc() || sizeRead.ptr != line.data() + firstSpace ||
        fingerprint.size < 0 || hashRead.ec != std::errc() ||
        hashRead.ptr != line.data() + secondSpace)
        return std::nullopt;
    std::optional<NotePlace> place =
        NotePlace::parse(TextDecoder::decode(line.sliced(secondSpace + 1)));
    if (!place)
        return std::nullopt;
    return RecordedNote{std::move(*place), fingerprint};
}

} // namespace

// Sixteen bytes at a time, in two lanes the processor works on side by side:
// a per-note cost far below writing the note.
NoteFingerprint NoteFingerprint::of(QByteArrayView bytes)
{
    quint64 first = 0x27D4EB2F165667C5ULL;
    quint64 second = 0x9E3779B97F4A7C15ULL;
    qsizetype at = 0;
    for (; at + 16 <= bytes.size(); at += 16) {
        first = withWord(first, qFromLittleEndian<quint64>(bytes.data() + at));
        second = withWord(second, qFromLittleEndian<quint64>(bytes.data() + at + 8));
    }
    for (; at + 8 <= bytes.size(); at += 8)
        first = withWord(first, qFromLittleEndian<quint64>(bytes.data() + at));
    quint64 tail = 0;
    std::memcpy(&tail, bytes.data() + at, bytes.size() - at);
    second = withWord(second, qFromLittleEndian(tail));
    return {bytes.size(),
            Hashing::finished(first ^ (second * 0xC2B2AE3D27D4EB4FULL) ^ quint64(bytes.size()))};
}

NotesRecord::NotesRecord(const Path &destinationFolder)
    : m_path(destinationFolder / u".quillet-notes"), m_replacement(Files::replacementOf(m_path))
{
}

Result<void> NotesRecord::load()
{
    // Looked for first: a player that takes no changes (read-only, or full)
    // still exports what has not changed.
    const Result<FileSystem::Status> found = FileSystem::status(m_replacement);
    if (found || !found.error().is(Error::Condition::Missing)) {
        const Result<void> leftover = FileSystem::removeFile(m_replacement);
        if (!leftover && !leftover.error().is(Error::Condition::Missing))
            return leftover.error().during(Error::Action::RemoveLeftover, m_replacement);
    }
    // One byte more than a record may hold tells a file that is larger.
    const Result<QByteArray> bytes = Files::readStart(m_path, MaximumRecordBytes + 1);
    if (!bytes && bytes.error().is(Error::Condition::Missing))
        return {};
    if (!bytes)
        unreadable(bytes.error());
    else if (bytes->size() > MaximumRecordBytes)
        unreadable(
            Error(Error::Reason::RecordTooLarge, MaximumRecordBytes / (qint64(1024) * 1024)));
    else if (!bytes->startsWith(Heading) || bytes->contains('\0'))
        unreadable(Error(Error::Reason::NotARecord));
    else
        parse(*bytes);
    if (m_state == State::Read)
        m_bytes = *bytes;
    return {};
}

NoteFingerprint NotesRecord::fingerprint() const
{
    if (!m_bytes)
        return {};
    if (!m_fingerprint)
        m_fingerprint = NoteFingerprint::of(*m_bytes);
    return *m_fingerprint;
}

void NotesRecord::unreadable(const Error &why)
{
    m_state = State::Unreadable;
    m_readError = why.during(Error::Action::ReadRecord, m_path);
}

void NotesRecord::parse(QByteArrayView bytes)
{
    m_state = State::Read;
    QByteArrayView rest = bytes;
    if (takeLine(rest) != Heading)
        ++m_skippedLines;
    while (!rest.isEmpty()) {
        const QByteArrayView line = takeLine(rest);
        if (line.isEmpty())
            continue;
        std::optional<RecordedNote> note = noteOf(line);
        if (!note) {
            ++m_skippedLines;
            continue;
        }
        m_byPlace.insert(note->place.key(), m_notes.size());
        m_notes.append(std::move(*note));
    }
}

bool NotesRecord::recordsSize(const NotePlace &place, qint64 size) const
{
    const auto [first, last] = m_byPlace.equal_range(place.key());
    return std::any_of(first, last,
                       [&](qsizetype at) { return m_notes[at].fingerprint.size == size; });
}

bool NotesRecord::records(const NotePlace &place, const NoteFingerprint &fingerprint) const
{
    const auto [first, last] = m_byPlace.equal_range(place.key());
    return std::any_of(first, last,
                       [&](qsizetype at) { return m_notes[at].fingerprint == fingerprint; });
}

QByteArray NotesRecord::bytesOf(const QList<RecordedNote> &notes)
{
    LineBuffer bytes(Heading.size() + 1 + notes.size() * 80);
    bytes.add(Heading);
    bytes.add("\n");
    for (const RecordedNote &note : notes) {
        // Twenty characters hold any 64-bit number, in decimal or in hex.
        char *start = bytes.room(2 * 20 + 2);
        char *end = std::to_chars(start, start + 20, note.fingerprint.size).ptr;
        *end++ = ' ';
        end = std::to_chars(end, end + 20, note.fingerprint.hash, 16).ptr;
        *end++ = ' ';
        bytes.wrote(end - start);
        bytes.addPlace(note.place.folder(), note.place.name());
        bytes.add("\n");
    }
    return bytes.take();
}

bool NotesRecord::holds(QByteArrayView bytes) const
{
    return m_bytes && *m_bytes == bytes;
}

Result<void> NotesRecord::replace(QByteArrayView bytes)
{
    if (const Result<void> saved = Files::replaceWhole(m_path, bytes); !saved)
        return saved.error().during(Error::Action::WriteRecord, m_path);
    m_bytes = bytes.toByteArray();
    m_fingerprint.reset();
    return {};
}
