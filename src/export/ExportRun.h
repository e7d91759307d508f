#pragma once

#include "CharacterSet.h"
#include "ExportResult.h"
#include "FileSystem.h"
#include "NoteEncoder.h"
#include "NotesRecord.h"
#include "Path.h"
#include "Result.h"

#include <functional>
#include <span>

class MemoSource;
class NoteNamer;
class NoteOwnership;
class NoteWriter;
class NotesFolder;
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
    // What the volume that holds a folder is formatted as.
    using FormatQuestion = std::function<Result<FileSystem::VolumeFormat>(const Path &)>;

    ExportRun(Path source, Path destinationFolder, bool addTxt);
    // Asked once, right before the notes folder is made or used, on the thread
    // that runs the export: a player unplugged after it was chosen leaves an
    // empty folder behind.
    void setDestinationCheck(DestinationCheck check);
    // The character set of the memos that are not UTF-8; Western European
    // (Windows-1252) unless set.
    void setCharacterSet(CharacterSet characters);
    // Asked once, where the destination is an iPod, for the format of its
    // volume; FileSystem::volumeFormat unless set. A test answers it for a Mac's
    // volume it cannot mount.
    void setFormatQuestion(FormatQuestion question);
    ExportResult run(ExportProgress &progress);

    // Removes, from the destination's notes folder, the notes a completed run
    // found gone that are still as Quillet wrote them, and the category
    // folders that leaves empty; the record forgets them. Asked after each
    // note whether to stop there. The check, where there is one, is asked
    // first, as a run asks it: the player may have been unplugged since.
    static RemovalResult removeGoneNotes(const Path &destinationFolder,
                                         const QList<RecordedNote> &notes, ExportProgress &progress,
                                         const DestinationCheck &check = {});

private:
    struct NamedMemo;

    Result<NoteDestination> destination() const;
    Result<void> writeNotes(MemoSource &memos, NoteNamer &namer, NoteWriter &writer,
                            ExportProgress &progress, ExportResult &result);
    static void keepRecord(NotesFolder &notes, NoteOwnership &ownership, ExportResult &result,
                           bool completed);

    Path m_source;
    Path m_destinationFolder;
    bool m_addTxt;
    CharacterSet m_characterSet = CharacterSet::Western;
    DestinationCheck m_destinationCheck;
    FormatQuestion m_formatQuestion = &FileSystem::volumeFormat;
};
