#pragma once

#include "NoteEncoder.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <functional>

// An iPod shows only the first Player::ShownNoteBytes of a note, without a
// word: a note longer than that is written as parts that each fit and lead to
// the next. Part 1 has the note's own name, part N "<name> (part N)".
//
// Every part but the last ends with CR LF, the line
// `<A HREF="<next part's file name>" NOPUSH>Part N+1 of M</A>` and CR LF (in
// English: a note does not change with the window's language; NOPUSH keeps the
// parts off the iPod's history, so Menu goes back to the list). A part in
// UTF-8 begins with the encoding line, as the whole note would. Taking from
// each part its encoding line and, from every part but the last, its last CR
// LF, link line and CR LF, and joining what is left in order, gives back the
// note's text exactly.
namespace NoteParts {

// The next part's file name, encoded as the note is: the link of part N names
// part N + 1 (N + 1 >= 2).
using NameOfPart = std::function<QByteArray(int part)>;

// The files of a note: one, where the note fits whole, else its parts. A part
// is cut after the last CR LF that keeps its file within the bytes an iPod
// shows; a line too long for that is cut between characters, never inside a
// UTF-8 sequence nor between CR and LF.
QList<QByteArray> filesOf(const EncodedNote &note, const NameOfPart &nameOfPart);
// The line of a part that leads to part `part` of `count`, without its line
// ends.
QByteArray link(QByteArrayView name, int part, int count);

} // namespace NoteParts
