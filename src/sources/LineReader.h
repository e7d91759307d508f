#pragma once

#include "ByteSource.h"

#include <QByteArray>
#include <QByteArrayView>

// What ends a line of the source.
enum class LineEnd {
    CarriageReturn, // CR LF or a lone CR; a lone LF is part of the line
    LineFeed,       // LF, in a source that holds no CR at all
};

// Cuts a byte stream into lines; a last line without terminator is still a
// line. A UTF-8 byte-order mark at the very start is skipped. Only the current
// line and one read chunk are held in memory, and a line is never held past
// Limits::MemoBytes.
class LineReader
{
public:
    explicit LineReader(ByteSource &source, LineEnd lineEnd = LineEnd::CarriageReturn);

    bool atEnd() { return m_read.position >= m_read.bytes.size() && atEndOfBuffer(); }
    // The next line without its terminator, or an empty view at the end. The
    // view is valid until the next call of atEnd() or readLine().
    QByteArrayView readLine();
    // 1-based number of the line last returned by readLine().
    qint64 lineNumber() const { return m_lineNumber; }
    // Why the source could not be read on, where a read failed.
    const std::optional<Error> &failure() const { return m_read.failure; }
    // The line last returned went on past Limits::MemoBytes: only its start
    // was returned, and nothing more is read.
    bool lineTooLong() const { return m_lineTooLong; }

private:
    bool atEndOfBuffer();
    void skipByteOrderMark();
    qsizetype find(char byte, qsizetype from) const;
    QByteArrayView takeLine(qsizetype end, qsizetype next);

    ReadBuffer m_read;
    const char m_terminator;
    qint64 m_lineNumber = 0;
    bool m_startChecked = false;
    bool m_lineTooLong = false;
};
