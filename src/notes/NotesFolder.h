#pragma once

#include "FileSystem.h"
#include "NoteFolders.h"
#include "NotesRecord.h"
#include "Path.h"
#include "Result.h"

#include <QByteArray>
#include <deque>
#include <optional>

// What became of a note given to the notes folder.
enum class NoteOutcome {
    Written,           // created, or an older note replaced
    Unchanged,         // an older note held exactly these bytes already and was left as it is
    NameTaken,         // the device holds a folder, or a note of this run, under that name
    FolderTaken,       // the device holds something other than a folder of this category
                       // under the category's folder name: a file or a link, for example
    NameTooLong,       // the device refuses the note's name as too long
    FolderNameTooLong, // the device refuses the category's folder name as too long
};

// The "Notes" folder on the player and everything written into it. The only
// part of the export that touches the destination.
//
// Nothing below the notes folder is ever reached through a symbolic link, and
// the notes folder itself must be a real folder. One export at a time writes
// into it: a run holds a lock on it from start to end, and first removes what
// a run that was cut off (killed, unplugged) left behind.
//
// What the folders held before the run is listed once, so that a note or
// folder that the device finds already there can be told apart: left by an
// earlier run (a note is replaced, a folder used) or made by this run under a
// name the device takes as the same (FAT's short names, other case rules),
// which must never be replaced.
class NotesFolder
{
public:
    // The folders are those the namer gives the notes' paths in.
    NotesFolder(const Path &destinationFolder, NoteFolders &folders);

    // destination/Notes
    const Path &path() const { return m_path; }
    Path pathOf(const NotePath &note) const;
    // Whether a name is one of the temporary files a note's new text is
    // written into before it replaces the older note. No memo gives a note
    // such a name: it ends in ".tmp" and is longer than any title.
    static bool isTemporaryName(QByteArrayView name);
    // Why a note or its folder (`refusal` says which) cannot be made where the
    // device refuses every name short enough to try: its answer to the last.
    Error nameTooLong(const NotePath &note, NoteOutcome refusal) const;

    // Creates the notes folder if it is missing (one level: the destination
    // must exist), opens it and takes its lock.
    Result<void> prepare();
    // Writes one note whole or not at all: an older note is replaced only by a
    // complete one, a new note that fails is removed.
    Result<NoteOutcome> write(const NotePath &note, const QByteArray &text);
    // Writes a note this run wrote again, whole, with other bytes: a part of a
    // long note whose link had to change when a later part took another name.
    Result<void> rewrite(const NotePath &note, const QByteArray &text);
    // Commits everything written so far to the device, once for the whole run.
    Result<void> flush();
    // Every note file below the notes folder, older ones included.
    Result<qint64> countNoteFiles() const;

    // Quillet's notes that this run neither wrote nor found unchanged: once a
    // run has completed, the notes of memos that are no longer in the export.
    Result<QList<RecordedNote>> goneNotes();
    // Replaces the record of Quillet's notes with those of this run and
    // `others`, after the notes are flushed.
    Result<void> saveRecord(const QList<RecordedNote> &others);

    // How a removal of notes went: how many went, and why others could not.
    struct Removal
    {
        qint64 removed = 0;
        QList<Error> failures;
    };
    // Removes the notes, once prepared, each only while it is still Quillet's
    // (a note the person changed since stays), then the category folders that
    // held them and are left empty; the record forgets what went. Never
    // anything reached through a link.
    Result<Removal> remove(const QList<RecordedNote> &notes);

private:
    Path pathOf(const NoteFolder &folder) const { return m_path / folder.name; }
    Result<void> listEarlierNames(NoteFolder &folder);
    // Nothing once the folder is on the device; else why the device will not
    // give it under its name.
    Result<std::optional<NoteOutcome>> makeOnDevice(NoteFolder &folder);
    void countOpen(NoteFolder &folder);
    Result<void> reopen(NoteFolder &folder);
    Result<NoteOutcome> writeNew(const NotePath &note, const QByteArray &text);
    Result<NoteOutcome> writeOverEarlier(const NotePath &note, const QByteArray &text);
    bool readWhole(const FileSystem::Descriptor &file, qint64 size);
    bool isQuillets(const NotePath &note, const Result<FileSystem::Descriptor> &older,
                    const std::optional<FileSystem::Status> &status, bool read);
    Result<NoteOutcome> replace(const NotePath &note, const QByteArray &text, qint64 olderSize);
    Result<void> replaceThroughTemporary(const NoteFolder &folder, const QByteArray &text);
    Result<QList<RecordedNote>> quilletNotesAmong(const QStringList &paths);
    Result<QStringList> filesIn(const QString &folder);
    Result<QStringList> journaledPaths();
    const QString &pathOfNote(const NotePath &note);
    Result<void> journal(const NotePath &note);
    Result<std::optional<FileSystem::Descriptor>> openBelowNotes(const QString &folder);
    std::optional<NoteFingerprint> fingerprintOf(const FileSystem::Descriptor &folder,
                                                 const QString &name);
    Result<FileSystem::Descriptor> createTemporary(const NoteFolder &folder, QByteArray &name);

    Path m_path;
    NoteFolders &m_folders;
    // Category folders with an open descriptor, oldest first. An export of
    // thousands of categories must not run out of descriptors.
    std::deque<NoteFolder *> m_openFolders;
    QByteArray m_name; // of the note being written, in the system's form
    QByteArray m_readBuffer;
    qint64 m_temporaryCounter = 0;
    NotesRecord m_record;
    // A note this run wrote or found unchanged.
    struct KeptNote
    {
        const NoteFolder *folder;
        QString fileName;
        NoteFingerprint fingerprint;
    };
    static QString pathOf(const KeptNote &note);

    QString m_notePath; // of the note being written, below the notes folder, once joined
    QList<KeptNote> m_kept;
    Error m_nameRefusal; // the device's answer to the last name it refused as too long
};
