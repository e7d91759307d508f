#pragma once

#include "ExportResult.h"
#include "NotesRecord.h"
#include "Path.h"
#include "Result.h"

#include <functional>
#include <span>

class MemoSource;
class NoteNamer;
class NoteOwnership;
class NotesFolder;
struct Memo;
struct NotePath;

// Told how many notes are saved as the run goes: 0 once the notes folder is
// ready, then the count after each note. Asked after each note whether the run
// should stop there. Called on the thread that runs the export.
class ExportProgress
{
public:
    virtual ~ExportProgress() = default;
    virtual void notesSaved(qint64 count) = 0;
    // True ends the run after the note just written; what was written is
    // flushed to the device as at the end of a run.
    virtual bool stopRequested() { return false; }
};

// One export: reads the memo export, writes every memo as a note into the
// "Notes" folder of the destination folder, and flushes the device at the end.
class ExportRun
{
public:
    // Nothing when the destination can be written to now, else why not.
    using DestinationCheck = std::function<Result<void>()>;

    ExportRun(Path source, Path destinationFolder, bool addTxt);
    // Asked once, right before the notes folder is made or used, on the thread
    // that runs the export: a player unplugged after it was chosen leaves an
    // empty folder behind.
    void setDestinationCheck(DestinationCheck check);
    ExportResult run(ExportProgress &progress);

    // Removes, from the destination's notes folder, the notes a completed run
    // found gone that are still as Quillet wrote them, and the category
    // folders that leaves empty; the record forgets them. Asked after each
    // note whether to stop there.
    static RemovalResult removeGoneNotes(const Path &destinationFolder,
                                         const QList<RecordedNote> &notes,
                                         ExportProgress &progress);

private:
    struct NamedMemo;

    Result<void> writeNotes(MemoSource &memos, NoteNamer &namer, NotesFolder &notes,
                            ExportProgress &progress, ExportResult &result);
    static Result<void> writeNote(const NamedMemo &memo, std::span<const NotePath> ahead,
                                  NoteNamer &namer, NotesFolder &notes);
    static void keepRecord(NotesFolder &notes, NoteOwnership &ownership, ExportResult &result,
                           bool completed);

    Path m_source;
    Path m_destinationFolder;
    bool m_addTxt;
    DestinationCheck m_destinationCheck;
};
