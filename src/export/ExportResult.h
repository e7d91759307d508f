#pragma once

#include <QString>

struct ExportResult
{
    enum class Outcome { Completed, Stopped, Failed };

    Outcome outcome = Outcome::Failed;
    qint64 noteCount = 0;
    QString notesFolder;  // destination + "/Notes/"
    QString errorMessage; // what failed, where, why, and how many memos were saved

    bool succeeded() const { return outcome == Outcome::Completed; }
    // "N memos saved to DESTINATION/Notes/"
    QString completionMessage() const;
};
