#pragma once

#include "ByteSource.h"
#include "CharacterSet.h"
#include "Memo.h"

#include <memory>

// The one place that tells the forms of the organiser's memos apart, by what
// the source holds, whatever it is called, and hands back the reader of its
// form, prepared, which reads it from its start:
//
// - the desktop program's memo file (memopad.dat), by its tag;
// - the organiser's own memo database (a Palm OS database of the Memo Pad or
//   the Memos application), read with J-Pilot's changes not yet synced where
//   they lie beside it; a database of another kind is refused;
// - J-Pilot's comma-separated export, by its first line;
// - the desktop program's comma- or tab-separated export, by its first records;
// - else the desktop program's Text export.
namespace SourceForms {

// How much of the start of a source is looked at for a NUL byte: programs,
// pictures and UTF-16 text hold one there, no text export does.
constexpr qsizetype CheckedLength = qsizetype{64} * 1024;

// Its memos are read in `characters`, where they are not UTF-8 (Memo). Fails,
// before anything is read, where the system cannot convert that set.
Result<std::unique_ptr<MemoSource>> readerFor(ByteSource &source,
                                              CharacterSet characters = CharacterSet::Western);

} // namespace SourceForms
