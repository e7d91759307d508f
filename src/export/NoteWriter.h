#pragma once

#include "Memo.h"
#include "NoteEncoder.h"
#include "NotesFolder.h"
#include "Result.h"

#include <span>

class NoteNamer;

// Writes each memo of a run as a note: named by the namer, encoded for its
// destination, and on an iPod in parts where it is too long to be shown whole
// (NoteParts). Where the device already holds something under a name that
// must not be replaced, the note or the part takes the next free number, and
// where it finds a name too long, a shorter one.
class NoteWriter
{
public:
    NoteWriter(NoteNamer &namer, NotesFolder &notes, NoteEncoder encoder);

    // The memo's text in the bytes its destination reads.
    EncodedNote encode(const Memo &memo) { return m_encoder.encode(memo.text); }
    // Writes the memo's `note` under `path`, the name the namer gave it (or
    // its first part's), unless the device refuses it, when the memo's title
    // and category give the next; `ahead` are the notes the run writes next
    // (NotesFolder::write). How many files the memo became: 1, or the count of
    // its parts.
    Result<int> write(const Memo &memo, const EncodedNote &note, const NotePath &path,
                      std::span<NotePath> ahead);

private:
    Result<int> writeParts(const Memo &memo, const EncodedNote &note, const NotePath &path,
                           std::span<NotePath> ahead);
    // Where the device refused the note's own name (or its first part's), the
    // next one to try; else why there is none.
    Result<NotePath> nameAgain(NoteOutcome refusal, const NotePath &path, const Memo &memo);
    Error noFreeName(const NotePath &path) const;

    NoteNamer &m_namer;
    NotesFolder &m_notes;
    NoteEncoder m_encoder;
};
