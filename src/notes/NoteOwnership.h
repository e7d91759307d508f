#pragma once

#include "NotePlace.h"
#include "NotesJournal.h"
#include "NotesRecord.h"
#include "Path.h"
#include "Result.h"

#include <QList>
#include <optional>

// Which of the files below the notes folder are Quillet's own notes, which it
// may replace and offer to remove, and which are the person's, which it never
// touches: a note is Quillet's while the record has it with the bytes it
// holds, or while the journal names it.
//
// Without a record (the first export with this version) a file in a note's
// place is an older note, as it always was. Where the record is there but
// cannot be read, Quillet knows none of its notes: it replaces no file whose
// bytes differ from the new note's and offers nothing for removal.
class NoteOwnership
{
public:
    // In the destination folder, beside its notes folder.
    explicit NoteOwnership(const Path &destinationFolder);

    // Reads the record and the journal; fails only where a leftover of an
    // earlier run cannot be removed.
    Result<void> load();

    // Whether any file in a note's place is taken for an older note.
    bool takesAnyFileForANote() const { return m_record.state() == NotesRecord::State::Missing; }
    // Whether a run cut off before this one named the note: it is Quillet's,
    // whatever it holds.
    bool isJournaled(const NotePlace &place) const { return m_journal.namesEarlier(place); }
    // Whether a file of `size` bytes at the place may be Quillet's: only such
    // a file needs to be read to tell.
    bool mayOwn(const NotePlace &place, qint64 size) const;
    bool owns(const NotePlace &place, const NoteFingerprint &fingerprint) const;
    // Whether Quillet knows its notes, so that it may offer those of memos
    // that are gone for removal.
    bool knowsItsNotes() const { return m_record.state() != NotesRecord::State::Unreadable; }
    // Each note that earlier runs left as Quillet's, once: the record's and
    // the journal's.
    QList<NotePlace> earlierNotes() const;
    bool hasEarlierNotes() const
    {
        return !m_record.notes().isEmpty() || !m_journal.earlierNotes().isEmpty();
    }

    // The bytes of a file of `size` bytes that may be a note, opened for
    // reading; nothing where it is larger than any note, or shorter than
    // `size` by now.
    static Result<std::optional<QByteArray>> readNote(const FileSystem::Descriptor &file,
                                                      qint64 size);

    const NotesRecord &record() const { return m_record; }
    // Why the record, or the journal, could not be read.
    std::optional<Error> readError() const;

    // Names notes in the journal before they are created or changed: their
    // places a line each, as LineBuffer::addPlace writes them.
    Result<void> journal(const QByteArray &lines) { return m_journal.name(lines); }
    // Replaces the record with `notes`, unless it holds them already, and
    // empties the journal, which then names nothing.
    Result<void> save(const QList<RecordedNote> &notes);

private:
    NotesRecord m_record;
    NotesJournal m_journal;
    std::optional<Error> m_journalError;
};
