#include "MemoFileReader.h"

#include "Limits.h"
#include "MemoRules.h"

#include <QtEndian>

namespace {

constexpr QByteArrayView Tag("\x00\x01\x50\x4D", 4);

enum FieldType : quint32 { Number = 1, Text = 5, Flag = 6 };
constexpr std::array<quint32, 6> FieldTypes{Number, Number, Number, Text, Flag, Number};
enum Field { RecordId, Status, Position, MemoText, Private, CategoryNumber };

constexpr quint32 DeletedOnDesktop = 0x04;
// The organiser has 16 categories; a file that lists hundreds is not one of its
// memo files, and may not fill the memory with names.
constexpr quint32 MostCategories = 256;
// The string lengths that say a longer length follows.
constexpr quint8 TwoByteLength = 0xFF;
constexpr quint16 FourByteLength = 0xFFFF;

} // namespace

bool MemoFileReader::isMemoFile(QByteArrayView start)
{
    return start.startsWith(Tag);
}

MemoFileReader::MemoFileReader(ByteSource &source, MemoDecoder decoder)
    : m_read(source), m_unfiled(QByteArrayLiteral("Unfiled")), m_decoder(std::move(decoder))
{
    m_memo.unit = SourceUnit::Record;
}

Result<const Memo *> MemoFileReader::next()
{
    if (const Result<void> ready = prepare(); !ready)
        return ready.error();
    while (m_record < m_recordCount) {
        if (const Result<void> read = readRecord(true); !read)
            return *(m_stopped = read.error());
        if (m_values[Status] & DeletedOnDesktop)
            continue;
        m_memo.titleLine = m_record;
        if (MemoRules::takeText(m_lines, m_text)) {
            m_decoder.decode(m_lines, categoryOf(m_values[CategoryNumber]), m_memo);
            return &m_memo;
        }
    }
    // Whatever follows the last record is not read: the file is gone through
    // to its end all the same.
    if (const Result<void> atEnd = m_read.source.seek(m_read.source.size()); !atEnd)
        return *(m_stopped = atEnd.error());
    return nullptr;
}

// The whole file once, keeping nothing of the records, then back to the first.
Result<void> MemoFileReader::prepare()
{
    if (!m_prepared) {
        m_prepared = true;
        Result<void> ready = readHeader();
        while (ready && m_record < m_recordCount)
            ready = readRecord(false);
        if (ready)
            ready = rewindTo(m_recordsAt);
        if (!ready)
            m_stopped = ready.error();
    }
    return m_stopped ? Result<void>(*m_stopped) : Result<void>();
}

Result<void> MemoFileReader::readHeader()
{
    // The tag, the file's own path, its shown columns, the next free category ID.
    Result<void> read = skip(Tag.size());
    if (read)
        read = skipString();
    if (read)
        read = skipString();
    if (read)
        read = skip(4);
    if (read)
        read = readCategories();
    if (read)
        read = readLayout();
    if (!read)
        return read;
    const Result<quint32> fields = readLong();
    if (!fields)
        return fields.error();
    m_fieldCount = *fields;
    m_recordCount = (m_fieldCount + FieldsPerRecord - 1) / FieldsPerRecord;
    m_recordsAt = m_offset;
    return {};
}

// A category's name is its long name, cut where no folder name could be
// longer; one without a name is Unfiled.
Result<void> MemoFileReader::readCategories()
{
    const Result<quint32> count = readLong();
    if (!count)
        return count.error();
    if (*count > MostCategories)
        return failure(Error::Reason::OtherMemoFileLayout);
    for (quint32 category = 0; category < *count; ++category) {
        std::array<quint32, 3> numbers{}; // its index, its ID, whether it changed
        if (const Result<void> read = readLongs(numbers); !read)
            return read.error();
        const Result<qint64> length = readStringLength();
        if (!length)
            return length.error();
        const qsizetype kept = qsizetype(qMin<qint64>(*length, Limits::NameBytes));
        const Result<QByteArrayView> name = take(kept);
        if (!name)
            return name.error();
        m_categories.append(
            {numbers[0], numbers[1], name->isEmpty() ? m_unfiled : name->toByteArray()});
        Result<void> rest = skip(*length - kept);
        if (rest)
            rest = skipString(); // the short name
        if (!rest)
            return rest;
    }
    return {};
}

// Another layout of rows is another program's, or a later version's.
Result<void> MemoFileReader::readLayout()
{
    // A resource ID, the fields per row, where the ID, status and placement are.
    std::array<quint32, 5> numbers{};
    if (const Result<void> read = readLongs(numbers); !read)
        return read.error();
    const Result<quint16> typeCount = readShort();
    if (!typeCount)
        return typeCount.error();
    if (numbers[1] != FieldsPerRecord || *typeCount != FieldsPerRecord)
        return failure(Error::Reason::OtherMemoFileLayout);
    for (const quint32 expected : FieldTypes) {
        const Result<quint16> type = readShort();
        if (!type)
            return type.error();
        if (*type != expected)
            return failure(Error::Reason::OtherMemoFileLayout);
    }
    return {};
}

