#pragma once

#include "Expected.h"
#include "Memo.h"

#include <QString>
#include <optional>

// The memos of one form of the organiser's export, in the order they stand.
class MemoSource
{
public:
    virtual ~MemoSource() = default;

    // The next complete memo, valid until the next call; nullptr at the end of
    // the source. An error where the source cannot be read on: the reason, in
    // words, that follows 'Could not read the export file "P": '. Nothing more
    // is read after an error.
    virtual Expected<const Memo *, QString> next() = 0;
    // The memo the source ended inside of, which was dropped; known once
    // next() has reached the end.
    virtual std::optional<UnfinishedMemo> unfinishedMemo() const { return std::nullopt; }
};
