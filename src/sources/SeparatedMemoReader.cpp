#include "SeparatedMemoReader.h"

#include "Limits.h"
#include "MemoRules.h"

#include <algorithm>
#include <cstring>

namespace {
using MemoRules::NoteLineEnd;

constexpr char Quote = '"';
// Enough for the two largest first records a separated export can have; a
// source that needs more to show them is no such export.
constexpr qint64 DetectionBytes = 2 * (Limits::MemoBytes + 2 * ReadBuffer::ChunkSize);

// Whether one of the eight bytes of `word` is `byte`: the bytes equal to it
// become zero, and only a zero byte turns its top bit on here.
bool holdsByte(quint64 word, char byte)
{
    constexpr quint64 Ones = 0x0101010101010101;
    const quint64 zeroWhereEqual = word ^ (Ones * static_cast<unsigned char>(byte));
    return ((zeroWhereEqual - Ones) & ~zeroWhereEqual & (Ones << 7)) != 0;
}
} // namespace

SeparatedMemoReader::SeparatedMemoReader(ByteSource &source, SeparatedForm form,
                                         MemoDecoder decoder)
    : SeparatedMemoReader(source, static_cast<char>(form.separator), std::move(decoder))
{
    m_form = form;
}

SeparatedMemoReader::SeparatedMemoReader(ByteSource &source, char separator,
                                         std::optional<MemoDecoder> decoder)
    : m_read(source), m_separator(separator), m_decoder(std::move(decoder))
{
}

Result<SeparatedMemoReader::FirstRecords> SeparatedMemoReader::firstRecords(ByteSource &source)
{
    SeparatedMemoReader reader(source, Undecided);
    reader.m_read.limit = DetectionBytes;
    FirstRecords records;
    for (std::optional<RecordShape> *shape : {&records.first, &records.second}) {
        Result<std::optional<RecordShape>> read = reader.readShape();
        if (!read)
            return read.error();
        *shape = *read;
        if (!*shape || reader.m_separator == Undecided)
            break;
    }
    if (reader.m_separator == static_cast<char>(Separator::Tab))
        records.separator = Separator::Tab;
    return records;
}

// The shape of the next record, read field by field until it ends or breaks
// the form. A record cut short by the detection's limit counts as broken, and
// one that breaks the form is passed over to the end of its line.
Result<std::optional<RecordShape>> SeparatedMemoReader::readShape()
{
    skipBlankLines();
    if (!hasByte()) {
        if (m_read.failure)
            return *m_read.failure;
        return std::optional<RecordShape>();
    }
    m_recordLine = m_line;
    m_sawLineBreak = false;
    RecordShape shape;
    shape.opensQuoted = byte() == Quote;
    const Field roles[] = {Field::Text, Field::Flag, Field::Category};
    FieldEnd end = FieldEnd::Separator;
    while (end == FieldEnd::Separator) {
        const Field role = roles[qMin(shape.fields, 2)];
        const Result<FieldEnd> read = readFieldOf(role);
        if (!read && read.error().reason() != Error::Reason::MemoTooLong)
            return read.error();
        end = read ? *read : FieldEnd::Broken;
        ++shape.fields;
        if (shape.fields == 1)
            shape.quotedThenSeparator = shape.opensQuoted && end == FieldEnd::Separator;
        if (shape.fields == 2) {
            shape.flagInMiddle = MemoRules::isFlag(m_field);
            shape.numberInMiddle =
                !m_field.isEmpty() && std::all_of(m_field.begin(), m_field.end(),
                                                  [](char c) { return c >= '0' && c <= '9'; });
        }
    }
    shape.lineBreaks = m_sawLineBreak;
    shape.broken = end == FieldEnd::Broken || m_read.cutShort;
    if (end == FieldEnd::Broken)
        skipLine();
    return std::optional(shape);
}

Result<const Memo *> SeparatedMemoReader::next()
{
    if (!m_startChecked && m_form.header) {
        skipBlankLines();
        skipLine();
    }
    while (!m_stopped) {
        skipBlankLines();
        if (!hasByte()) {
            if (m_read.failure)
                return stop(*m_read.failure);
            return nullptr;
        }
        if (const Result<void> read = readRecord(); !read)
            return stop(read.error());
        if (m_titled) {
            m_decoder->decode(m_text, m_category, m_memo);
            return &m_memo;
        }
    }
    return *m_stopped;
}

Error SeparatedMemoReader::stop(const Error &error)
{
    m_stopped = error;
    return error;
}

