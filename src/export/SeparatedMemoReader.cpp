#include "SeparatedMemoReader.h"

#include "ExportLimits.h"
#include "MemoRules.h"

#include <QCoreApplication>
#include <cstring>

namespace {
using MemoRules::NoteLineEnd;

constexpr char Quote = '"';
// Enough for the largest first field a memo can have and the rest of its
// record; a source that needs more to show a first record is no such export.
constexpr qint64 DetectionBytes = ExportLimits::MemoBytes + 2 * ReadBuffer::ChunkSize;

// Whether one of the eight bytes of `word` is `byte`: the bytes equal to it
// become zero, and only a zero byte turns its top bit on here.
bool holdsByte(quint64 word, char byte)
{
    constexpr quint64 Ones = 0x0101010101010101;
    const quint64 zeroWhereEqual = word ^ (Ones * static_cast<unsigned char>(byte));
    return ((zeroWhereEqual - Ones) & ~zeroWhereEqual & (Ones << 7)) != 0;
}
} // namespace

SeparatedMemoReader::SeparatedMemoReader(QIODevice &device, Separator separator)
    : SeparatedMemoReader(device, static_cast<char>(separator))
{
}

SeparatedMemoReader::SeparatedMemoReader(QIODevice &device, char separator)
    : m_read(device), m_separator(separator)
{
}

Expected<std::optional<Separator>, QString> SeparatedMemoReader::separatorOf(QIODevice &device)
{
    SeparatedMemoReader reader(device, Undecided);
    reader.m_read.limit = DetectionBytes;
    reader.m_startChecked = true;
    reader.m_read.skipByteOrderMark();
    const bool isRecord = reader.hasByte() && reader.byte() == Quote && reader.readRecord() &&
                          !reader.m_read.cutShort;
    if (reader.m_read.failed || !device.seek(0))
        return Unexpected<QString>{device.errorString()};
    if (!isRecord)
        return std::optional<Separator>();
    return std::optional<Separator>(static_cast<Separator>(reader.m_separator));
}

Expected<const Memo *, QString> SeparatedMemoReader::next()
{
    while (!m_stopReason) {
        skipBlankLines();
        if (!hasByte()) {
            if (m_read.failed)
                return stop(m_read.device.errorString());
            return nullptr;
        }
        if (const Expected<void, QString> read = readRecord(); !read)
            return stop(read.error());
        if (!m_memo.title.isEmpty())
            return &m_memo;
    }
    return Unexpected<QString>{*m_stopReason};
}

Unexpected<QString> SeparatedMemoReader::stop(const QString &reason)
{
    m_stopReason = reason;
    return {reason};
}

// Nothing where the record is read whole; the memo then holds its text and
// category, and its title where the text has a title line.
Expected<void, QString> SeparatedMemoReader::readRecord()
{
    m_recordLine = m_line;
    if (Expected<void, QString> done = readField(Field::Text, FieldEnd::Separator); !done)
        return done;
    if (Expected<void, QString> done = readField(Field::Flag, FieldEnd::Separator); !done)
        return done;
    if (!MemoRules::isFlag(m_field))
        return notAMemo();
    if (Expected<void, QString> done = readField(Field::Category, FieldEnd::RecordEnd); !done)
        return done;
    m_memo.category = m_categories.decode(m_field);
    return {};
}

Expected<void, QString> SeparatedMemoReader::readField(Field field, FieldEnd expected)
{
    if (field == Field::Text) {
        // Emptied, not freed: the next memo reuses the room.
        m_memo.text.resize(0);
        m_memo.title.clear();
        m_textLine = m_line;
    } else {
        m_field.resize(0);
    }
    const Expected<FieldEnd, QString> end =
        hasByte() && byte() == Quote ? readQuoted(field) : readUnquoted(field);
    if (!end)
        return Unexpected<QString>{end.error()};
    if (*end != expected)
        return notAMemo();
    // A line break at the very end of the text ends its last line; no empty
    // line follows it.
    if (field == Field::Text && textLineOpen())
        return endTextLine();
    return {};
}

Expected<SeparatedMemoReader::FieldEnd, QString> SeparatedMemoReader::readQuoted(Field field)
{
    ++m_read.position; // the opening quote
    for (;;) {
        const qsizetype end = endOfRun(Quote);
        const QByteArrayView run =
            QByteArrayView(m_read.bytes).sliced(m_read.position, end - m_read.position);
        if (const Expected<void, QString> done = hold(field, run); !done)
            return Unexpected<QString>{done.error()};
        m_read.position = end;
        if (m_read.position == m_read.bytes.size()) {
            if (!m_read.fill())
                return endOfSource(FieldEnd::Broken); // the quote is never closed
            continue;
        }
        if (isLineBreak(byte())) {
            if (const Expected<void, QString> done = takeLineBreakInto(field); !done)
                return Unexpected<QString>{done.error()};
            continue;
        }
        ++m_read.position;
        if (!hasByte())
            return endOfSource(FieldEnd::RecordEnd);
        if (byte() != Quote)
            return endAfterField();
        ++m_read.position;
        if (const Expected<void, QString> done = hold(field, QByteArrayView(&Quote, 1)); !done)
            return Unexpected<QString>{done.error()};
    }
}

