#pragma once

#include "ByteSource.h"
#include "Memo.h"
#include "MemoRules.h"

#include <QByteArray>

// What stands between the fields of a separated export.
enum class Separator : char {
    Comma = ',',
    Tab = '\t',
};

// The organiser's "Comma Separated" and "Tab Separated" exports: one record per
// memo, of three fields: the memo's text, its private flag ("0" or "1") and its
// category. A field is usually in double quotes, a quote inside it written
// twice; unquoted, it ends at the separator or the record's end. The quotes keep
// every line of a memo's text its own, also one that is just "0" or "1", which
// the Text form takes for the memo's end. CR LF, LF and a lone CR each end a
// line, inside quotes and out; blank lines between records are skipped.
//
// The source is read front to back in chunks, to its end; only one chunk and
// the record being read are held.
class SeparatedMemoReader : public MemoSource
{
public:
    SeparatedMemoReader(ByteSource &source, Separator separator);

    // The separator of a source that starts as a separated export: its first
    // byte (after a UTF-8 byte-order mark) opens a quoted field that a comma or
    // a tab follows, and its first record is three fields with a flag in the
    // middle. None for any other source, which is then the Text form. Reads
    // from the start of `source` no more than the largest memo and the rest of
    // its record, and leaves it at its start; an error where it cannot.
    static Result<std::optional<Separator>> separatorOf(ByteSource &source);

    // The text is cut into lines; those before the first whose first 20
    // characters are not all spaces are dropped, and a record without such a
    // line holds no memo. A record that is not three fields with a flag in the
    // middle, and text that runs past Limits::MemoBytes, end the reading
    // with an error naming the line where the record starts.
    Result<const Memo *> next() override;

private:
    enum class Field { Text, Flag, Category };
    // How a field ended: what follows it, or something that breaks the form.
    enum class FieldEnd { Separator, RecordEnd, Broken };

    // The separator of a source still being detected, until the byte after its
    // first field decides it.
    static constexpr char Undecided = '\0';

    SeparatedMemoReader(ByteSource &source, char separator);

    Result<void> readRecord();
    Result<void> readField(Field field, FieldEnd expected);
    Result<FieldEnd> readQuoted(Field field);
    Result<FieldEnd> readUnquoted(Field field);
    FieldEnd endAfterField();
    Result<FieldEnd> endOfSource(FieldEnd end) const;
    Result<void> takeLineBreakInto(Field field);
    Result<void> endTextLine();
    bool textLineOpen() const;
    Result<void> hold(Field field, QByteArrayView bytes);
    Error notAMemo() const;
    Error stop(const Error &error);

    void skipBlankLines();
    bool hasByte() { return m_read.position < m_read.bytes.size() || m_read.fill(); }
    char byte() const { return m_read.bytes[m_read.position]; }
    static bool isLineBreak(char byte) { return byte == '\r' || byte == '\n'; }
    QByteArrayView takeLineBreak();
    qsizetype endOfRun(char stop) const;

    ReadBuffer m_read;
    char m_separator;
    bool m_startChecked = false;

    qint64 m_line = 1;       // the line of the next byte
    qint64 m_recordLine = 0; // the line the record being read starts on
    qint64 m_textLine = 0;   // the line the text line being read starts on
    Memo m_memo;
    QByteArray m_field; // the flag or the category being read
    CategoryCache m_categories;
    std::optional<Error> m_stopped;
};