// The next record's fields; its text is kept only when asked for.
Result<void> MemoFileReader::readRecord(bool withText)
{
    ++m_record;
    if (m_fieldCount - (m_record - 1) * FieldsPerRecord < FieldsPerRecord)
        return failure(Error::Reason::DamagedMemoFile);
    for (qsizetype field = 0; field < FieldsPerRecord; ++field) {
        const Result<quint32> type = readLong();
        if (!type)
            return type.error();
        if (*type != FieldTypes[field])
            return failure(Error::Reason::MemoFileFieldType);
        const Result<quint32> value = readLong(); // a text's is 0
        if (!value)
            return value.error();
        m_values[field] = *value;
        if (*type == Text) {
            if (const Result<void> text = readText(withText); !text)
                return text.error();
        }
    }
    return {};
}

// A length past the end of the file is damage, not a memo too long.
Result<void> MemoFileReader::readText(bool keep)
{
    const Result<qint64> length = readStringLength();
    if (!length)
        return length.error();
    if (m_offset + *length > m_read.source.size())
        return failure(Error::Reason::DamagedMemoFile);
    if (*length > Limits::MemoBytes)
        return failure(Error::Reason::RecordTooLong);
    if (!keep)
        return skip(*length);
    const Result<QByteArrayView> text = take(qsizetype(*length));
    if (!text)
        return text.error();
    // Emptied, not freed: the next memo reuses the room.
    m_text.resize(0);
    m_text.append(*text);
    return {};
}

Result<quint32> MemoFileReader::readLong()
{
    const Result<QByteArrayView> bytes = take(4);
    if (!bytes)
        return bytes.error();
    return qFromLittleEndian<quint32>(bytes->data());
}

template <std::size_t Count>
Result<void> MemoFileReader::readLongs(std::array<quint32, Count> &into)
{
    for (quint32 &number : into) {
        const Result<quint32> read = readLong();
        if (!read)
            return read.error();
        number = *read;
    }
    return {};
}

Result<quint16> MemoFileReader::readShort()
{
    const Result<QByteArrayView> bytes = take(2);
    if (!bytes)
        return bytes.error();
    return qFromLittleEndian<quint16>(bytes->data());
}

Result<qint64> MemoFileReader::readStringLength()
{
    const Result<QByteArrayView> byte = take(1);
    if (!byte)
        return byte.error();
    if (quint8(byte->front()) != TwoByteLength)
        return qint64(quint8(byte->front()));
    const Result<quint16> twoBytes = readShort();
    if (!twoBytes)
        return twoBytes.error();
    if (*twoBytes != FourByteLength)
        return qint64(*twoBytes);
    const Result<quint32> fourBytes = readLong();
    if (!fourBytes)
        return fourBytes.error();
    return qint64(*fourBytes);
}

Result<void> MemoFileReader::skipString()
{
    const Result<qint64> length = readStringLength();
    if (!length)
        return length.error();
    return skip(*length);
}

// Where the file ends first, the record being read is cut short.
Result<QByteArrayView> MemoFileReader::take(qsizetype count)
{
    const QByteArrayView bytes = m_read.take(count);
    m_offset += bytes.size();
    if (m_read.failure)
        return *m_read.failure;
    if (bytes.size() < count)
        return failure(Error::Reason::DamagedMemoFile);
    return bytes;
}

Result<void> MemoFileReader::skip(qint64 count)
{
    const bool skipped = m_read.skip(count);
    if (m_read.failure)
        return *m_read.failure;
    if (!skipped)
        return failure(Error::Reason::DamagedMemoFile);
    m_offset += count;
    return {};
}

Result<void> MemoFileReader::rewindTo(qint64 offset)
{
    if (const Result<void> moved = m_read.source.seek(offset); !moved)
        return moved.error();
    m_read.clear();
    m_offset = offset;
    m_record = 0;
    return {};
}

// 0 is Unfiled; else the category of that index, else the one of that ID.
const QByteArray &MemoFileReader::categoryOf(quint32 number) const
{
    if (number == 0)
        return m_unfiled;
    for (const Category &category : m_categories) {
        if (category.index == number)
            return category.name;
    }
    for (const Category &category : m_categories) {
        if (category.id == number)
            return category.name;
    }
    return m_unfiled;
}

Error MemoFileReader::failure(Error::Reason reason) const
{
    const qint64 record = reason == Error::Reason::OtherMemoFileLayout ? 0 : m_record;
    return Error(reason, record).during(Error::Action::ReadSource, m_read.source.path());
}
