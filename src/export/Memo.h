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
    // The category line as read; empty puts the note into the notes folder.
    QString category;
    // Line of the source that holds the title, for messages.
    qint64 titleLine = 0;
};
