#pragma once

#include "Error.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// What every form of the organiser's export decides the same way.
namespace MemoRules {

// Every line of a note ends with it, whatever ended the line in the source.
inline constexpr QByteArrayView NoteLineEnd("\r\n");

// A line that is empty or holds spaces alone: no title line, and skipped
// before a memo's title line. A space is one byte in every character set.
bool isBlank(QByteArrayView line);
// The first 20 characters of the text's first line without its leading
// spaces, or where those are all spaces, the first 20 after them: the memo's
// title. A character outside the BMP counts as one.
QString titleOf(QStringView text);
// A memo kept whole as one text, as the organiser's database and the desktop
// program's memo file keep it, into `lines` as its note holds it: the lines
// end with LF, CR LF or a lone CR, and a line break at the very end adds no
// empty line; blank lines before the title line are dropped, and every line
// from it on is ended by CR LF. False, and `lines` empty, where no line is a
// title line.
bool takeText(QByteArray &lines, QByteArrayView text);
// The private flag, "0" or "1", which every form carries and none uses.
bool isFlag(QByteArrayView field);
// The reading ends where text from `line` on runs past Limits::MemoBytes
// without ending a memo.
Error tooLong(qint64 line, const Path &source);

} // namespace MemoRules
