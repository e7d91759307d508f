#pragma once

#include "Result.h"

#include <QByteArray>
#include <QString>
#include <optional>

struct Memo
{
    // The first 20 characters of the title line without leading spaces; not yet
    // made safe as a file name.
    QString title;
    // The note's content: the memo's lines as read, each ended by CR LF.
    QByteArray text;
    // The category as read; empty puts the note into the notes folder.
    QString category;
    // Line of the source that holds the title, for messages.
    qint64 titleLine = 0;
};

// A memo the export file ends inside of, which is not saved: its title as in
// Memo, and the line that holds it.
struct UnfinishedMemo
{
    QString title;
    qint64 titleLine = 0;

    bool operator==(const UnfinishedMemo &) const = default;
};

// The memos of one form of the organiser's export, in the order they stand.
class MemoSource
{
public:
    virtual ~MemoSource() = default;

    // The next complete memo, valid until the next call; nullptr at the end of
    // the source. An error where the source cannot be read on; nothing more is
    // read after it.
    virtual Result<const Memo *> next() = 0;
    // The memo the source ended inside of, which was dropped; known once
    // next() has reached the end.
    virtual std::optional<UnfinishedMemo> unfinishedMemo() const { return std::nullopt; }
};