// Nothing where the record is read whole; its text from the title line on,
// if it has one, and its category are then held.
Result<void> SeparatedMemoReader::readRecord()
{
    m_recordLine = m_line;
    const bool textFirst = m_form.columns == SeparatedForm::Columns::TextFlagCategory;
    const Field first = textFirst ? Field::Text : Field::Category;
    const Field last = textFirst ? Field::Category : Field::Text;
    if (Result<void> done = readField(first, FieldEnd::Separator); !done)
        return done;
    if (!textFirst)
        m_category = m_field;
    if (Result<void> done = readField(Field::Flag, FieldEnd::Separator); !done)
        return done;
    if (!MemoRules::isFlag(m_field))
        return notAMemo();
    if (Result<void> done = readField(last, FieldEnd::RecordEnd); !done)
        return done;
    if (textFirst)
        m_category = m_field;
    return {};
}

Result<void> SeparatedMemoReader::readField(Field field, FieldEnd expected)
{
    const Result<FieldEnd> end = readFieldOf(field);
    if (!end)
        return end.error();
    if (*end != expected)
        return notAMemo();
    return {};
}

// Reads one field into the memo's text or into m_field, whatever follows it.
Result<SeparatedMemoReader::FieldEnd> SeparatedMemoReader::readFieldOf(Field field)
{
    if (field == Field::Text) {
        // Emptied, not freed: the next memo reuses the room.
        m_text.resize(0);
        m_titled = false;
        m_memo.titleLine = 0;
        m_textLine = m_line;
    } else {
        m_field.resize(0);
    }
    Result<FieldEnd> end = hasByte() && byte() == Quote ? readQuoted(field) : readUnquoted(field);
    if (!end)
        return end;
    // A line break at the very end of the text ends its last line; no empty
    // line follows it.
    if (field == Field::Text && textLineOpen()) {
        if (const Result<void> ended = endTextLine(); !ended)
            return ended.error();
    }
    return end;
}

Result<SeparatedMemoReader::FieldEnd> SeparatedMemoReader::readQuoted(Field field)
{
    ++m_read.position; // the opening quote
    for (;;) {
        const qsizetype end = endOfRun(Quote);
        const QByteArrayView run =
            QByteArrayView(m_read.bytes).sliced(m_read.position, end - m_read.position);
        if (const Result<void> done = hold(field, run); !done)
            return done.error();
        m_read.position = end;
        if (m_read.position == m_read.bytes.size()) {
            if (!m_read.fill())
                return endOfSource(FieldEnd::Broken); // the quote is never closed
            continue;
        }
        if (isLineBreak(byte())) {
            if (const Result<void> done = takeLineBreakInto(field); !done)
                return done.error();
            continue;
        }
        ++m_read.position;
        if (!hasByte())
            return endOfSource(FieldEnd::RecordEnd);
        if (byte() != Quote)
            return endAfterField();
        ++m_read.position;
        if (const Result<void> done = hold(field, QByteArrayView(&Quote, 1)); !done)
            return done.error();
    }
}

// A quote here is a character like any other.
Result<SeparatedMemoReader::FieldEnd> SeparatedMemoReader::readUnquoted(Field field)
{
    for (;;) {
        const qsizetype end = endOfRun(m_separator);
        const QByteArrayView run =
            QByteArrayView(m_read.bytes).sliced(m_read.position, end - m_read.position);
        if (const Result<void> done = hold(field, run); !done)
            return done.error();
        m_read.position = end;
        if (m_read.position < m_read.bytes.size())
            return endAfterField();
        if (!m_read.fill())
            return endOfSource(FieldEnd::RecordEnd);
    }
}

// What follows a field: the separator, the end of the record, or else
// something that breaks the form. While the separator is undecided, a comma or
// a tab here decides it.
SeparatedMemoReader::FieldEnd SeparatedMemoReader::endAfterField()
{
    const char next = byte();
    if (isLineBreak(next)) {
        takeLineBreak(false);
        return FieldEnd::RecordEnd;
    }
    if (m_separator == Undecided && (next == ',' || next == '\t'))
        m_separator = next;
    if (next != m_separator || m_separator == Undecided)
        return FieldEnd::Broken;
    ++m_read.position;
    return FieldEnd::Separator;
}

// The source ended after a field: `end`, unless a read failed.
Result<SeparatedMemoReader::FieldEnd> SeparatedMemoReader::endOfSource(FieldEnd end) const
{
    if (m_read.failure)
        return *m_read.failure;
    return end;
}

// A line break inside quotes: in the text it ends a line of the memo; in
// another field it stays as it is.
Result<void> SeparatedMemoReader::takeLineBreakInto(Field field)
{
    m_sawLineBreak = true;
    const QByteArrayView lineBreak = takeLineBreak(true);
    if (field != Field::Text)
        return hold(field, lineBreak);
    Result<void> ended = endTextLine();
    m_textLine = m_line;
    return ended;
}

