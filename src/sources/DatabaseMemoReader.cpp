#include "DatabaseMemoReader.h"

#include "Limits.h"
#include "MemoRules.h"

#include <QtEndian>
#include <algorithm>

namespace {

constexpr qsizetype NameOffset = 0;
constexpr qsizetype NameSize = 32;
constexpr qsizetype AppInfoOffsetAt = 0x34;
constexpr qsizetype TypeAt = 0x3C;
constexpr qsizetype CreatorAt = 0x40;
constexpr qsizetype RecordCountAt = 0x4C;
constexpr qsizetype RecordEntrySize = 8;
constexpr qsizetype CategoryCount = 16;
constexpr qsizetype CategoryLabelSize = 16;
// The labels follow the application-info block's first u16.
constexpr qsizetype CategoryLabelsAt = 2;
constexpr quint8 DeletedOrArchived = 0x80;
// The unique ID is the entry's last 3 bytes, after the attributes.
constexpr quint32 UniqueIdBits = 0x00FFFFFF;
constexpr quint8 CategoryBits = 0x0F;

quint32 bigEndian32(QByteArrayView bytes, qsizetype at)
{
    return qFromBigEndian<quint32>(bytes.data() + at);
}

bool isPrintable(QByteArrayView bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return c >= 0x20 && c <= 0x7E; });
}

// The bytes of a fixed-size field up to its NUL.
QByteArrayView upToNul(QByteArrayView field)
{
    const qsizetype nul = field.indexOf('\0');
    return nul < 0 ? field : field.first(nul);
}

} // namespace

DatabaseMemoReader::Header DatabaseMemoReader::Header::of(QByteArrayView start)
{
    Header header;
    const QByteArrayView nameField = start.sliced(NameOffset, NameSize);
    header.name = upToNul(nameField).toByteArray();
    header.nameEnds = nameField.contains('\0');
    header.type = start.sliced(TypeAt, 4).toByteArray();
    header.creator = start.sliced(CreatorAt, 4).toByteArray();
    header.appInfoOffset = bigEndian32(start, AppInfoOffsetAt);
    header.recordCount = qFromBigEndian<quint16>(start.data() + RecordCountAt);
    return header;
}

bool DatabaseMemoReader::Header::isMemoDatabase() const
{
    return type == "DATA" && (creator == "memo" || creator == "PMem");
}

bool DatabaseMemoReader::Header::isDatabase() const
{
    return isPrintable(type) && isPrintable(creator) && nameEnds;
}

DatabaseMemoReader::DatabaseMemoReader(ByteSource &source, const Header &header,
                                       MemoDecoder decoder)
    : m_read(source), m_header(header), m_decoder(std::move(decoder))
{
    m_memo.unit = SourceUnit::Record;
}

Result<void> DatabaseMemoReader::prepare()
{
    if (!m_prepared) {
        m_prepared = true;
        Result<void> ready = readRecordList();
        if (ready)
            ready = readCategories();
        if (ready)
            ready = checkRecords();
        if (!ready)
            m_stopped = ready.error();
    }
    return m_stopped ? Result<void>(*m_stopped) : Result<void>();
}

void DatabaseMemoReader::leaveOut(quint32 uniqueId)
{
    if (m_recordsById.isEmpty()) {
        for (qsizetype index = 0; index < m_records.size(); ++index)
            m_recordsById.insert(m_records[index].uniqueId, index);
    }
    const auto [first, last] = m_recordsById.equal_range(uniqueId);
    for (auto record = first; record != last; ++record)
        m_records[*record].leftOut = true;
}

const QByteArray &DatabaseMemoReader::categoryOf(quint8 attributes) const
{
    return m_categories[attributes & CategoryBits];
}

Result<const Memo *> DatabaseMemoReader::next()
{
    if (const Result<void> ready = prepare(); !ready)
        return ready.error();
    while (m_next < m_records.size()) {
        const qsizetype index = m_next++;
        const Record &record = m_records[index];
        if (record.textSize < 0 || record.leftOut)
            continue;
        const Result<QByteArrayView> text = bytesAt(record.offset, record.textSize);
        if (!text)
            return *(m_stopped = text.error());
        m_memo.titleLine = index + 1;
        if (MemoRules::takeText(m_text, *text)) {
            m_decoder.decode(m_text, categoryOf(record.attributes), m_memo);
            return &m_memo;
        }
    }
    // Deleted records and what follows a NUL are passed over, not read: the
    // file is gone through to its end all the same.
    if (const Result<void> atEnd = m_read.source.seek(m_read.source.size()); !atEnd)
        return *(m_stopped = atEnd.error());
    return nullptr;
}

// A record list that does not fit into the file leaves the first record
// outside it.
Result<void> DatabaseMemoReader::readRecordList()
{
    const qint64 listSize = qint64(m_header.recordCount) * RecordEntrySize;
    if (HeaderSize + listSize > m_read.source.size())
        return failure(Error::Reason::DamagedDatabase, 1);
    const Result<QByteArrayView> list = bytesAt(HeaderSize, listSize);
    if (!list)
        return list.error();
    m_records.reserve(m_header.recordCount);
    for (qsizetype at = 0; at < listSize; at += RecordEntrySize)
        m_records.append({bigEndian32(*list, at), bigEndian32(*list, at + 4) & UniqueIdBits,
                          quint8(list->at(at + 4))});
    return {};
}

