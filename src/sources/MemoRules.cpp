#include "MemoRules.h"

#include "Limits.h"
#include "TextDecoder.h"

#include <algorithm>

namespace {

constexpr qsizetype TitleLength = 20;

void addLine(Memo &memo, QByteArrayView line)
{
    if (memo.title.isEmpty()) {
        memo.title = MemoRules::titleCandidate(line);
        if (memo.title.isEmpty())
            return;
    }
    memo.text.append(line);
    memo.text.append(MemoRules::NoteLineEnd);
}

} // namespace

QString MemoRules::titleCandidate(QByteArrayView line)
{
    QString prefix = TextDecoder::decodePrefix(line, TitleLength);
    qsizetype start = 0;
    while (start < prefix.size() && prefix[start] == QLatin1Char(' '))
        ++start;
    if (start < prefix.size())
        return prefix.remove(0, start);
    // A heading centred with twenty spaces or more is still what the person
    // wrote first: it names the memo after its text. Only a line of spaces
    // alone is blank.
    qsizetype text = 0;
    while (text < line.size() && line[text] == ' ')
        ++text;
    if (text == line.size())
        return {};
    return TextDecoder::decodePrefix(line.sliced(text), TitleLength);
}

void MemoRules::takeText(Memo &memo, QByteArrayView text)
{
    // Emptied, not freed: the next memo reuses the room.
    memo.text.resize(0);
    memo.title.clear();
    for (qsizetype at = 0; at < text.size();) {
        const auto lineEnd = std::find_if(text.begin() + at, text.end(),
                                          [](char c) { return c == '\n' || c == '\r'; });
        const qsizetype endAt = lineEnd - text.begin();
        addLine(memo, text.sliced(at, endAt - at));
        at = endAt +
             (endAt + 1 < text.size() && text[endAt] == '\r' && text[endAt + 1] == '\n' ? 2 : 1);
    }
}

bool MemoRules::isFlag(QByteArrayView field)
{
    return field == "0" || field == "1";
}

Error MemoRules::tooLong(qint64 line, const Path &source)
{
    return Error(Error::Reason::MemoTooLong, line).during(Error::Action::ReadSource, source);
}

QString CategoryCache::decode(QByteArrayView field)
{
    QString known = m_decoded.value(QByteArray::fromRawData(field.data(), field.size()));
    if (!known.isNull() || field.isEmpty())
        return known;
    if (m_decoded.size() >= MaximumSize)
        m_decoded.clear();
    QString decoded = TextDecoder::decodePrefix(field, Limits::NameBytes);
    m_decoded.insert(field.toByteArray(), decoded);
    return decoded;
}
