#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The least any program must do to put the same notes on disk: one mkdir per
// folder and open, write, close per note, with the names and texts worked out
// beforehand. Over notes already there it rewrites each file in place.
class SystemCallFloor
{
public:
    struct Note
    {
        QByteArray relativeFolder; // empty for the notes folder itself
        QByteArray relativePath;
        QByteArray text;
    };

    // The notes an export of `sourcePath` into a folder that is no iPod would
    // write (UTF-8), read with the engine's own reader and namer.
    static QList<Note> notesOf(const QString &sourcePath, bool txt);
    // Writes them below `notesFolder`, creating or truncating each file; false
    // on the first failing call.
    static bool write(const QByteArray &notesFolder, const QList<Note> &notes);
};