// A record's category is its label, or where that is empty the first
// category's, or where that is empty too, or there are no labels, "Unfiled".
Result<void> DatabaseMemoReader::readCategories()
{
    const QByteArray unfiled = QByteArrayLiteral("Unfiled");
    m_categories.fill(unfiled);
    const qint64 labelsAt = qint64(m_header.appInfoOffset) + CategoryLabelsAt;
    const qsizetype labelsSize = CategoryCount * CategoryLabelSize;
    if (m_header.appInfoOffset == 0 || labelsAt + labelsSize > m_read.source.size())
        return {};
    const Result<QByteArrayView> labels = bytesAt(labelsAt, labelsSize);
    if (!labels)
        return labels.error();
    const auto labelOf = [&labels](qsizetype index) {
        return upToNul(labels->sliced(index * CategoryLabelSize, CategoryLabelSize));
    };
    const QByteArray first = labelOf(0).isEmpty() ? unfiled : labelOf(0).toByteArray();
    for (qsizetype index = 0; index < CategoryCount; ++index) {
        const QByteArrayView label = labelOf(index);
        m_categories[index] = label.isEmpty() ? first : label.toByteArray();
    }
    return {};
}

// A database cut short ends inside its last record, or before it; one written
// over in places has records that overlap. Deleted and archived records are
// passed over: only the live ones are memos, and a live record runs to the
// next live one.
Result<void> DatabaseMemoReader::checkRecords()
{
    const qint64 size = m_read.source.size();
    const qint64 listEnd = HeaderSize + qint64(m_records.size()) * RecordEntrySize;
    qsizetype previous = -1;
    for (qsizetype index = 0; index < m_records.size(); ++index) {
        if (m_records[index].attributes & DeletedOrArchived)
            continue;
        const qint64 offset = m_records[index].offset;
        if (offset < listEnd || offset > size)
            return failure(Error::Reason::DamagedDatabase, index + 1);
        if (previous >= 0) {
            if (offset < m_records[previous].offset)
                return failure(Error::Reason::RecordOutOfOrder, index + 1);
            if (const Result<void> found = findTextEnd(previous, offset); !found)
                return found.error();
        }
        previous = index;
    }
    return previous < 0 ? Result<void>() : findTextEnd(previous, size);
}

// The NUL that ends the text must come before `end`, where the next record or
// the file begins. It is looked for a chunk at a time, so that a record is
// never held whole here.
Result<void> DatabaseMemoReader::findTextEnd(qsizetype index, qint64 end)
{
    Record &record = m_records[index];
    if (end == record.offset)
        return failure(Error::Reason::EmptyRecord, index + 1);
    // One byte more than a memo may hold tells a text that runs past it.
    const qint64 looked = qMin<qint64>(end - record.offset, Limits::MemoBytes + 1);
    for (qint64 at = 0; at < looked;) {
        const auto length = qsizetype(qMin<qint64>(looked - at, ReadBuffer::ChunkSize));
        const Result<QByteArrayView> bytes = bytesAt(record.offset + at, length);
        if (!bytes)
            return bytes.error();
        if (const qsizetype nul = bytes->indexOf('\0'); nul >= 0) {
            record.textSize = qsizetype(at + nul);
            return {};
        }
        at += length;
    }
    return failure(looked > Limits::MemoBytes ? Error::Reason::RecordTooLong
                                              : Error::Reason::UnendedRecord,
                   index + 1);
}

// The `length` bytes from `offset` on, valid until the next call. Records
// follow each other, so the source is read front to back in chunks; only a
// jump back, or past what is read, seeks.
Result<QByteArrayView> DatabaseMemoReader::bytesAt(qint64 offset, qsizetype length)
{
    const qint64 bufferEnd = m_bufferStart + m_read.bytes.size();
    if (offset < m_bufferStart + m_read.position || offset > bufferEnd) {
        if (const Result<void> moved = m_read.source.seek(offset); !moved)
            return moved.error();
        m_read.clear();
        m_bufferStart = offset;
    } else {
        m_read.position = qsizetype(offset - m_bufferStart);
    }
    while (m_read.bytes.size() - m_read.position < length) {
        // fill() drops the bytes taken already, unless the source had ended.
        const qsizetype taken = m_read.position;
        const bool filled = m_read.fill();
        if (m_read.position == 0)
            m_bufferStart += taken;
        if (!filled)
            break;
    }
    if (m_read.failure)
        return *m_read.failure;
    if (m_read.bytes.size() - m_read.position < length)
        return failure(Error::Reason::ChangedWhileRead, 0);
    const QByteArrayView bytes = QByteArrayView(m_read.bytes).sliced(m_read.position, length);
    m_read.position += length;
    return bytes;
}

Error DatabaseMemoReader::failure(Error::Reason reason, qint64 record) const
{
    return Error(reason, record).during(Error::Action::ReadSource, m_read.source.path());
}
