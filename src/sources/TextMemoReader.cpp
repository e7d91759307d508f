#include "TextMemoReader.h"

#include "Limits.h"
#include "MemoRules.h"

#include <cstring>

namespace {
using MemoRules::NoteLineEnd;

// Adds CR LF and the line in one step: appending is the reader's inner loop.
void appendLine(QByteArray &text, QByteArrayView line)
{
    const qsizetype oldSize = text.size();
    text.resize(oldSize + NoteLineEnd.size() + line.size());
    char *end = text.data() + oldSize;
    std::memcpy(end, NoteLineEnd.data(), NoteLineEnd.size());
    std::memcpy(end + NoteLineEnd.size(), line.data(), line.size());
}
} // namespace

TextMemoReader::TextMemoReader(ByteSource &source, MemoDecoder decoder, LineEnd lineEnd)
    : m_source(source), m_lines(source, lineEnd), m_decoder(std::move(decoder))
{
}

Result<const Memo *> TextMemoReader::next()
{
    if (m_oversizedFromLine > 0)
        return oversized();
    // Emptied, not freed: the next memo reuses the room.
    m_text.resize(0);
    while (!m_lines.atEnd()) {
        QByteArrayView line = m_lines.readLine();
        if (m_text.isEmpty()) {
            if (MemoRules::isBlank(line) && !m_lines.lineTooLong())
                continue;
            m_memo.titleLine = m_lines.lineNumber();
            if (!fitsIn(line))
                return oversized();
            m_text.append(line);
            continue;
        }
        if (line.isEmpty()) {
            // The line after an empty one is taken in its place. When the
            // source ends here the open memo is dropped like any other.
            if (m_lines.atEnd())
                break;
            line = m_lines.readLine();
        }
        if (MemoRules::isFlag(line))
            return finish();
        if (!fitsIn(line))
            return oversized();
        appendLine(m_text, line);
    }
    if (m_lines.failure())
        return *m_lines.failure();
    if (!m_text.isEmpty())
        m_unfinished = UnfinishedMemo{m_decoder.titleOf(m_text), m_memo.titleLine};
    return nullptr;
}

// False, and the reading ends, when the line would take the memo past its
// limit or was itself cut short.
bool TextMemoReader::fitsIn(QByteArrayView line)
{
    if (!m_lines.lineTooLong() &&
        m_text.size() + NoteLineEnd.size() + line.size() <= Limits::MemoBytes)
        return true;
    m_oversizedFromLine = m_memo.titleLine;
    return false;
}

Error TextMemoReader::oversized() const
{
    return MemoRules::tooLong(m_oversizedFromLine, m_source.path());
}

// The line after the flag names the category. A source that ends right after
// the flag still yields the memo, with no category. A memo whose last lines a
// failing read may have cut short is not one.
Result<const Memo *> TextMemoReader::finish()
{
    QByteArrayView category;
    if (!m_lines.atEnd()) {
        category = m_lines.readLine();
        if (m_lines.lineTooLong())
            m_oversizedFromLine = m_lines.lineNumber();
    }
    if (m_lines.failure())
        return *m_lines.failure();
    m_text.append(NoteLineEnd);
    m_decoder.decode(m_text, category, m_memo);
    return &m_memo;
}
