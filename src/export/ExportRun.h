#pragma once

#include "Expected.h"
#include "ExportProgress.h"
#include "ExportResult.h"
#include "FileError.h"

#include <QString>
#include <functional>

class MemoSource;
class NoteNamer;
class NotesFolder;
struct Memo;

// One export: reads the memo export, writes every memo as a note into the
// "Notes" folder of the destination folder, and flushes the device at the end.
class ExportRun
{
public:
    static constexpr int ExtensionChecked = 1;
    // Nothing when the destination can be written to now, else why not.
    using DestinationCheck = std::function<Expected<void, FileError>()>;

    ExportRun(QString sourcePath, QString destinationFolder, int extensionFlag);
    // The sign of an iPod: an "iPod_Control" folder at the top of the folder.
    static bool holdsIPodFolder(const QString &folder);
    // Asked once, right before the notes folder is made or used: a player
    // unplugged after it was chosen leaves an empty folder behind.
    void setDestinationCheck(DestinationCheck check);
    ExportResult run(ExportProgress &progress);

private:
    Expected<void, QString> writeNotes(MemoSource &memos, NotesFolder &notes,
                                       ExportProgress &progress, ExportResult &result);
    static Expected<void, FileError> writeNote(const Memo &memo, NoteNamer &namer,
                                               NotesFolder &notes);

    QString m_sourcePath;
    QString m_destinationFolder;
    QString m_extension;
    DestinationCheck m_destinationCheck;
};
