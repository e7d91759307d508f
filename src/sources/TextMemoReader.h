#pragma once

#include "ByteSource.h"
#include "Memo.h"
#include "MemoDecoder.h"

// The organiser's "Text" export: a title line, body lines, a flag line ("0" or
// "1") and a category line. Blank lines outside a memo are skipped; inside a
// memo an empty line is dropped and the line after it is taken in its place.
class TextMemoReader : public MemoSource
{
public:
    TextMemoReader(ByteSource &source, MemoDecoder decoder,
                   LineEnd lineEnd = LineEnd::CarriageReturn);

    // A memo still open at the end (no flag line) is dropped and told by
    // unfinishedMemo(). Text that runs past Limits::MemoBytes without ending a
    // memo ends the reading with an error naming the line where it starts: the
    // memo's title line, or the overlong line itself.
    Result<const Memo *> next() override;
    std::optional<UnfinishedMemo> unfinishedMemo() const override { return m_unfinished; }

private:
    bool fitsIn(QByteArrayView line);
    Error oversized() const;
    Result<const Memo *> finish();

    ByteSource &m_source;
    LineReader m_lines;
    MemoDecoder m_decoder;
    QByteArray m_text; // of the memo being read, from its title line on
    Memo m_memo;
    qint64 m_oversizedFromLine = 0;
    std::optional<UnfinishedMemo> m_unfinished;
};