// Until the title line is found the memo's text holds only the line being
// read, which is dropped unless it is the title line. From the title line on,
// every line is kept and ended by CR LF.
Result<void> SeparatedMemoReader::endTextLine()
{
    if (!m_titled) {
        if (MemoRules::isBlank(m_text)) {
            m_text.resize(0);
            return {};
        }
        m_titled = true;
        m_memo.titleLine = m_textLine;
    }
    return hold(Field::Text, NoteLineEnd);
}

// The text line being read holds a character. A line's content never holds
// a CR or LF, so a kept line is open exactly when the text does not end with
// CR LF.
bool SeparatedMemoReader::textLineOpen() const
{
    return m_titled ? !m_text.endsWith(NoteLineEnd) : !m_text.isEmpty();
}

// Adds `bytes` to the field being read, unless that would hold it past
// Limits::MemoBytes, which ends the reading.
Result<void> SeparatedMemoReader::hold(Field field, QByteArrayView bytes)
{
    QByteArray &held = field == Field::Text ? m_text : m_field;
    if (held.size() + bytes.size() > Limits::MemoBytes)
        return MemoRules::tooLong(m_recordLine, m_read.source.path());
    // Grown and copied by hand: cheaper than append() for the many short runs.
    if (!bytes.isEmpty()) {
        const qsizetype oldSize = held.size();
        held.resize(oldSize + bytes.size());
        std::memcpy(held.data() + oldSize, bytes.data(), bytes.size());
    }
    return {};
}

Error SeparatedMemoReader::notAMemo() const
{
    const Error::Reason reason = m_separator == static_cast<char>(Separator::Tab)
                                     ? Error::Reason::NotTabRecord
                                     : Error::Reason::NotCommaRecord;
    return Error(reason, m_recordLine).during(Error::Action::ReadSource, m_read.source.path());
}

void SeparatedMemoReader::checkStart()
{
    if (m_startChecked)
        return;
    m_startChecked = true;
    m_read.skipByteOrderMark();
}

// Lines that are empty or hold spaces alone, before a record; a record starts
// with anything else.
void SeparatedMemoReader::skipBlankLines()
{
    checkStart();
    for (;;) {
        qsizetype spaces = 0;
        while (hasBytes(spaces + 1) && m_read.bytes[m_read.position + spaces] == ' ' &&
               spaces < Limits::MemoBytes)
            ++spaces;
        const bool atEnd = !hasBytes(spaces + 1);
        if (!atEnd && !isLineBreak(m_read.bytes[m_read.position + spaces]))
            return;
        m_read.position += spaces;
        if (atEnd)
            return;
        takeLineBreak(false);
    }
}

// The header line, whatever it holds.
void SeparatedMemoReader::skipLine()
{
    while (hasByte() && !isLineBreak(byte())) {
        m_read.position = endOfRun('\n');
        if (m_read.position == m_read.bytes.size())
            m_read.fill();
    }
    if (hasByte())
        takeLineBreak(false);
}

// Whether `count` bytes from the current position are buffered, reading on as
// needed.
bool SeparatedMemoReader::hasBytes(qsizetype count)
{
    while (m_read.bytes.size() - m_read.position < count) {
        if (!m_read.fill())
            return false;
    }
    return true;
}

// CR LF, LF and a lone CR each end one line; inside quotes, CR CR LF ends one
// too, counted as the two lines an editor shows.
QByteArrayView SeparatedMemoReader::takeLineBreak(bool inQuotes)
{
    ++m_line;
    if (m_read.bytes[m_read.position++] == '\n')
        return "\n";
    if (hasByte() && byte() == '\n') {
        ++m_read.position;
        return NoteLineEnd;
    }
    if (inQuotes && hasBytes(2) && byte() == '\r' && m_read.bytes[m_read.position + 1] == '\n') {
        m_read.position += 2;
        ++m_line;
        return "\r\r\n";
    }
    return "\r";
}

// Where the run of ordinary characters from the current position ends: at
// `stop`, a line break or the end of the buffer; while the separator is
// undecided, also at a comma or a tab. This scan is the reader's inner loop; it
// looks at eight bytes at a time until one of them may end the run.
qsizetype SeparatedMemoReader::endOfRun(char stop) const
{
    const char *data = m_read.bytes.constData();
    const qsizetype size = m_read.bytes.size();
    const bool undecided = stop == Undecided;
    qsizetype at = m_read.position;
    for (; at + qsizetype(sizeof(quint64)) <= size; at += sizeof(quint64)) {
        quint64 word;
        std::memcpy(&word, data + at, sizeof word);
        if (holdsByte(word, stop) || holdsByte(word, '\r') || holdsByte(word, '\n') ||
            (undecided && (holdsByte(word, ',') || holdsByte(word, '\t'))))
            break;
    }
    while (at < size && data[at] != stop && !isLineBreak(data[at]) &&
           !(undecided && (data[at] == ',' || data[at] == '\t')))
        ++at;
    return at;
}
