#pragma once

#include "FileSystem.h"
#include "NoteOwnership.h"
#include "NotesRecord.h"
#include "Path.h"
#include "Result.h"

#include <QList>
#include <QSet>
#include <functional>
#include <optional>

// The notes earlier exports wrote for memos that are no longer in the export
// (deleted, renamed or moved to another category), which would otherwise stay
// on the player for good, and their removal. Only Quillet's own notes are
// ever gone, as the ownership tells them; nothing is reached through a link,
// and nothing outside the notes folder.
class GoneNotes
{
public:
    // Below a notes folder that is prepared (open and locked).
    GoneNotes(const FileSystem::Descriptor &notesFolder, const Path &notesPath,
              NoteOwnership &ownership);

    // What the notes that earlier runs left as Quillet's are now.
    struct Found
    {
        // Still as Quillet wrote them, and not among the run's own notes.
        QList<RecordedNote> gone;
        // Those that could not be read, which keep their place in the record
        // as it had them, and why.
        QList<RecordedNote> unread;
        QList<Error> failures;
    };
    // `kept` holds the keys (NotePlace::key) of the notes a run wrote or found
    // unchanged: the player takes two places with one key for one note, so
    // such a note is never gone, whatever case it was written in. Nothing is
    // gone where the ownership does not know its notes.
    Result<Found> find(const QSet<quint64> &kept) const;

    struct Removal
    {
        qint64 removed = 0;
        // Notes or folders that could not be removed, each with why.
        QList<Error> failures;
        bool stopped = false;
    };
    // Removes each note while it is still Quillet's (a note the person
    // changed since stays), then the category folders that leaves empty; the
    // record then forgets what went. Stops after the note being removed once
    // `stopRequested` says so; what is left is found gone again next time.
    Result<Removal> remove(const QList<RecordedNote> &notes,
                           const std::function<bool()> &stopRequested);

private:
    Result<std::optional<FileSystem::Descriptor>> openFolder(const QString &name) const;
    Result<std::optional<NoteFingerprint>> fingerprintOf(const NotePlace &place) const;
    void removeEmptiedFolders(const QList<QString> &folders, Removal &removal) const;
    Result<void> forget(const QSet<quint64> &removed);

    const FileSystem::Descriptor &m_notesFolder;
    Path m_notesPath;
    NoteOwnership &m_ownership;
};
