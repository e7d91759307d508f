#include "ByteSource.h"

#include <cstring>

namespace {
constexpr QByteArrayView ByteOrderMark("\xEF\xBB\xBF");
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
