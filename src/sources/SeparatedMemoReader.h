#pragma once

#include "ByteSource.h"
#include "Memo.h"
#include "MemoDecoder.h"

#include <QByteArray>

// What stands between the fields of a separated export.
enum class Separator : char {
    Comma = ',',
    Tab = '\t',
};

// How a separated export lays out its records.
struct SeparatedForm
{
    // The organiser's desktop program writes the text first; J-Pilot the
    // category first.
    enum class Columns { TextFlagCategory, CategoryFlagText };

    Separator separator = Separator::Comma;
    Columns columns = Columns::TextFlagCategory;
    // The first line names the columns (or the program that wrote them) and
    // is no memo.
    bool header = false;
};

// The shape of one record of a source that may be a separated export, as the
// forms are told apart by.
struct RecordShape
{
    bool opensQuoted = false;         // its first field is in quotes
    bool quotedThenSeparator = false; // ... and a comma or a tab follows them
    int fields = 0;
    bool lineBreaks = false; // inside a quoted field
    bool flagInMiddle = false;
    bool numberInMiddle = false; // a flag of another value, such as "2"
    bool broken = false;         // a quote never closed, text after one, or too long to be a memo

    // Three fields with the private flag in the middle.
    bool isMemo() const { return !broken && fields == 3 && flagInMiddle; }
    // Three fields on one line without a flag: the names of the columns. A
    // number in the middle is a memo's broken flag, never a column's name.
    bool isHeader() const
    {
        return !broken && fields == 3 && !flagInMiddle && !numberInMiddle && !lineBreaks;
    }
};

// The organiser's "Comma Separated" and "Tab Separated" exports, and J-Pilot's
// comma-separated one: one record per memo, of three fields: the memo's text,
// its private flag ("0" or "1") and its category, in the form's order. A field
// is usually in double quotes, a quote inside it written twice; unquoted, it
// ends at the separator or the record's end. The quotes keep every line of a
// memo's text its own, also one that is just "0" or "1", which the Text form
// takes for the memo's end. CR LF, LF and a lone CR each end a line, inside
// quotes and out, and inside quotes so does CR CR LF, which the desktop program
// writes for a line break within a memo. Blank lines (empty, or spaces alone)
// between records are skipped.
//
// The source is read front to back in chunks, to its end; only one chunk and
// the record being read are held.
class SeparatedMemoReader : public MemoSource
{
public:
    SeparatedMemoReader(ByteSource &source, SeparatedForm form, MemoDecoder decoder);

    // The first two records of `source` as a separated export would hold
    // them, each read by the rules above, the separator being the comma or tab
    // that ends the first field; none past the end. Reads from the start of
    // `source` no more than two of the largest memos and the rest of their
    // records.
    struct FirstRecords
    {
        std::optional<RecordShape> first;
        std::optional<RecordShape> second;
        Separator separator = Separator::Comma;
    };
    static Result<FirstRecords> firstRecords(ByteSource &source);

    // The text is cut into lines; blank ones before the title line are
    // dropped, and a record without a title line holds no memo. A record that
    // is not three fields with a flag in the middle, and text that runs past
    // Limits::MemoBytes, end the reading with an error naming the line where
    // the record starts.
    Result<const Memo *> next() override;

private:
    enum class Field { Text, Flag, Category };
    // How a field ended: what follows it, or something that breaks the form.
    enum class FieldEnd { Separator, RecordEnd, Broken };

    // The separator of a source still being told apart, until the byte after
    // its first field decides it.
    static constexpr char Undecided = '\0';

    SeparatedMemoReader(ByteSource &source, char separator,
                        std::optional<MemoDecoder> decoder = std::nullopt);

    Result<void> readRecord();
    Result<void> readField(Field field, FieldEnd expected);
    Result<FieldEnd> readFieldOf(Field field);
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
    Result<std::optional<RecordShape>> readShape();

    void checkStart();
    void skipBlankLines();
    void skipLine();
    bool hasByte() { return hasBytes(1); }
    bool hasBytes(qsizetype count);
    char byte() const { return m_read.bytes[m_read.position]; }
    static bool isLineBreak(char byte) { return byte == '\r' || byte == '\n'; }
    QByteArrayView takeLineBreak(bool inQuotes);
    qsizetype endOfRun(char stop) const;

    ReadBuffer m_read;
    char m_separator;
    SeparatedForm m_form;
    bool m_startChecked = false;

    qint64 m_line = 1;           // the line of the next byte
    qint64 m_recordLine = 0;     // the line the record being read starts on
    qint64 m_textLine = 0;       // the line the text line being read starts on
    bool m_sawLineBreak = false; // inside a quoted field of the record being read
    // None while the first records are only looked at.
    std::optional<MemoDecoder> m_decoder;
    QByteArray m_text;     // of the record's memo, from its title line on
    bool m_titled = false; // m_text holds the title line
    QByteArray m_field;    // the flag or the category being read
    QByteArray m_category;
    Memo m_memo;
    std::optional<Error> m_stopped;
};
