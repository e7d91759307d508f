#pragma once

#include "ByteSource.h"
#include "Memo.h"
#include "MemoDecoder.h"

#include <QByteArray>
#include <QList>
#include <array>

// The memo file of the organiser's desktop program for Windows, memopad.dat,
// and its archive memopad.mpa and backups where they keep its layout. Every
// number is little-endian. A string is a length byte and that many bytes; a
// length byte 0xFF is followed by a 2-byte length, and a 2-byte length 0xFFFF
// by a 4-byte one. After its tag, the file's own path and its shown columns,
// the file lists its categories (each an index, an ID, a flag, a long and a
// short name), then the layout of its rows (six fields a row, of the types 1,
// 1, 1, 5, 6, 1), then the number of fields of all records, and the records:
// each six fields, each a type and its value (type 5 a 0 and a string): the
// record ID, its status (0x04 deleted on the desktop), its position, the memo
// text, the private flag and the category.
//
// The file is gone through once before the first memo, so that damage
// anywhere stops the export before its first note; then its records are read
// again, one at a time, so memory grows with the largest memo only.
class MemoFileReader : public MemoSource
{
public:
    // Of the first bytes of a source: they are a memo file's tag.
    static bool isMemoFile(QByteArrayView start);

    MemoFileReader(ByteSource &source, MemoDecoder decoder);

    Result<void> prepare() override;

    // A record deleted on the desktop, and one without a title line, is no
    // memo. A file that ends early, or whose record holds a field of another
    // type than its layout gives, ends the reading with an error naming the
    // record; so does a memo text past Limits::MemoBytes. A file in another
    // layout is refused.
    Result<const Memo *> next() override;

private:
    static constexpr qsizetype FieldsPerRecord = 6;

    struct Category
    {
        quint32 index;
        quint32 id;
        QByteArray name;
    };

    Result<void> readHeader();
    Result<void> readCategories();
    Result<void> readLayout();
    Result<void> readRecord(bool withText);
    Result<void> readText(bool keep);
    Result<quint32> readLong();
    template <std::size_t Count> Result<void> readLongs(std::array<quint32, Count> &into);
    Result<quint16> readShort();
    Result<qint64> readStringLength();
    Result<void> skipString();
    Result<QByteArrayView> take(qsizetype count);
    Result<void> skip(qint64 count);
    Result<void> rewindTo(qint64 offset);
    const QByteArray &categoryOf(quint32 number) const;
    Error failure(Error::Reason reason) const;

    ReadBuffer m_read;
    qint64 m_offset = 0; // of the next byte to take
    bool m_prepared = false;
    QList<Category> m_categories;
    QByteArray m_unfiled;
    MemoDecoder m_decoder;
    qint64 m_fieldCount = 0;  // of all records, as the file says
    qint64 m_recordCount = 0; // as many as hold a field
    qint64 m_recordsAt = 0;   // where the first record starts
    qint64 m_record = 0;      // being read, from 1; 0 before the first
    // The fields of the record just read, and its text where it was kept.
    std::array<quint32, FieldsPerRecord> m_values{};
    QByteArray m_text;
    QByteArray m_lines; // of the record's memo, from its title line on
    Memo m_memo;
    std::optional<Error> m_stopped;
};
