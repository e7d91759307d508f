#include "NotesJournal.h"

#include "TextDecoder.h"

#include <charconv>

namespace {

constexpr QByteArrayView Heading("Quillet journal 1 ");
// As much as a record may hold: a journal names each note at most once.
constexpr qsizetype MaximumJournalBytes = qsizetype{64} * 1024 * 1024;
constexpr qsizetype ReadChunk = qsizetype{64} * 1024;

QByteArray headingOf(const NoteFingerprint &record)
{
    return Heading.toByteArray() + QByteArray::number(record.size) + ' ' +
           QByteArray::number(record.hash, 16) + '\n';
}

// The journal up to its first NUL: a journal that was emptied is read with
// one small read however much room it keeps.
Result<QByteArray> contentOf(const Path &path)
{
    Result<FileSystem::Descriptor> file = FileSystem::openForReading(path);
    if (!file)
        return file.error();
    if (const Result<void> blocking = FileSystem::makeBlocking(*file); !blocking)
        return blocking.error();
    QByteArray content;
    for (;;) {
        const qsizetype at = content.size();
        content.resize(at + ReadChunk);
        const Result<qsizetype> got = FileSystem::readFully(*file, content.data() + at, ReadChunk);
        if (!got)
            return got.error();
        content.truncate(at + *got);
        const qsizetype nul = content.indexOf('\0', at);
        if (nul >= 0)
            content.truncate(nul);
        if (nul >= 0 || *got < ReadChunk || content.size() > MaximumJournalBytes)
            return content;
    }
}

} // namespace

NotesJournal::NotesJournal(const Path &destinationFolder)
    : m_path(destinationFolder / u".quillet-notes-journal")
{
}

Result<void> NotesJournal::load(const NoteFingerprint &record)
{
    m_record = record;
    Result<QByteArray> content = contentOf(m_path);
    if (!content && content.error().is(Error::Condition::Missing))
        return {};
    if (!content)
        return content.error().during(Error::Action::ReadRecord, m_path);
    QByteArrayView rest = *content;
    m_contentBytes = rest.size();
    if (rest.startsWith(Heading)) {
        const qsizetype end = rest.indexOf('\n');
        if (end < 0 || rest.first(end + 1) != headingOf(record))
            return {};
        rest = rest.sliced(end + 1);
        // Added to only after a whole line: a device cut off in the middle of
        // one may have left part of it.
        m_extendsRecord = rest.isEmpty() || rest.endsWith('\n');
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

Result<void> NotesJournal::name(const QList<NotePlace> &places)
{
    QByteArray lines;
    for (const NotePlace &place : places) {
        if (m_namedKeys.contains(place.key()))
            continue;
        m_namedKeys.insert(place.key());
        lines += place.toString().toUtf8() + '\n';
    }
    if (lines.isEmpty())
        return {};
    if (!m_extendsRecord) {
        // The first line this run writes: the journal is started anew for
        // the record there now, naming again what the earlier one named.
        QByteArray start = headingOf(m_record);
        for (const NotePlace &place : std::as_const(m_earlier))
            start += place.toString().toUtf8() + '\n';
        lines.prepend(start);
        m_contentBytes = 0;
        m_extendsRecord = true;
    }
    lines.append('\0');
    if (const Result<void> written = writeAt(m_contentBytes, lines); !written)
        return written;
    lines.chop(1);
    m_contentBytes += lines.size();
    return {};
}

Result<void> NotesJournal::giveBackRoom()
{
    if (const Result<void> opened = open(); !opened)
        return opened;
    if (const Result<void> cut = FileSystem::resize(m_file, m_contentBytes); !cut)
        return cut.error().during(Error::Action::WriteRecord, m_path);
    return {};
}

Result<void> NotesJournal::restart(const NoteFingerprint &record, qint64 room)
{
    if (m_contentBytes > 0) {
        if (const Result<void> emptied = writeAt(0, QByteArray(m_contentBytes, '\0')); !emptied)
            return emptied;
    }
    m_record = record;
    m_earlier.clear();
    m_earlierKeys.clear();
    m_namedKeys.clear();
    m_extendsRecord = false;
    m_contentBytes = 0;
    return grow(room);
}

Result<void> NotesJournal::open()
{
    if (m_file.isOpen())
        return {};
    Result<FileSystem::Descriptor> opened = FileSystem::openForUpdating(m_path);
    if (!opened)
        return opened.error().during(Error::Action::WriteRecord, m_path);
    m_file = std::move(*opened);
    return {};
}

Result<void> NotesJournal::writeAt(qint64 offset, QByteArrayView bytes)
{
    if (const Result<void> opened = open(); !opened)
        return opened;
    if (const Result<void> written = FileSystem::writeAt(m_file, offset, bytes); !written)
        return written.error().during(Error::Action::WriteRecord, m_path);
    return {};
}

// Zeros written, not a size set: a file made longer by its size alone takes no
// room on most file systems until it is written. The room is kept for a later
// run and this one needs none of it, so a device that gives no more (full, or
// with a limit on a file's size) ends the growth, not the run.
Result<void> NotesJournal::grow(qint64 room)
{
    if (const Result<void> opened = open(); !opened)
        return opened;
    const Result<FileSystem::Status> status = FileSystem::status(m_file);
    if (!status)
        return status.error().during(Error::Action::WriteRecord, m_path);
    const QByteArray zeros(ReadChunk, '\0');
    for (qint64 size = status->size; size < room; size += zeros.size()) {
        const qsizetype chunk = qsizetype(qMin<qint64>(zeros.size(), room - size));
        if (!FileSystem::writeAt(m_file, size, QByteArrayView(zeros).first(chunk)))
            break;
    }
    return {};
}
