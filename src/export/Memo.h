#pragma once

#include <QByteArray>
#include <QString>

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
