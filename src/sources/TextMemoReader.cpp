#include "TextMemoReader.h"

#include "Limits.h"

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

TextMemoReader::TextMemoReader(ByteSource &source, LineEnd lineEnd)
    : m_source(source), m_lines(source, lineEnd)
{
}

Result<const Memo *> TextMemoReader::next()
{
    if (m_oversizedFromLine > 0)
        return oversized();
    Memo &memo = m_memo;
    // Emptied, not freed: the next memo reuses the room.
    memo.text.resize(0);
    memo.category.clear();
    while (!m_lines.atEnd()) {
        QByteArrayView line = m_lines.readLine();
        if (memo.text.isEmpty()) {
            memo.title = MemoRules::titleCandidate(line);
            if (memo.title.isEmpty() && !m_lines.lineTooLong())
                continue;
            memo.titleLine = m_lines.lineNumber();
            if (!fitsIn(memo, line))
                return oversized();
            memo.text.append(line);
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
        if (!fitsIn(memo, line))
            return oversized();
        appendLine(memo.text, line);
    }
    if (m_lines.failure())
        return *m_lines.failure();
    if (!memo.text.isEmpty())
        m_unfinished = UnfinishedMemo{memo.title, memo.titleLine};
    return nullptr;
}

// False, and the reading ends, when the line would take the memo past its
// limit or was itself cut short.
bool TextMemoReader::fitsIn(const Memo &memo, QByteArrayView line)
{
    if (!m_lines.lineTooLong() &&
        memo.text.size() + NoteLineEnd.size() + line.size() <= Limits::MemoBytes)
        return true;
    m_oversizedFromLine = memo.titleLine;
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
    if (!m_lines.atEnd()) {
        m_memo.category = m_categories.decode(m_lines.readLine());
        if (m_lines.lineTooLong())
            m_oversizedFromLine = m_lines.lineNumber();
    }
    if (m_lines.failure())
        return *m_lines.failure();
    m_memo.text.append(NoteLineEnd);
    return &m_memo;
}
