#include "ByteSource.h"

#include "Limits.h"

#include <cstring>

namespace {

constexpr QByteArrayView ByteOrderMark("\xEF\xBB\xBF");

Error notRegular(FileSystem::Status::Kind kind)
{
    return Error(kind == FileSystem::Status::Kind::Folder ? Error::Reason::IsFolder
                                                          : Error::Reason::NotRegularFile);
}

} // namespace

Result<std::unique_ptr<ByteSource>> ByteSource::openOther(const Path &) const
{
    return std::unique_ptr<ByteSource>();
}

Result<qsizetype> MemoryBytes::read(char *into, qsizetype size)
{
    const qsizetype count = qMin<qint64>(size, qMax<qint64>(m_bytes.size() - m_position, 0));
    if (count > 0)
        std::memcpy(into, m_bytes.data() + m_position, count);
    m_position += count;
    return count;
}

Result<void> MemoryBytes::seek(qint64 offset)
{
    m_position = offset;
    return {};
}

Result<std::unique_ptr<ByteSource>> MemoryBytes::openOther(const Path &path) const
{
    const auto other = m_others.constFind(path.toString());
    if (other == m_others.cend())
        return std::unique_ptr<ByteSource>();
    return std::unique_ptr<ByteSource>(std::make_unique<MemoryBytes>(*other, path));
}

void MemoryBytes::addOther(const Path &path, QByteArrayView bytes)
{
    m_others.insert(path.toString(), bytes);
}

SourceFile::SourceFile(Path path) : ByteSource(std::move(path)) {}

Result<void> SourceFile::open()
{
    if (const Result<void> opened = openRegularFile(); !opened)
        return whyNotOpened(opened.error()).during(Error::Action::OpenSource, path());
    return {};
}

// A name whose bytes are not UTF-8 reaches the program (from the Open dialog,
// the command line or the settings) with "\uFFFD" in their place and is then
// not found: that is said, instead of "No such file or directory" for a file
// the person can see.
Error SourceFile::whyNotOpened(const Error &error) const
{
    if (error.is(Error::Condition::Missing) &&
        path().toString().contains(QChar::ReplacementCharacter))
        return Error(Error::Reason::NameNotUtf8);
    return error;
}

Result<qsizetype> SourceFile::read(char *into, qsizetype size)
{
    Result<qsizetype> got = FileSystem::read(m_descriptor, into, size);
    if (!got)
        return failure(got.error());
    m_position += *got;
    return got;
}

Result<void> SourceFile::seek(qint64 offset)
{
    if (const Result<void> moved = FileSystem::seek(m_descriptor, offset); !moved)
        return failure(moved.error());
    m_position = offset;
    return {};
}

Result<std::unique_ptr<ByteSource>> SourceFile::openOther(const Path &path) const
{
    auto other = std::make_unique<SourceFile>(path);
    if (const Result<void> opened = other->open(); !opened) {
        if (opened.error().is(Error::Condition::Missing))
            return std::unique_ptr<ByteSource>();
        return opened.error();
    }
    return std::unique_ptr<ByteSource>(std::move(other));
}

Result<void> SourceFile::checkReadWhole()
{
    const Result<FileSystem::Status> now = FileSystem::status(m_descriptor);
    if (!now)
        return failure(now.error());
    if (*now != m_opened || m_position < m_opened.size)
        return failure(Error(Error::Reason::ChangedWhileRead));
    return {};
}

// Looks before it opens, and looks again at what it opened, in case the name
// was given to something else in between.
Result<void> SourceFile::openRegularFile()
{
    const Result<FileSystem::Status> named = FileSystem::status(path());
    if (!named)
        return named.error();
    if (named->kind != FileSystem::Status::Kind::File)
        return notRegular(named->kind);
    Result<FileSystem::Descriptor> file = FileSystem::openForReading(path());
    if (!file)
        return file.error();
    const Result<FileSystem::Status> opened = FileSystem::status(*file);
    if (!opened)
        return opened.error();
    if (opened->kind != FileSystem::Status::Kind::File)
        return notRegular(opened->kind);
    if (const Result<void> blocking = FileSystem::makeBlocking(*file); !blocking)
        return blocking.error();
    m_descriptor = std::move(*file);
    m_opened = *opened;
    return {};
}

