#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QIODevice>

// Cuts a byte stream into lines. CR LF or a lone CR ends a line; a lone LF is
// part of the line; a last line without terminator is still a line. A UTF-8
// byte-order mark at the very start is skipped. Only the current line and one
// read chunk are held in memory.
class LineReader
{
public:
    explicit LineReader(QIODevice &device);

    bool atEnd();
    // The next line without its terminator, or an empty view at the end. The
    // view is valid until the next call of atEnd() or readLine().
    QByteArrayView readLine();
    // 1-based number of the line last returned by readLine().
    qint64 lineNumber() const { return m_lineNumber; }
    bool failed() const { return m_failed; }

private:
    bool fill();
    void skipByteOrderMark();

    QIODevice &m_device;
    QByteArray m_buffer;
    qsizetype m_position = 0;
    qint64 m_lineNumber = 0;
    bool m_endOfDevice = false;
    bool m_failed = false;
    bool m_startChecked = false;
};
