#pragma once

#include "ByteSource.h"
#include "Memo.h"
#include "MemoDecoder.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <array>

// The organiser's own memo database, as a HotSync backup, `pilot-xfer -b`,
// J-Pilot (~/.jpilot/MemoDB.pdb) or the desktop program for macOS keep it: a
// Palm OS database, every number big-endian. Its 78-byte header holds the
// offset of the application-info block, whose 16 category labels name the
// categories, and the number of records; the record list follows, 8 bytes a
// record: its offset, its attributes (0x80 deleted or archived, the low 4 bits
// its category) and its 3-byte unique ID. A record runs from its offset to the
// next record's, the last one to the end of the file; its text is its bytes up
// to the NUL that ends it.
//
// Before the first memo, the record list and every live record are gone
// through once, so that a damaged database stops the export before its first
// note; then the records are read one at a time, so memory grows with the
// largest memo only, never with the file.
class DatabaseMemoReader : public MemoSource
{
public:
    static constexpr qsizetype HeaderSize = 78;

    // What a Palm OS database's header says of it.
    struct Header
    {
        QByteArray name; // up to its NUL
        QByteArray type;
        QByteArray creator;
        quint32 appInfoOffset = 0;
        quint16 recordCount = 0;
        bool nameEnds = false; // the name field holds a NUL

        // Of the first bytes of a source, at least HeaderSize of them.
        static Header of(QByteArrayView start);
        // Of the built-in Memo Pad ("memo") or the later Memos ("PMem").
        bool isMemoDatabase() const;
        // Of any kind: a type and a creator of four printable characters each,
        // and a NUL in the name field.
        bool isDatabase() const;
    };

    DatabaseMemoReader(ByteSource &source, const Header &header, MemoDecoder decoder);

    // Reads the record list and the categories, and finds where each live
    // record's text ends. A live record that lies outside the file, starts
    // before the one listed before it, holds no bytes, or runs to the next
    // record or the end of the file without its NUL, is damage, and so is one
    // whose text runs past Limits::MemoBytes: each ends the reading with an
    // error naming the record. A deleted or archived record is not read.
    Result<void> prepare() override;
    // Once prepared: the live records of this unique ID are no memos.
    void leaveOut(quint32 uniqueId);
    // Once prepared: the category of a record with these attributes, as its
    // label's bytes.
    const QByteArray &categoryOf(quint8 attributes) const;
    // What decodes its memos, for memos kept beside it.
    MemoDecoder &decoder() { return m_decoder; }

    // A deleted or archived record, one left out, and one without a title
    // line, is no memo.
    Result<const Memo *> next() override;

private:
    struct Record
    {
        qint64 offset;
        quint32 uniqueId;
        quint8 attributes;
        qsizetype textSize = -1; // up to its NUL; found for live records only
        bool leftOut = false;
    };

    Result<void> readRecordList();
    Result<void> readCategories();
    Result<void> checkRecords();
    Result<void> findTextEnd(qsizetype index, qint64 end);
    Result<QByteArrayView> bytesAt(qint64 offset, qsizetype length);
    Error failure(Error::Reason reason, qint64 record) const;

    ReadBuffer m_read;
    Header m_header;
    qint64 m_bufferStart = 0; // where in the source the bytes of m_read were read from
    bool m_prepared = false;
    QList<Record> m_records;
    QMultiHash<quint32, qsizetype> m_recordsById; // made when first asked
    qsizetype m_next = 0;                         // the record to read next
    std::array<QByteArray, 16> m_categories;      // the labels' bytes
    MemoDecoder m_decoder;
    QByteArray m_text; // of the record's memo, from its title line on
    Memo m_memo;
    std::optional<Error> m_stopped;
};
