#include "ReadBuffer.h"

namespace {
constexpr QByteArrayView ByteOrderMark("\xEF\xBB\xBF");
} // namespace

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
    const qint64 got = device.read(bytes.data() + oldSize, ChunkSize);
    bytes.resize(oldSize + qMax<qint64>(got, 0));
    if (got <= 0) {
        atEnd = true;
        failed = got < 0;
        return false;
    }
    bytesRead += got;
    return true;
}

void ReadBuffer::skipByteOrderMark()
{
    while (bytes.size() < ByteOrderMark.size() && fill()) {
    }
    if (bytes.startsWith(ByteOrderMark))
        position = ByteOrderMark.size();
}
