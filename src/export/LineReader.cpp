#include "LineReader.h"

namespace {
constexpr qint64 ChunkSize = 64 * 1024;
constexpr char ByteOrderMark[] = "\xEF\xBB\xBF";
} // namespace

LineReader::LineReader(QIODevice &device) : m_device(device) {}

bool LineReader::atEnd()
{
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
        const qsizetype cr = m_buffer.indexOf('\r', searchFrom);
        // A CR as the last buffered byte may be the first half of CR LF.
        if (cr >= 0 && (cr + 1 < m_buffer.size() || m_endOfDevice)) {
            const QByteArrayView line =
                QByteArrayView(m_buffer).sliced(m_position, cr - m_position);
            m_position = cr + 1;
            if (m_position < m_buffer.size() && m_buffer[m_position] == '\n')
                ++m_position;
            return line;
        }
        if (cr < 0 && m_endOfDevice) {
            const QByteArrayView line = QByteArrayView(m_buffer).sliced(m_position);
            m_position = m_buffer.size();
            return line;
        }
        // fill() drops the consumed part in front, which shifts every offset.
        searchFrom = (cr >= 0 ? cr : m_buffer.size()) - m_position;
        fill();
    }
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
