#pragma once

#include "CharacterSet.h"
#include "Error.h"
#include "Memo.h"
#include "NotesRecord.h"
#include "Path.h"
#include "Result.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>
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
    // Memos of this run written in parts, each leading to the next, being too
    // long for one iPod note.
    qint64 memosInParts = 0;
    // Memos of this run that hold bytes that are no text in the character set
    // they were read in, each shown as U+FFFD.
    qint64 memosWithReplacedBytes = 0;
    CharacterSet characterSet = CharacterSet::Western;
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
    // The record of Quillet's notes, as the run found it: why it could not be
    // read at all, or how many of its lines could not be read.
    Path record;
    std::optional<Error> recordReadError;
    qint64 skippedRecordLines = 0;
    // Notes of earlier runs that could not be read to tell whether they are
    // gone; the record keeps them as it had them.
    QList<Error> unreadNotes;
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
    QStringList recordText() const;
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
    // A stop was asked for: the notes not reached yet stay, and are offered
    // again after the next export.
    bool stopped = false;

    // Whether every note asked for was removed or was gone already.
    bool succeeded() const { return failures.isEmpty() && !error; }
    // "N notes were removed.", then what could not be, and why.
    QString message() const;
};
