#include "MemoReader.h"

#include "ExportLimits.h"
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

MemoReader::MemoReader(QIODevice &device, LineEnd lineEnd) : m_lines(device, lineEnd) {}

Expected<const Memo *, QString> MemoReader::next()
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
            memo.title = titleCandidate(line);
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
        if (isFlagLine(line))
            return finish();
        if (!fitsIn(memo, line))
            return oversized();
        appendLine(memo.text, line);
    }
    if (m_lines.failed())
        return Unexpected<QString>{m_lines.errorString()};
    if (!memo.text.isEmpty())
        m_unfinished = UnfinishedMemo{memo.title, memo.titleLine};
    return nullptr;
}

// False, and the reading ends, when the line would take the memo past its
// limit or was itself cut short.
bool MemoReader::fitsIn(const Memo &memo, QByteArrayView line)
{
    if (!m_lines.lineTooLong() &&
        memo.text.size() + NoteLineEnd.size() + line.size() <= ExportLimits::MemoBytes)
        return true;
    m_oversizedFromLine = memo.titleLine;
    return false;
}

Unexpected<QString> MemoReader::oversized() const
{
    return {QStringLiteral("from line %1 on, the text runs past %2 MiB without ending a memo, "
                           "which no memo export does")
                .arg(m_oversizedFromLine)
                .arg(ExportLimits::MemoBytes / (1024 * 1024))};
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
// the flag still yields the memo, with no category. A memo whose last lines a
// failing read may have cut short is not one.
Expected<const Memo *, QString> MemoReader::finish()
{
    if (!m_lines.atEnd()) {
        m_memo.category = category(m_lines.readLine());
        if (m_lines.lineTooLong())
            m_oversizedFromLine = m_lines.lineNumber();
    }
    if (m_lines.failed())
        return Unexpected<QString>{m_lines.errorString()};
    m_memo.text.append(NoteLineEnd);
    return &m_memo;
}

// A few categories name thousands of memos; each is decoded once. The cache is
// emptied now and then, so that a file of ever new categories does not grow it
// without bound. No folder name takes more than ExportLimits::NameBytes, which
// as many characters always fill, so no more is decoded.
QString MemoReader::category(QByteArrayView line)
{
    const QString known = m_categories.value(QByteArray::fromRawData(line.data(), line.size()));
    if (!known.isNull() || line.isEmpty())
        return known;
    if (m_categories.size() >= MaximumCachedCategories)
        m_categories.clear();
    const QString decoded = TextDecoder::decodePrefix(line, ExportLimits::NameBytes);
    m_categories.insert(line.toByteArray(), decoded);
    return decoded;
}
