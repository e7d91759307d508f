#include "NotesRecord.h"

#include "FileNameRules.h"
#include "Hashing.h"
#include "TextDecoder.h"

#include <QStringEncoder>
#include <QtEndian>
#include <charconv>
#include <cstring>

namespace {

constexpr QByteArrayView Heading("Quillet notes 1\n");
// Far more than the record of the largest export takes; a larger file is no
// record of ours.
constexpr qsizetype MaximumRecordBytes = qsizetype{256} * 1024 * 1024;

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
        RecordedNote note{TextDecoder::decode(line.sliced(secondSpace + 1)), {}};
        const auto sizeRead =
            std::from_chars(line.data(), line.data() + firstSpace, note.fingerprint.size);
        const auto hashRead = std::from_chars(line.data() + firstSpace + 1,
                                              line.data() + secondSpace, note.fingerprint.hash, 16);
        if (sizeRead.ec != std::errc() || sizeRead.ptr != line.data() + firstSpace ||
            hashRead.ec != std::errc() || hashRead.ptr != line.data() + secondSpace ||
            note.path.isEmpty())
            return false;
        m_byName.insert(nameKey(note.path), m_notes.size());
        m_notes.append(note);
    }
    return true;
}

// A note's path a line, a folder's with "/" after it; a last line the run was
// cut off in the middle of names nothing, since each is written before what
// it names.
void NotesRecord::parseJournal(QByteArrayView bytes)
{
    for (qsizetype end = bytes.indexOf('\n'); end >= 0; end = bytes.indexOf('\n')) {
        const QByteArrayView line = bytes.first(end);
        bytes = bytes.sliced(end + 1);
        if (line == "/") {
            m_wholeNotesFolderJournaled = true;
            continue;
        }
        const bool isFolder = line.endsWith('/');
        const QString path = TextDecoder::decode(isFolder ? line.chopped(1) : line);
        if (path.isEmpty())
            continue;
        const quint64 key = nameKey(isFolder ? path + u'/' : path);
        if (m_journaledNames.contains(key))
            continue;
        m_journaledNames.insert(key);
        (isFolder ? m_journaledFolders : m_journaledNotes).append(path);
    }
    if (m_wholeNotesFolderJournaled)
        m_journaledFolders.prepend(QString());
}

bool NotesRecord::isJournaled(const QString &path) const
{
    if (m_wholeNotesFolderJournaled)
        return true;
    if (m_journaledNames.isEmpty())
        return false;
    const qsizetype slash = path.lastIndexOf(u'/');
    return m_journaledNames.contains(nameKey(path)) ||
           (slash > 0 && m_journaledNames.contains(nameKey(path.first(slash + 1))));
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

Result<void> NotesRecord::journalNote(const QString &path)
{
    return journal(path.toUtf8() + '\n');
}

Result<void> NotesRecord::journalFolder(const QString &folder)
{
    return journal(folder.toUtf8() + "/\n");
}

Result<void> NotesRecord::journal(const QByteArray &line)
{
    if (!m_journal.isOpen()) {
        Result<FileSystem::Descriptor> opened = FileSystem::openForAppending(m_journalPath);
        if (!opened)
            return opened.error().during(Error::Action::WriteRecord, m_journalPath);
        m_journal = std::move(*opened);
    }
    if (const Result<void> written = FileSystem::write(m_journal, line); !written)
        return written.error().during(Error::Action::WriteRecord, m_journalPath);
    return {};
}

// Grown and filled by hand: the record of a large export has tens of
// thousands of lines, and each would otherwise cost allocations of its own.
Result<void> NotesRecord::save(const QList<RecordLine> &notes)
{
    QByteArray bytes(Heading.size() + notes.size() * 80, Qt::Uninitialized);
    qsizetype size = 0;
    const auto room = [&bytes, &size](qsizetype more) {
        if (size + more > bytes.size())
            bytes.resize(qMax(2 * bytes.size(), size + more));
        return bytes.data() + size;
    };
    const auto add = [&](QByteArrayView part) {
        std::memcpy(room(part.size()), part.data(), part.size());
        size += part.size();
    };
    QStringEncoder utf8(QStringEncoder::Utf8, QStringEncoder::Flag::Stateless);
    const auto addText = [&](QStringView text) {
        char *start = room(utf8.requiredSpace(text.size()));
        char *out = start;
        for (const QChar character : text) {
            if (character.unicode() >= 0x80) {
                size += utf8.appendToBuffer(start, text) - start;
                return;
            }
            *out++ = char(character.unicode());
        }
        size += out - start;
    };
    add(Heading);
    for (const RecordLine &note : notes) {
        // Twenty characters hold any 64-bit number, in decimal or in hex.
        char *start = room(2 * 20 + 2);
        char *end = std::to_chars(start, start + 20, note.fingerprint.size).ptr;
        *end++ = ' ';
        end = std::to_chars(end, end + 20, note.fingerprint.hash, 16).ptr;
        *end++ = ' ';
        size += end - start;
        if (!note.folder.isEmpty()) {
            addText(note.folder);
            add("/");
        }
        addText(note.name);
        add("\n");
    }
    bytes.truncate(size);
    if (const Result<void> saved = FileSystem::replaceWhole(m_record, bytes); !saved)
        return saved.error().during(Error::Action::WriteRecord, m_record);
    if (const Result<void> closed = m_journal.close(); !closed)
        return closed.error().during(Error::Action::WriteRecord, m_journalPath);
    const Result<void> dropped = FileSystem::removeFile(m_journalPath);
    if (!dropped && !dropped.error().is(Error::Condition::Missing))
        return dropped.error().during(Error::Action::WriteRecord, m_journalPath);
    return {};
}
