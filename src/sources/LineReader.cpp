#include "LineReader.h"

#include "Limits.h"

#include <cstring>

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
