#pragma once

#include <QCoreApplication>
#include <QString>

// Told how many notes are saved as the run goes: 0 once the notes folder is
// ready, then the count after each note. Asked after each note whether the
// run should stop there.
class ExportProgress
{
public:
    virtual ~ExportProgress() = default;

    // What the Export button shows while `notesSaved` notes are saved: "Notes N".
    // Made only when shown, not for every note.
    static QString captionFor(qint64 notesSaved)
    {
        return QCoreApplication::translate("ExportProgress", "Notes %1").arg(notesSaved);
    }

    virtual void notesSaved(qint64 count) = 0;
    // True ends the run after the note just written; what was written is
    // flushed to the device as at the end of a run.
    virtual bool stopRequested() { return false; }
};