Error SourceFile::failure(const Error &error) const
{
    return error.during(Error::Action::ReadSource, path());
}

bool ReadBuffer::fill()
{
    if (atEnd)
        return false;
    bytes.remove(0, position);
    position = 0;
    if (bytesRead >= limit) {
        atEnd = cutShort = true;
        return false;
    }
    const qsizetype oldSize = bytes.size();
    bytes.resize(oldSize + ChunkSize);
    const Result<qsizetype> got = source.read(bytes.data() + oldSize, ChunkSize);
    bytes.resize(oldSize + (got ? *got : 0));
    if (!got)
        failure = got.error();
    if (!got || *got == 0) {
        atEnd = true;
        return false;
    }
    bytesRead += *got;
    return true;
}

QByteArrayView ReadBuffer::take(qsizetype count)
{
    while (bytes.size() - position < count && fill()) {
    }
    const qsizetype got = qMin(count, bytes.size() - position);
    const QByteArrayView taken = QByteArrayView(bytes).sliced(position, got);
    position += got;
    return taken;
}

bool ReadBuffer::skip(qint64 count)
{
    for (;;) {
        const qsizetype here = qsizetype(qMin<qint64>(count, bytes.size() - position));
        position += here;
        count -= here;
        if (count == 0)
            return true;
        if (!fill())
            return false;
    }
}

void ReadBuffer::skipByteOrderMark()
{
    while (bytes.size() < ByteOrderMark.size() && fill()) {
    }
    if (bytes.startsWith(ByteOrderMark))
        position = ByteOrderMark.size();
}

void ReadBuffer::clear()
{
    bytes.resize(0);
    position = 0;
    bytesRead = 0;
    atEnd = cutShort = false;
}

LineReader::LineReader(ByteSource &source, LineEnd lineEnd)
    : m_read(source), m_terminator(lineEnd == LineEnd::LineFeed ? '\n' : '\r')
{
}

// Everything buffered is read: reads on, or says that the end is reached.
bool LineReader::atEndOfBuffer()
{
    if (m_lineTooLong)
        return true;
    skipByteOrderMark();
    return m_read.position >= m_read.bytes.size() && !m_read.fill();
}

QByteArrayView LineReader::readLine()
{
    if (atEnd())
        return {};
    ++m_lineNumber;
    qsizetype searchFrom = m_read.position;
    for (;;) {
        const qsizetype end = find(m_terminator, searchFrom);
        if (end >= 0 && m_terminator == '\n')
            return takeLine(end, end + 1);
        // A CR as the last buffered byte may be the first half of CR LF.
        if (end >= 0 && (end + 1 < m_read.bytes.size() || m_read.atEnd))
            return takeLine(end, end + 1 < m_read.bytes.size() && m_read.bytes[end + 1] == '\n'
                                     ? end + 2
                                     : end + 1);
        if (end < 0 && m_read.atEnd)
            return takeLine(m_read.bytes.size(), m_read.bytes.size());
        if (m_read.bytes.size() - m_read.position > Limits::MemoBytes) {
            m_lineTooLong = true;
            return takeLine(m_read.position + Limits::MemoBytes, m_read.bytes.size());
        }
        // m_read.fill() drops the consumed part in front, which shifts every offset.
        searchFrom = (end >= 0 ? end : m_read.bytes.size()) - m_read.position;
        m_read.fill();
    }
}

// Where the next `byte` at or after `from` is, or -1.
qsizetype LineReader::find(char byte, qsizetype from) const
{
    const char *data = m_read.bytes.constData();
    const void *found = std::memchr(data + from, byte, m_read.bytes.size() - from);
    return found ? static_cast<const char *>(found) - data : -1;
}

// The line from the current position to `end`; the next one starts at `next`.
QByteArrayView LineReader::takeLine(qsizetype end, qsizetype next)
{
    const QByteArrayView line =
        QByteArrayView(m_read.bytes).sliced(m_read.position, end - m_read.position);
    m_read.position = next;
    return line;
}

void LineReader::skipByteOrderMark()
{
    if (m_startChecked)
        return;
    m_startChecked = true;
    m_read.skipByteOrderMark();
}
