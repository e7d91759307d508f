#pragma once

#include "ByteSource.h"
#include "Memo.h"

#include <memory>

// The one place that tells the forms of the organiser's export apart, by what
// the source holds, whatever it is called, and hands back the reader of its
// form, which reads it from its start.
namespace SourceForms {

// How much of the start of a source is looked at for a NUL byte: programs,
// pictures and UTF-16 text hold one there, no text export does.
constexpr qsizetype CheckedLength = 64 * 1024;

// A source with a NUL byte near its start is refused. A comma- or
// tab-separated export is one whose first record is one of a memo; anything
// else is the Text form. A source without a single CR but with LF went through
// a Unix tool, so LF ends its lines.
Result<std::unique_ptr<MemoSource>> readerFor(ByteSource &source);

} // namespace SourceForms
