#include "MemoReader.h"

#include "SourceText.h"

namespace {
const QByteArray LineEnd = QByteArrayLiteral("\r\n");
} // namespace

MemoReader::MemoReader(LineReader &lines) : m_lines(lines) {}

std::optional<Memo> MemoReader::next()
{
    Memo memo;
    while (!m_lines.atEnd()) {
        QByteArray line = m_lines.readLine();
        if (memo.text.isEmpty()) {
            memo.title = titleCandidate(line);
            if (memo.title.isEmpty())
                continue;
            memo.titleLine = m_lines.lineNumber();
            memo.text = line;
            continue;
        }
        if (line.isEmpty()) {
            // The line after an empty one is taken in its place. When the
            // source ends here the open memo is dropped like any other.
            if (m_lines.atEnd())
                return std::nullopt;
            line = m_lines.readLine();
        }
        if (isFlagLine(line))
            return finish(std::move(memo));
        memo.text += LineEnd;
        memo.text += line;
    }
    return std::nullopt;
}

QString MemoReader::titleCandidate(const QByteArray &line)
{
    const QString prefix = SourceText::decodePrefix(line, TitleLength);
    qsizetype start = 0;
    while (start < prefix.size() && prefix[start] == QLatin1Char(' '))
        ++start;
    return prefix.sliced(start);
}

bool MemoReader::isFlagLine(const QByteArray &line)
{
    return line == "0" || line == "1";
}

// The line after the flag names the category. A source that ends right after
// the flag still yields the memo, with no category.
Memo MemoReader::finish(Memo memo)
{
    if (!m_lines.atEnd())
        memo.category = SourceText::decode(m_lines.readLine());
    memo.text += LineEnd;
    return memo;
}
