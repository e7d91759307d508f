#include "LineBuffer.h"

#include <cstring>
#include <utility>

LineBuffer::LineBuffer(qsizetype expected) : m_bytes(expected, Qt::Uninitialized) {}

char *LineBuffer::room(qsizetype more)
{
    if (m_size + more > m_bytes.size())
        m_bytes.resize(qMax(2 * m_bytes.size(), m_size + more));
    return m_bytes.data() + m_size;
}

void LineBuffer::add(QByteArrayView bytes)
{
    std::memcpy(room(bytes.size()), bytes.data(), bytes.size());
    m_size += bytes.size();
}

void LineBuffer::addText(QStringView text)
{
    char *start = room(m_utf8.requiredSpace(text.size()));
    char *out = start;
    for (const QChar character : text) {
        if (character.unicode() >= 0x80) {
            m_size += m_utf8.appendToBuffer(start, text) - start;
            return;
        }
        *out++ = char(character.unicode());
    }
    m_size += out - start;
}

void LineBuffer::addPlace(QStringView folder, QStringView name)
{
    if (!folder.isEmpty()) {
        addText(folder);
        add("/");
    }
    addText(name);
}

QByteArray LineBuffer::take()
{
    m_bytes.truncate(m_size);
    m_size = 0;
    return std::exchange(m_bytes, QByteArray());
}
