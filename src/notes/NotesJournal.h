#pragma once

#include "FileSystem.h"
#include "NotePlace.h"
#include "NotesRecord.h"
#include "Path.h"
#include "Result.h"

#include <QList>
#include <QSet>

// The journal beside the record: every note is named in it before it is
// created or changed, so that a run cut off anywhere leaves no note of its own
// that the next run would take for the person's. Notes the run will create
// are named ahead, many in one write.
//
// It extends one record: its first line holds that record's fingerprint, and
// a journal that extends another record than the one there now was left by a
// run before that record was written, and names nothing. Its lines end at the
// first NUL.
//
// It is never removed. Emptied once the record knows what it named, it keeps
// its room and is grown while there is room, so that a player that is full
// still takes a change that fits in place: the journal's lines go into that
// room, and the record's replacement into what the journal gives back.
class NotesJournal
{
public:
    explicit NotesJournal(const Path &destinationFolder);

    // Reads what runs since `record` was written named. A journal the last
    // version left, without a first line, names its notes for any record.
    Result<void> load(const NoteFingerprint &record);
    // The notes that runs cut off before this one named: Quillet's, whatever
    // they hold.
    const QList<NotePlace> &earlierNotes() const { return m_earlier; }
    bool namesEarlier(const NotePlace &place) const;
    // Whether it names anything, of earlier runs or of this one.
    bool isEmpty() const { return m_earlier.isEmpty() && m_contentBytes == 0; }

    // Names the notes, those this run has not named yet, in one write.
    Result<void> name(const QList<NotePlace> &places);
    bool namesNow(const NotePlace &place) const { return m_namedKeys.contains(place.key()); }
    // Gives the device back the room its lines do not take.
    Result<void> giveBackRoom();
    // Names nothing any more, now that `record` holds what it named, and
    // keeps at least `room` bytes for the next run where the device has them.
    Result<void> restart(const NoteFingerprint &record, qint64 room);

    const Path &path() const { return m_path; }

private:
    Result<void> open();
    Result<void> writeAt(qint64 offset, QByteArrayView bytes);
    Result<void> grow(qint64 room);

    Path m_path;
    NoteFingerprint m_record;
    QList<NotePlace> m_earlier;
    QSet<quint64> m_earlierKeys;
    QSet<quint64> m_namedKeys;       // by this run
    bool m_extendsRecord = false;    // its lines as read may be added to
    qint64 m_contentBytes = 0;       // up to the first NUL, as read or written
    FileSystem::Descriptor m_file;   // open once written to
};
