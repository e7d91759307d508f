#include "MemoRules.h"

#include <algorithm>

namespace {

constexpr qsizetype TitleLength = 20;

// Where the first `count` code points of `text` from `from` on end, or its
// first line does, whichever comes first.
qsizetype afterCodePoints(QStringView text, qsizetype from, qsizetype count)
{
    qsizetype at = from;
    for (qsizetype seen = 0; seen < count && at < text.size() && text[at] != u'\r'; ++seen)
        at += text[at].isHighSurrogate() && at + 1 < text.size() && text[at + 1].isLowSurrogate()
                  ? 2
                  : 1;
    return at;
}

} // namespace

bool MemoRules::isBlank(QByteArrayView line)
{
    return std::all_of(line.begin(), line.end(), [](char byte) { return byte == ' '; });
}

// A heading centred with twenty spaces or more is still what the person wrote
// first: it names the memo after its text.
QString MemoRules::titleOf(QStringView text)
{
    qsizetype spaces = 0;
    while (spaces < text.size() && text[spaces] == u' ')
        ++spaces;
    const qsizetype from = spaces < TitleLength ? 0 : spaces;
    return text.sliced(spaces, afterCodePoints(text, from, TitleLength) - spaces).toString();
}

bool MemoRules::isFlag(QByteArrayView field)
{
    return field == "0" || field == "1";
}

Error MemoRules::tooLong(qint64 line, const Path &source)
{
    return Error(Error::Reason::MemoTooLong, line).during(Error::Action::ReadSource, source);
}

bool MemoRules::takeText(QByteArray &lines, QByteArrayView text)
{
    // Emptied, not freed: the next memo reuses the room.
    lines.resize(0);
    for (qsizetype at = 0; at < text.size();) {
        const auto lineEnd = std::find_if(text.begin() + at, text.end(),
                                          [](char c) { return c == '\n' || c == '\r'; });
        const qsizetype endAt = lineEnd - text.begin();
        const QByteArrayView line = text.sliced(at, endAt - at);
        if (!lines.isEmpty() || !isBlank(line)) {
            lines.append(line);
            lines.append(NoteLineEnd);
        }
        at = endAt +
             (endAt + 1 < text.size() && text[endAt] == '\r' && text[endAt + 1] == '\n' ? 2 : 1);
    }
    return !lines.isEmpty();
}
