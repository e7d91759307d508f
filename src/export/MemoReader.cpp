#include "MemoReader.h"

#include "TextDecoder.h"

#include <cstring>

namespace {
constexpr QByteArrayView NoteLineEnd("\r\n");

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

MemoReader::MemoReader(LineReader &lines) : m_lines(lines) {}

const Memo *MemoReader::next()
{
    Memo &memo = m_memo;
    // Emptied, not freed: the next memo reuses the room.
    memo.text.resize(0);
    memo.category.clear();
    while (!m_lines.atEnd()) {
        QByteArrayView line = m_lines.readLine();
        if (memo.text.isEmpty()) {
            memo.title = titleCandidate(line);
            if (memo.title.isEmpty() && !m_lines.lineTooLong())
                continue;
            memo.titleLine = m_lines.lineNumber();
            if (!fitsIn(memo, line))
                return nullptr;
            memo.text.append(line);
            continue;
        }
        if (line.isEmpty()) {
            // The line after an empty one is taken in its place. When the
            // source ends here the open memo is dropped like any other.
            if (m_lines.atEnd())
                return nullptr;
            line = m_lines.readLine();
        }
        if (isFlagLine(line))
            return finish();
        if (!fitsIn(memo, line))
            return nullptr;
        appendLine(memo.text, line);
    }
    return nullptr;
}

// False, and the reading ends, when the line would take the memo past its
// limit or was itself cut short.
bool MemoReader::fitsIn(const Memo &memo, QByteArrayView line)
{
    if (!m_lines.lineTooLong() &&
        memo.text.size() + NoteLineEnd.size() + line.size() <= MaximumMemoLength)
        return true;
    m_oversizedFromLine = memo.titleLine;
    return false;
}

QString MemoReader::titleCandidate(QByteArrayView line)
{
    QString prefix = TextDecoder::decodePrefix(line, TitleLength);
    qsizetype start = 0;
    while (start < prefix.size() && prefix[start] == QLatin1Char(' '))
        ++start;
    return prefix.remove(0, start);
}

bool MemoReader::isFlagLine(QByteArrayView line)
{
    return line == "0" || line == "1";
}

// The line after the flag names the category. A source that ends right after
// the flag still yields the memo, with no category. No folder name takes more
// than 255 bytes, which 255 characters always fill, so no more is decoded.
const Memo *MemoReader::finish()
{
    if (!m_lines.atEnd()) {
        m_memo.category = category(m_lines.readLine());
        if (m_lines.lineTooLong())
            m_oversizedFromLine = m_lines.lineNumber();
    }
    m_memo.text.append(NoteLineEnd);
    return &m_memo;
}

// A few categories name thousands of memos; each is decoded once. The cache is
// emptied now and then, so that a file of ever new categories does not grow it
// without bound.
QString MemoReader::category(QByteArrayView line)
{
    const QString known = m_categories.value(QByteArray::fromRawData(line.data(), line.size()));
    if (!known.isNull() || line.isEmpty())
        return known;
    if (m_categories.size() >= MaximumCachedCategories)
        m_categories.clear();
    const QString decoded = TextDecoder::decodePrefix(line, CategoryLength);
    m_categories.insert(line.toByteArray(), decoded);
    return decoded;
}
