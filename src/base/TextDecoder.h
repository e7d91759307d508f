#pragma once

#include <QByteArrayView>
#include <QString>

// The organiser's desktop program wrote its exports in Windows-1252; newer
// tools write UTF-8. Each piece of text is judged on its own, so that a file
// that mixes both still reads correctly. Both the export and the settings read
// their text this way.
namespace TextDecoder {

// The whole text: UTF-8 when it is valid UTF-8, else Windows-1252. A U+FEFF
// is a character like any other, also at the start.
QString decode(QByteArrayView bytes);
// At most `count` code points from the start, decoded as above.
QString decodePrefix(QByteArrayView bytes, qsizetype count);

} // namespace TextDecoder
