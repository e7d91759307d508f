#pragma once

#include <QString>

// Told of the Export button's caption as the run goes: "Notes 0" once the notes
// folder is ready, then "Notes N" after each note. Asked after each note
// whether the run should stop there.
class ExportProgress
{
public:
    virtual ~ExportProgress() = default;
    virtual void captionChanged(const QString &caption) = 0;
    // True ends the run after the note just written; what was written is
    // flushed to the device as at the end of a run.
    virtual bool stopRequested() { return false; }
};
