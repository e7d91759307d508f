#pragma once

#include "Memo.h"

#include <QString>
#include <optional>

struct ExportResult
{
    enum class Outcome { Completed, Stopped, Failed };

    // An iPod's note reader shows only the first 4,096 bytes of a note.
    static constexpr qint64 ShownNoteBytes = 4096;

    Outcome outcome = Outcome::Failed;
    qint64 noteCount = 0;
    QString notesFolder;  // destination + "/Notes/"
    QString errorMessage; // what failed, where, why, and how many memos were saved
    qint64 longNotes = 0; // notes of this run longer than ShownNoteBytes
    // Where a completed run's destination holds an "iPod_Control" folder at its
    // top: every note file below the notes folder afterwards, older ones
    // included. Nothing elsewhere.
    std::optional<qint64> notesOnIPod;
    // A completed run's source ended inside this memo, which was not saved.
    std::optional<UnfinishedMemo> unfinishedMemo;

    bool succeeded() const { return outcome == Outcome::Completed; }
    // "N memos saved to DESTINATION/Notes/"
    QString completionMessage() const;
};