// A quote here is a character like any other.
Expected<SeparatedMemoReader::FieldEnd, QString> SeparatedMemoReader::readUnquoted(Field field)
{
    for (;;) {
        const qsizetype end = endOfRun(m_separator);
        const QByteArrayView run =
            QByteArrayView(m_read.bytes).sliced(m_read.position, end - m_read.position);
        if (const Expected<void, QString> done = hold(field, run); !done)
            return Unexpected<QString>{done.error()};
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
        takeLineBreak();
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
Expected<SeparatedMemoReader::FieldEnd, QString>
SeparatedMemoReader::endOfSource(FieldEnd end) const
{
    if (m_read.failed)
        return Unexpected<QString>{m_read.device.errorString()};
    return end;
}

// A line break inside quotes: in the text it ends a line of the memo; in
// another field it stays as it is.
Expected<void, QString> SeparatedMemoReader::takeLineBreakInto(Field field)
{
    const QByteArrayView lineBreak = takeLineBreak();
    if (field != Field::Text)
        return hold(field, lineBreak);
    Expected<void, QString> ended = endTextLine();
    m_textLine = m_line;
    return ended;
}

// Until the title line is found the memo's text holds only the line being
// read, which is dropped unless it is the title line. From the title line on,
// every line is kept and ended by CR LF.
Expected<void, QString> SeparatedMemoReader::endTextLine()
{
    if (m_memo.title.isEmpty()) {
        m_memo.title = MemoRules::titleCandidate(m_memo.text);
        if (m_memo.title.isEmpty()) {
            m_memo.text.resize(0);
            return {};
        }
        m_memo.titleLine = m_textLine;
    }
    return hold(Field::Text, NoteLineEnd);
}

// The text line being read holds a character. A line's content never holds
// a CR or LF, so a kept line is open exactly when the text does not end with
// CR LF.
bool SeparatedMemoReader::textLineOpen() const
{
    return m_memo.title.isEmpty() ? !m_memo.text.isEmpty() : !m_memo.text.endsWith(NoteLineEnd);
}

// Adds `bytes` to the field being read, unless that would hold it past
// ExportLimits::MemoBytes, which ends the reading.
Expected<void, QString> SeparatedMemoReader::hold(Field field, QByteArrayView bytes)
{
    QByteArray &held = field == Field::Text ? m_memo.text : m_field;
    if (held.size() + bytes.size() > ExportLimits::MemoBytes)
        return Unexpected<QString>{MemoRules::tooLongReason(m_recordLine)};
    // Grown and copied by hand: cheaper than append() for the many short runs.
    if (!bytes.isEmpty()) {
        const qsizetype oldSize = held.size();
        held.resize(oldSize + bytes.size());
        std::memcpy(held.data() + oldSize, bytes.data(), bytes.size());
    }
    return {};
}

Unexpected<QString> SeparatedMemoReader::notAMemo() const
{
    if (m_separator == static_cast<char>(Separator::Tab))
        return {QCoreApplication::translate(
                    "SeparatedMemoReader",
                    "the record that starts on line %1 is not a memo of a tab-separated export")
                    .arg(m_recordLine)};
    return {QCoreApplication::translate(
                "SeparatedMemoReader",
                "the record that starts on line %1 is not a memo of a comma-separated export")
                .arg(m_recordLine)};
}

void SeparatedMemoReader::skipBlankLines()
{
    if (!m_startChecked) {
        m_startChecked = true;
        m_read.skipByteOrderMark();
    }
    while (hasByte() && isLineBreak(byte()))
        takeLineBreak();
}

// CR LF, LF or a lone CR, each one line end.
QByteArrayView SeparatedMemoReader::takeLineBreak()
{
    ++m_line;
    if (m_read.bytes[m_read.position++] == '\n')
        return "\n";
    if (hasByte() && byte() == '\n') {
        ++m_read.position;
        return NoteLineEnd;
    }
    return "\r";
}

// Where the run of ordinary characters from the current position ends: at
// `stop`, a line break or the end of the buffer. This scan is the reader's
// inner loop; it looks at eight bytes at a time until one of them may end
// the run.
qsizetype SeparatedMemoReader::endOfRun(char stop) const
{
    const char *data = m_read.bytes.constData();
    const qsizetype size = m_read.bytes.size();
    qsizetype at = m_read.position;
    for (; at + qsizetype(sizeof(quint64)) <= size; at += sizeof(quint64)) {
        quint64 word;
        std::memcpy(&word, data + at, sizeof word);
        if (holdsByte(word, stop) || holdsByte(word, '\r') || holdsByte(word, '\n'))
            break;
    }
    while (at < size && data[at] != stop && !isLineBreak(data[at]))
        ++at;
    return at;
}
