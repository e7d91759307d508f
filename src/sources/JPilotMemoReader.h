#pragma once

#include "ByteSource.h"
#include "DatabaseMemoReader.h"
#include "Memo.h"

#include <memory>

// The memos as J-Pilot shows them, where the memos changed on the desktop and
// not yet synced lie beside its database (MemoDB.pc3 beside MemoDB.pdb). That
// file is a run of entries, each a header and data. The header: its own
// length (21 bytes, or more, which are passed over), a version, the length of
// the data, a unique ID and a record type, each 4 bytes big-endian, then the
// attributes (the low 4 bits the category, 0x10 private). The data is a memo
// record as in the database. The types: 103 a memo made on the desktop, 106 a
// memo edited on the desktop (in place of the database's record of its unique
// ID), 101 the old copy of an edited record and 102 a deleted record (either
// of the database's record of its unique ID); any other is not shown.
//
// The memos: the database's live records that no entry edits or deletes, then
// the memos of the 103 and 106 entries in the order of the file. Both files
// are gone through before the first memo, so that damage in either stops the
// export before its first note.
class JPilotMemoReader : public MemoSource
{
public:
    JPilotMemoReader(ByteSource &database, const DatabaseMemoReader::Header &header,
                     std::unique_ptr<ByteSource> changes, MemoDecoder decoder);

    Result<void> prepare() override;

    // A memo of an entry is counted in entries, from 1. An entry that runs
    // past the end of its file, or is not laid out as J-Pilot writes one, ends
    // the reading with an error naming that file and the entry; so does a
    // memo text past Limits::MemoBytes.
    Result<const Memo *> next() override;

private:
    struct Entry
    {
        quint32 type = 0;
        quint32 uniqueId = 0;
        quint8 attributes = 0;
        qint64 dataSize = 0;
    };

    Result<void> leaveOutChangedRecords();
    Result<const Memo *> nextChange();
    Result<const Entry *> nextEntry();
    Result<QByteArrayView> textOfEntry();
    Result<void> skip(qint64 count);
    Result<void> rewind();
    Error failure(Error::Reason reason) const;

    DatabaseMemoReader m_database;
    std::unique_ptr<ByteSource> m_changes;
    ReadBuffer m_read;
    qint64 m_offset = 0; // of the next byte of the changes to take
    bool m_prepared = false;
    bool m_databaseRead = false;
    Entry m_entry;
    qint64 m_entryNumber = 0; // from 1
    qint64 m_dataLeft = 0;    // of the current entry, not yet taken
    QByteArray m_lines;       // of the entry's memo, from its title line on
    Memo m_memo;
    std::optional<Error> m_stopped;
};
