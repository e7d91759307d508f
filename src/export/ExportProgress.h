#pragma once

#include <QString>

// Told of the Export button's caption as the run goes: "Notes 0" once the notes
// folder is ready, then "Notes N" after each note.
class ExportProgress
{
public:
    virtual ~ExportProgress() = default;
    virtual void captionChanged(const QString &caption) = 0;
};
