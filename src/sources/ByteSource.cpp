#include "ByteSource.h"

#include <cstring>

namespace {
constexpr QByteArrayView ByteOrderMark("\xEF\xBB\xBF");
} // namespace

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
