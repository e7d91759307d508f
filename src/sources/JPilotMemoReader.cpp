#include "JPilotMemoReader.h"

#include "Limits.h"
#include "MemoRules.h"

#include <QtEndian>

namespace {

// The header's length, then what it holds today: version, data length, unique
// ID and record type, and the attributes.
constexpr qsizetype LengthSize = 4;
constexpr qsizetype KnownHeaderSize = LengthSize + qsizetype{4} * 4 + 1;

enum EntryType : quint32 {
    OldCopyOfEdited = 101,
    DeletedOnDesktop = 102,
    MadeOnDesktop = 103,
    EditedOnDesktop = 106,
};

bool holdsMemo(quint32 type)
{
    return type == MadeOnDesktop || type == EditedOnDesktop;
}

// The database's record of the entry's unique ID is not shown: the entry
// replaces or deletes it.
bool hidesRecord(quint32 type)
{
    return type == OldCopyOfEdited || type == DeletedOnDesktop || type == EditedOnDesktop;
}

quint32 bigEndian32(QByteArrayView bytes, qsizetype at)
{
    return qFromBigEndian<quint32>(bytes.data() + at);
}

} // namespace

JPilotMemoReader::JPilotMemoReader(ByteSource &database, const DatabaseMemoReader::Header &header,
                                   std::unique_ptr<ByteSource> changes, MemoDecoder decoder)
    : m_database(database, header, std::move(decoder)), m_changes(std::move(changes)),
      m_read(*m_changes)
{
    m_memo.unit = SourceUnit::ChangeEntry;
}

Result<void> JPilotMemoReader::prepare()
{
    if (!m_prepared) {
        m_prepared = true;
        Result<void> ready = m_database.prepare();
        if (ready)
            ready = leaveOutChangedRecords();
        if (!ready)
            m_stopped = ready.error();
    }
    return m_stopped ? Result<void>(*m_stopped) : Result<void>();
}

Result<const Memo *> JPilotMemoReader::next()
{
    if (const Result<void> ready = prepare(); !ready)
        return ready.error();
    if (!m_databaseRead) {
        Result<const Memo *> memo = m_database.next();
        if (!memo)
            return *(m_stopped = memo.error());
        if (*memo)
            return memo;
        m_databaseRead = true;
    }
    Result<const Memo *> change = nextChange();
    if (!change)
        m_stopped = change.error();
    return change;
}

// Every entry, whose memos are looked at and whose edits and deletions leave
// records of the database out; then back to the first entry.
Result<void> JPilotMemoReader::leaveOutChangedRecords()
{
    for (;;) {
        const Result<const Entry *> entry = nextEntry();
        if (!entry)
            return entry.error();
        if (!*entry)
            return rewind();
        if (hidesRecord((*entry)->type))
            m_database.leaveOut((*entry)->uniqueId);
        if (holdsMemo((*entry)->type)) {
            if (const Result<QByteArrayView> text = textOfEntry(); !text)
                return text.error();
        }
    }
}

Result<const Memo *> JPilotMemoReader::nextChange()
{
    for (;;) {
        const Result<const Entry *> entry = nextEntry();
        if (!entry)
            return entry.error();
        if (!*entry)
            return nullptr;
        if (!holdsMemo((*entry)->type))
            continue;
        const Result<QByteArrayView> text = textOfEntry();
        if (!text)
            return text.error();
        m_memo.titleLine = m_entryNumber;
        if (MemoRules::takeText(m_lines, *text)) {
            m_database.decoder().decode(m_lines, m_database.categoryOf((*entry)->attributes),
                                        m_memo);
            return &m_memo;
        }
    }
}

// The next entry's header, after the data of the one before; nullptr where
// the file ends between entries. A header and data that run past the end of
// the file are found here, before any of the data is read.
Result<const JPilotMemoReader::Entry *> JPilotMemoReader::nextEntry()
{
    if (const Result<void> skipped = skip(m_dataLeft); !skipped)
        return skipped.error();
    m_dataLeft = 0;
    const QByteArrayView length = m_read.take(LengthSize);
    if (m_read.failure)
        return *m_read.failure;
    if (length.isEmpty())
        return nullptr;
    ++m_entryNumber;
    if (length.size() < LengthSize)
        return failure(Error::Reason::ChangesCutShort);
    const qint64 headerSize = bigEndian32(length, 0);
    if (headerSize < KnownHeaderSize)
        return failure(Error::Reason::ChangesEntryDamaged);
    const QByteArrayView header = m_read.take(KnownHeaderSize - LengthSize);
    if (m_read.failure)
        return *m_read.failure;
    if (header.size() < KnownHeaderSize - LengthSize)
        return failure(Error::Reason::ChangesCutShort);
    m_entry.dataSize = bigEndian32(header, 4);
    m_entry.uniqueId = bigEndian32(header, 8);
    m_entry.type = bigEndian32(header, 12);
    m_entry.attributes = quint8(header[16]);
    if (m_offset + headerSize + m_entry.dataSize > m_read.source.size())
        return failure(Error::Reason::ChangesCutShort);
    m_offset += KnownHeaderSize;
    // A longer header, of a later version, holds more that is not needed.
    if (const Result<void> skipped = skip(headerSize - KnownHeaderSize); !skipped)
        return skipped.error();
    m_dataLeft = m_entry.dataSize;
    return &m_entry;
}

// The text of the current entry's memo, up to its NUL, valid until the next
// entry is read. One byte more than a memo may hold tells a text that runs
// past it.
Result<QByteArrayView> JPilotMemoReader::textOfEntry()
{
    const auto looked = qsizetype(qMin<qint64>(m_dataLeft, Limits::MemoBytes + 1));
    const QByteArrayView data = m_read.take(looked);
    if (m_read.failure)
        return *m_read.failure;
    if (data.size() < looked)
        return failure(Error::Reason::ChangedWhileRead);
    m_offset += looked;
    m_dataLeft -= looked;
    const qsizetype nul = data.indexOf('\0');
    if (nul < 0 && looked > Limits::MemoBytes)
        return failure(Error::Reason::ChangesEntryDamaged);
    return nul < 0 ? data : data.first(nul);
}

// The lengths were checked against the file's size when it was opened.
Result<void> JPilotMemoReader::skip(qint64 count)
{
    const bool skipped = m_read.skip(count);
    if (m_read.failure)
        return *m_read.failure;
    if (!skipped)
        return failure(Error::Reason::ChangedWhileRead);
    m_offset += count;
    return {};
}

Result<void> JPilotMemoReader::rewind()
{
    if (const Result<void> moved = m_read.source.seek(0); !moved)
        return moved.error();
    m_read.clear();
    m_offset = 0;
    m_entryNumber = 0;
    m_dataLeft = 0;
    return {};
}

Error JPilotMemoReader::failure(Error::Reason reason) const
{
    return Error(reason, m_entryNumber).during(Error::Action::ReadSource, m_read.source.path());
}
