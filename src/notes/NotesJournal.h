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
// are named ahead, many in one write. It goes once the record knows what it
// named.
//
// It extends one record: its first line holds that record's fingerprint, and
// a journal that extends another record than the one there now was left by a
// run after that record was written anew, and names nothing.
//
// Room for it is kept in reserve, in a file of zeros beside it that goes where
// the journal, or the record's replacement, finds no room: a player that is
// full still takes a change that fits in place. Files are only ever made
// anew and written from their start to their end, never cut or written over,
// which is what every FAT driver does right.
class NotesJournal
{
public:
    // Beside `record`, which it extends, and which outlives it.
    NotesJournal(const Path &destinationFolder, const NotesRecord &record);

    // Reads what runs since the record was written named, and removes what a
    // start of the journal that was cut off left. A journal the last version
    // left, without a first line, names its notes for any record.
    Result<void> load();
    // The notes that runs cut off before this one named: Quillet's, whatever
    // they hold.
    const QList<NotePlace> &earlierNotes() const { return m_earlier; }
    bool namesEarlier(const NotePlace &place) const;
    // Whether there is no journal, neither of an earlier run nor of this one.
    bool isEmpty() const { return !m_exists && !m_file.isOpen(); }

    // Names notes, their places a line each, in one write.
    Result<void> name(const QByteArray &lines);
    // Gives the device the room kept in reserve where it has less than
    // `bytes` left; what then does not fit fails where it is written.
    void makeRoomFor(qint64 bytes) const;
    // Removes the journal, now that the record holds what it named, and keeps
    // `room` bytes in reserve for the next run where the device has them.
    Result<void> restart(qint64 room);

    const Path &path() const { return m_path; }

private:
    Result<void> start(const QByteArray &lines);
    Result<void> removeIfThere(const Path &path) const;
    void keepInReserve(qint64 room) const;

    Path m_folder;
    Path m_path;
    Path m_replacement;
    Path m_reserve;
    const NotesRecord &m_record;
    QList<NotePlace> m_earlier;
    QSet<quint64> m_earlierKeys;
    bool m_exists = false;         // a journal was there when the run began
    FileSystem::Descriptor m_file; // open once this run writes it
};
