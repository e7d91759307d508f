#pragma once

#include <QByteArrayView>
#include <QString>

// What every form of the organiser's export decides the same way.
namespace MemoRules {

// Every line of a note ends with it, whatever ended the line in the source.
inline constexpr QByteArrayView NoteLineEnd("\r\n");

// The first 20 characters of a line without its leading spaces: the title of
// the memo whose title line it is. Empty where those characters are all
// spaces: such a line is no title line, and lines before a memo's title line
// are skipped.
QString titleCandidate(QByteArrayView line);
// The private flag, "0" or "1", which both forms carry and neither uses.
bool isFlag(QByteArrayView field);
// Why the reading ends where text from `line` on runs past
// ExportLimits::MemoBytes without ending a memo.
QString tooLongReason(qint64 line);

} // namespace MemoRules
