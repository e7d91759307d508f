#include "LineReader.h"

#include "ExportLimits.h"

#include <cstring>

namespace {
constexpr qint64 ChunkSize = 64 * 1024;
constexpr char ByteOrderMark[] = "\xEF\xBB\xBF";
} // namespace

LineReader::LineReader(QIODevice &device, LineEnd lineEnd)
    : m_device(device), m_terminator(lineEnd == LineEnd::LineFeed ? '\n' : '\r')
{
}

// Everything buffered is read: reads on, or says that the end is reached.
bool LineReader::atEndOfBuffer()
{
    if (m_lineTooLong)
        return true;
    skipByteOrderMark();
    return m_position >= m_buffer.size() && !fill();
}

QByteArrayView LineReader::readLine()
{
    if (atEnd())
        return {};
    ++m_lineNumber;
    qsizetype searchFrom = m_position;
    for (;;) {
        const qsizetype end = find(m_terminator, searchFrom);
        if (end >= 0 && m_terminator == '\n')
            return takeLine(end, end + 1);
        // A CR as the last buffered byte may be the first half of CR LF.
        if (end >= 0 && (end + 1 < m_buffer.size() || m_endOfDevice))
            return takeLine(end, end + 1 < m_buffer.size() && m_buffer[end + 1] == '\n' ? end + 2
                                                                                        : end + 1);
        if (end < 0 && m_endOfDevice)
            return takeLine(m_buffer.size(), m_buffer.size());
        if (m_buffer.size() - m_position > ExportLimits::MemoBytes) {
            m_lineTooLong = true;
            return takeLine(m_position + ExportLimits::MemoBytes, m_buffer.size());
        }
        // fill() drops the consumed part in front, which shifts every offset.
        searchFrom = (end >= 0 ? end : m_buffer.size()) - m_position;
        fill();
    }
}

// Where the next `byte` at or after `from` is, or -1.
qsizetype LineReader::find(char byte, qsizetype from) const
{
    const char *data = m_buffer.constData();
    const void *found = std::memchr(data + from, byte, m_buffer.size() - from);
    return found ? static_cast<const char *>(found) - data : -1;
}

// The line from the current position to `end`; the next one starts at `next`.
QByteArrayView LineReader::takeLine(qsizetype end, qsizetype next)
{
    const QByteArrayView line = QByteArrayView(m_buffer).sliced(m_position, end - m_position);
    m_position = next;
    return line;
}

// Appends the next chunk, dropping what has been consumed. False at the end of
// the device or on a read error.
bool LineReader::fill()
{
    if (m_endOfDevice)
        return false;
    m_buffer.remove(0, m_position);
    m_position = 0;
    const qsizetype oldSize = m_buffer.size();
    m_buffer.resize(oldSize + ChunkSize);
    const qint64 got = m_device.read(m_buffer.data() + oldSize, ChunkSize);
    m_buffer.resize(oldSize + qMax<qint64>(got, 0));
    if (got <= 0) {
        m_endOfDevice = true;
        m_failed = got < 0;
        return false;
    }
    return true;
}

void LineReader::skipByteOrderMark()
{
    if (m_startChecked)
        return;
    m_startChecked = true;
    while (m_buffer.size() < 3 && fill()) {
    }
    if (m_buffer.startsWith(ByteOrderMark))
        m_position = 3;
}
