#pragma once

#include <QByteArrayView>
#include <QString>

// The organiser's desktop program wrote its exports in Windows-1252; newer
// tools write UTF-8. Each line is judged on its own so that a file that mixes
// both still reads correctly.
class SourceText
{
public:
    // The whole line as text: UTF-8 when the line is valid UTF-8, else Windows-1252.
    static QString decode(QByteArrayView line);
    // At most `count` code points from the start of the line, decoded as above.
    static QString decodePrefix(QByteArrayView line, qsizetype count);
};
