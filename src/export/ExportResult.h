#pragma once

#include "Error.h"
#include "Memo.h"
#include "NotesRecord.h"
#include "Path.h"
#include "Result.h"

#include <QCoreApplication>
#include <QString>
#include <optional>

// How an export ended, and what the person is told of it.
struct ExportResult
{
    Q_DECLARE_TR_FUNCTIONS(ExportResult)

public:
    enum class Outcome { Completed, Stopped, Failed };

    Outcome outcome = Outcome::Failed;
    qint64 noteCount = 0;
    Path notesFolder; // destination/Notes
    // What failed, and the memo that was being saved then, if one was.
    std::optional<Error> error;
    std::optional<UnfinishedMemo> unsavedMemo;
    // Flushing what was written before the failure failed too.
    std::optional<Error> flushError;
    qint64 longNotes = 0; // notes of this run longer than Player::ShownNoteBytes
    // Notes of this run of memos changed in J-Pilot and not yet synced.
    qint64 notesOfChanges = 0;
    // Where a completed run's destination holds the player's control folder at
    // its top: every note file below the notes folder afterwards, older ones
    // included; or why they could not all be counted. Nothing elsewhere.
    std::optional<Result<qint64>> notesOnPlayer;
    // A completed run's source ended inside this memo, which was not saved.
    std::optional<UnfinishedMemo> unfinishedMemo;
    // Of a completed run: the notes an earlier export wrote for memos that are
    // no longer in the export, still as Quillet wrote them.
    QList<RecordedNote> goneNotes;
    // Keeping the record of Quillet's notes failed; its journal knows them.
    std::optional<Error> recordError;

    bool succeeded() const { return outcome == Outcome::Completed; }
    // "N memos saved to DESTINATION/Notes/"
    QString completionMessage() const;
    // What a person reads at the end: of a completed run, the completion
    // message with the memo it left out and what a player will not show; of a
    // failed one, what failed, where and why, and how many memos were saved.
    QString message() const;

private:
    QString completionText() const;
    QString failureText() const;
};

// How removing the notes of memos that are gone went.
struct RemovalResult
{
    Q_DECLARE_TR_FUNCTIONS(RemovalResult)

public:
    qint64 removed = 0;
    // Notes or folders that could not be removed, each with why.
    QList<Error> failures;
    // What kept the removal from starting or from being recorded.
    std::optional<Error> error;

    // "N notes were removed.", then what could not be, and why.
    QString message() const;
};
