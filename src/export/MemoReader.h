#pragma once

#include "LineReader.h"
#include "Memo.h"

#include <optional>

// Cuts the lines of a memo export into memos: a title line, body lines, a
// flag line ("0" or "1") and a category line. Blank lines outside a memo are
// skipped; inside a memo an empty line is dropped and the line after it is
// taken in its place.
class MemoReader
{
public:
    explicit MemoReader(LineReader &lines);

    // The next complete memo, or nothing at the end of the source. A memo
    // still open at the end (no flag line) is dropped.
    std::optional<Memo> next();

private:
    static constexpr qsizetype TitleLength = 20;

    static QString titleCandidate(QByteArrayView line);
    static bool isFlagLine(QByteArrayView line);
    Memo finish(Memo memo);

    LineReader &m_lines;
};
