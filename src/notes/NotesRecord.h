#pragma once

#include "NotePlace.h"
#include "Path.h"
#include "Result.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QMultiHash>
#include <optional>

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
    NotePlace place;
    NoteFingerprint fingerprint;
};

// The record, kept beside the notes folder (never in it: the player lists
// every file there as a note), of the notes Quillet wrote or found unchanged,
// each with its fingerprint: "SIZE HASH PLACE" a line after a heading. It is
// replaced whole, a new file renamed into its place.
//
// Read as a person may have left it: lines that end in CR LF, a last line
// without its end, and lines that cannot be read, which are left out and
// counted. A line whose place would lie outside the notes folder is one of
// those: nothing the record names is ever reached outside it.
class NotesRecord
{
public:
    enum class State {
        Missing,    // the first export with this version
        Read,       // every line, or all but skippedLines()
        Unreadable, // there, but it cannot be read: readError() says why
    };

    // In the destination folder, beside its notes folder.
    explicit NotesRecord(const Path &destinationFolder);

    // Reads the record, and removes what a replacement of it that was cut off
    // left; fails only where that leftover cannot be removed.
    Result<void> load();
    State state() const { return m_state; }
    qint64 skippedLines() const { return m_skippedLines; }
    const std::optional<Error> &readError() const { return m_readError; }
    // Of the bytes read, or last written; of none where there are none.
    // Taken when first asked for: most runs never need it.
    NoteFingerprint fingerprint() const;
    const QList<RecordedNote> &notes() const { return m_notes; }

    // Whether a note recorded at `place`, compared as the player compares
    // places, had `size` bytes: only then can it be Quillet's without the
    // journal.
    bool recordsSize(const NotePlace &place, qint64 size) const;
    bool records(const NotePlace &place, const NoteFingerprint &fingerprint) const;

    // The record of `notes`, as it is written.
    static QByteArray bytesOf(const QList<RecordedNote> &notes);
    // Whether the record holds exactly `bytes` already.
    bool holds(QByteArrayView bytes) const;
    // Replaces the record with `bytes`, on the device before it takes the
    // older record's place. What was read stays as it was; holds() and the
    // fingerprint are of the new bytes.
    Result<void> replace(QByteArrayView bytes);

    const Path &path() const { return m_path; }

private:
    void parse(QByteArrayView bytes);
    void unreadable(const Error &why);

    Path m_path;
    Path m_replacement;
    State m_state = State::Missing;
    qint64 m_skippedLines = 0;
    std::optional<Error> m_readError;
    // What the record holds, where it was read whole or written.
    std::optional<QByteArray> m_bytes;
    mutable std::optional<NoteFingerprint> m_fingerprint;
    QList<RecordedNote> m_notes;
    QMultiHash<quint64, qsizetype> m_byPlace; // by NotePlace::key, into m_notes
};
