#pragma once

#include "FileSystem.h"
#include "NoteFolders.h"
#include "NoteOwnership.h"
#include "Path.h"
#include "Result.h"
#include "TemporaryNotes.h"

#include <QByteArray>
#include <QSet>
#include <deque>
#include <optional>
#include <span>

// What became of a note given to the notes folder.
enum class NoteOutcome {
    Written,           // created, or an older note replaced
    Unchanged,         // an older note held exactly these bytes already and was left as it is
    NameTaken,         // the device holds a folder, the person's file, or a note of this run
                       // under that name
    FolderTaken,       // the device holds something other than a folder of this category
                       // under the category's folder name: a file or a link, for example
    NameTooLong,       // the device refuses the note's name as too long
    FolderNameTooLong, // the device refuses the category's folder name as too long
};

// The "Notes" folder on the player and the notes written into it: the only
// part of the export that writes notes to the destination.
//
// Nothing below the notes folder is ever reached through a symbolic link, and
// the notes folder itself must be a real folder. One export at a time writes
// into it: a run holds a lock on it from start to end, and first removes what
// a run that was cut off (killed, unplugged) left behind.
//
// What the folders held before the run is listed once, so that a note or
// folder that the device finds already there can be told apart: left by an
// earlier run (an older note of Quillet's is replaced, a folder used) or made
// by this run under a name the device takes as the same (FAT's short names,
// other case rules), which must never be replaced. Which older files are
// Quillet's, the ownership says, and the journal learns of every note before
// it is created or changed.
class NotesFolder
{
public:
    // The folders are those the namer gives the notes' paths in.
    NotesFolder(const Path &destinationFolder, NoteFolders &folders, NoteOwnership &ownership);

    // destination/Notes
    const Path &path() const { return m_path; }
    Path pathOf(const NotePath &note) const;
    // Why a note or its folder (`refusal` says which) cannot be made where the
    // device refuses every name short enough to try: its answer to the last.
    Error nameTooLong(const NotePath &note, NoteOutcome refusal) const;

    // Creates the notes folder if it is missing (one level: the destination
    // must exist), opens it, takes its lock and reads the ownership.
    Result<void> prepare();
    // The notes folder, once prepared.
    const FileSystem::Descriptor &descriptor() const;
    // Writes one note whole or not at all: an older note is replaced only by a
    // complete one, a new note that fails is removed. `ahead` are the notes
    // the run will write next: where the journal is written for this note,
    // those of them that will be new in folders on the device are named with
    // it, so that a run costs about one write to the journal per folder and
    // per batch of notes, not one per note.
    Result<NoteOutcome> write(const NotePath &note, const QByteArray &text,
                              std::span<NotePath> ahead = {});
    // Writes a note this run wrote again, whole, with other bytes: a part of a
    // long note whose link had to change when a later part took another name.
    Result<void> rewrite(const NotePath &note, const QByteArray &text);
    // Commits everything written so far to the device, once for the whole run.
    Result<void> flush();
    // Every note file below the notes folder, older ones included.
    Result<qint64> countNoteFiles() const;

    // The notes this run wrote or found unchanged, as the record keeps them.
    const QList<RecordedNote> &keptNotes() const { return m_kept; }
    // Their places' keys (NotePlace::key).
    QSet<quint64> keptPlaces() const;

private:
    Path pathOf(const NoteFolder &folder) const { return m_path / folder.name; }
    Result<void> listEarlierNames(NoteFolder &folder);
    Result<std::optional<NoteOutcome>> onDevice(NoteFolder &folder);
    Result<std::optional<NoteOutcome>> makeOnDevice(NoteFolder &folder);
    void countOpen(NoteFolder &folder);
    Result<void> reopen(NoteFolder &folder);
    Result<void> journal(const NotePath &note, std::span<NotePath> ahead, Error::Action action);
    Result<NoteOutcome> writeNew(const NotePath &note, const QByteArray &name,
                                 const QByteArray &text, std::span<NotePath> ahead);
    Result<NoteOutcome> writeOverEarlier(const NotePath &note, const QByteArray &name,
                                         const QByteArray &text, std::span<NotePath> ahead);
    Result<bool> mayReplace(const NotePath &note, const FileSystem::Descriptor &older,
                            const FileSystem::Status &status, std::optional<QByteArray> held);
    Result<NoteOutcome> replace(const NotePath &note, const QByteArray &name,
                                const QByteArray &text, qint64 olderSize,
                                std::span<NotePath> ahead);
    Error onFullPlayer(const Error &failure, qint64 needed) const;
    void keep(const NotePath &note, const QByteArray &text);

    Path m_path;
    NoteFolders &m_folders;
    NoteOwnership &m_ownership;
    // Category folders with an open descriptor, oldest first. An export of
    // thousands of categories must not run out of descriptors.
    std::deque<NoteFolder *> m_openFolders;
    TemporaryNotes m_temporaries;
    QList<RecordedNote> m_kept;
    QList<quint64> m_keptPlaces; // their places' keys, in the same order
    // The name of the note write() writes, in the system's form, handed to
    // what it calls: its room is kept from one note to the next.
    QByteArray m_nameBuffer;
    Error m_nameRefusal; // the device's answer to the last name it refused as too long
};
