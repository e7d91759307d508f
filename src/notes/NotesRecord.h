#pragma once

#include "FileSystem.h"
#include "Path.h"
#include "Result.h"

#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

// What a note held when Quillet wrote it or found it unchanged: its size and a
// 64-bit hash of its bytes. A note whose bytes no longer match was changed by
// the person, and is theirs from then on.
struct NoteFingerprint
{
    qint64 size = -1;
    quint64 hash = 0;

    // Stable from one version of the program to the next, unlike qHash, which
    // Qt may change: a record written today must still match tomorrow.
    static NoteFingerprint of(QByteArrayView bytes);
    bool operator==(const NoteFingerprint &) const = default;
};

// A note below the notes folder and its fingerprint.
struct RecordedNote
{
    QString path; // "Work/Plan", as written
    NoteFingerprint fingerprint;
};

// A note as the record is written: its folder below the notes folder ("" for
// the notes folder itself) and its name there, or its whole path as `name`.
struct RecordLine
{
    QStringView folder;
    QStringView name;
    NoteFingerprint fingerprint;
};

// The record, kept beside the notes folder (never in it: the player lists
// every file there as a note), of the notes Quillet wrote or found unchanged,
// so that it can tell its own notes from the person's and offer to remove the
// notes of memos that are gone.
//
// A note is Quillet's while it is in the record and its bytes match, or while
// the journal names it: every note is named in the journal before it is
// created or changed, so that a run cut off anywhere leaves no note of its
// own that the next run would take for the person's. The record is replaced
// whole (a new file renamed into place) and the journal then dropped.
//
// A missing, unreadable or damaged record holds nothing; a run never fails for
// it.
class NotesRecord
{
public:
    // In the destination folder, beside its notes folder.
    explicit NotesRecord(const Path &destinationFolder);

    // Reads the record and the journal, and removes what a replacement of the
    // record that was cut off left.
    Result<void> load();
    // Whether there was a record: without one (the first export with this
    // version, or one that could not be read), a file in a note's place is an
    // older note, as it always was, and only the journal tells Quillet's own.
    bool exists() const { return m_exists; }
    const QList<RecordedNote> &notes() const { return m_notes; }
    // The notes, and the folders all of whose notes, the journal names: a
    // folder made by a run holds nothing but that run's notes. The notes
    // folder itself is "".
    const QList<QString> &journaledNotes() const { return m_journaledNotes; }
    const QList<QString> &journaledFolders() const { return m_journaledFolders; }
    // Paths are compared as the device compares names, ignoring case: a note
    // written as "Plan" is found again as "plan".
    bool isJournaled(const QString &path) const;
    // Whether a note the device holds under `path` is Quillet's: named in the
    // journal, or recorded with these bytes.
    bool owns(const QString &path, const NoteFingerprint &fingerprint) const;
    // Whether a note recorded under `path` had `size` bytes: only then can it
    // be Quillet's without the journal.
    bool recordsSize(const QString &path, qint64 size) const;

    // Names the note in the journal before it is created or changed.
    Result<void> journalNote(const QString &path);
    // Names a folder the run made, before any note is written into it ("" for
    // the notes folder itself): every note in it is the run's.
    Result<void> journalFolder(const QString &folder);
    // Replaces the record with `notes` and drops the journal.
    Result<void> save(const QList<RecordLine> &notes);

    const Path &path() const { return m_record; }

private:
    bool parse(QByteArrayView bytes);
    void parseJournal(QByteArrayView bytes);
    Result<void> journal(const QByteArray &line);

    Path m_record;
    Path m_journalPath;
    Path m_replacement;
    bool m_exists = false;
    QList<RecordedNote> m_notes;
    QList<QString> m_journaledNotes;
    QList<QString> m_journaledFolders;
    // By the fingerprint of the path's case key: where the device ignores
    // case, a note written as "Plan" is found again as "plan".
    QMultiHash<quint64, qsizetype> m_byName; // into m_notes
    QSet<quint64> m_journaledNames;          // of notes' paths and of folders
    bool m_wholeNotesFolderJournaled = false;
    FileSystem::Descriptor m_journal;
};
