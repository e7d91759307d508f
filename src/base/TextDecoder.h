#pragma once

#include <QByteArrayView>
#include <QString>

// The organiser's desktop program wrote its exports in Windows-1252; newer
// tools write UTF-8. Each piece of text is judged on its own, so that a file
// that mixes both still reads correctly. Names on the device, the record of
// the notes and the settings read their text this way; a memo's text is read
// in the character set the person chose (MemoDecoder).
namespace TextDecoder {

// The whole text: UTF-8 when it is valid UTF-8, else Windows-1252. A U+FEFF
// is a character like any other, also at the start.
QString decode(QByteArrayView bytes);
// Valid UTF-8 alone, a U+FEFF at the start kept.
QString decodeUtf8(QByteArrayView bytes);
// Windows-1252 alone; the five bytes it leaves undefined (0x81, 0x8D, 0x8F,
// 0x90, 0x9D) keep their Latin-1 value, so that no byte is ever lost.
QString decodeWindows1252(QByteArrayView bytes);
// Every byte below 0x80: the same text in every character set Quillet reads.
bool isAscii(QByteArrayView bytes);

} // namespace TextDecoder
