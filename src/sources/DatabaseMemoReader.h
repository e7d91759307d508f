#pragma once

#include "ByteSource.h"
#include "Memo.h"
#include "MemoDecoder.h"

#include <QByteArray>
#include <QList>
#include <array>

// The organiser's own memo database, as a HotSync backup, `pilot-xfer -b`,
// J-Pilot (~/.jpilot/MemoDB.pdb) or the desktop program for macOS keep it: a
// Palm OS database, every number big-endian. Its 78-byte header holds the
// offset of the application-info block, whose 16 category labels name the
// categories, and the number of records; the record list follows, 8 bytes a
// record: its offset, its attributes (0x80 deleted or archived, the low 4 bits
// its category) and its unique ID. A record runs from its offset to the next
// record's, the last one to the end of the file; its text is its bytes up to
// the first NUL.
//
// The records are read front to back, one at a time, so memory grows with the
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

    // A deleted or archived record, and one without a title line, is no memo.
    // A record that lies outside the file ends the reading with an error
    // naming it, and so does one whose text runs past Limits::MemoBytes.
    Result<const Memo *> next() override;

private:
    struct Record
    {
        qint64 offset;
        quint8 attributes;
    };

    Result<void> readRecordList();
    Result<void> readCategories();
    bool liesOutsideTheFile(qsizetype index) const;
    Result<void> readMemo(qsizetype index);
    void addLine(QByteArrayView line);
    Result<QByteArrayView> bytesAt(qint64 offset, qsizetype length);
    Error failure(Error::Reason reason, qint64 record) const;

    ReadBuffer m_read;
    Header m_header;
    qint64 m_bufferStart = 0; // where in the source the bytes of m_read were read from
    bool m_started = false;
    QList<Record> m_records;
    qsizetype m_next = 0;                    // the record to read next
    std::array<QByteArray, 16> m_categories; // the labels' bytes
    MemoDecoder m_decoder;
    QByteArray m_text;     // of the record's memo, from its title line on
    bool m_titled = false; // m_text holds the title line
    Memo m_memo;
    std::optional<Error> m_stopped;
};
