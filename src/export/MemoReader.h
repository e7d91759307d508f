#pragma once

#include "LineReader.h"
#include "Memo.h"

#include <QHash>

// Cuts the lines of a memo export into memos: a title line, body lines, a
// flag line ("0" or "1") and a category line. Blank lines outside a memo are
// skipped; inside a memo an empty line is dropped and the line after it is
// taken in its place.
class MemoReader
{
public:
    // A real memo is a few KB; only a file without line ends or a wrong file
    // gets to this.
    static constexpr qsizetype MaximumMemoLength = 16 * 1024 * 1024;

    explicit MemoReader(LineReader &lines);

    // The next complete memo, or nothing at the end of the source; it is valid
    // until the next call. A memo still open at the end (no flag line) is
    // dropped.
    const Memo *next();
    // Where text ran past MaximumMemoLength without ending a memo, which ends
    // the reading: the line of the memo's title, or of the overlong line. 0
    // when that did not happen.
    qint64 oversizedFromLine() const { return m_oversizedFromLine; }

private:
    static constexpr qsizetype TitleLength = 20;
    static constexpr qsizetype CategoryLength = 255;

    static QString titleCandidate(QByteArrayView line);
    static bool isFlagLine(QByteArrayView line);
    bool fitsIn(const Memo &memo, QByteArrayView line);
    const Memo *finish();
    QString category(QByteArrayView line);

    static constexpr qsizetype MaximumCachedCategories = 4096;

    LineReader &m_lines;
    Memo m_memo;
    QHash<QByteArray, QString> m_categories; // decoded category of each line seen
    qint64 m_oversizedFromLine = 0;
};
