#pragma once

#include "Result.h"

#include <QString>
#include <optional>

// What a memo's place in its source is counted in: the lines of an export, the
// records of the organiser's database or of the desktop program's memo file,
// or the entries of J-Pilot's changes not yet synced.
enum class SourceUnit { Line, Record, ChangeEntry };

// A memo as text, not bytes. Its reader decodes it once, whole, when it ends:
// where its bytes (its text and its category together) are valid UTF-8 and
// hold a byte above 0x7F, as UTF-8 (J-Pilot's export, or one someone
// converted), else in the character set the person chose (MemoDecoder). From
// here on everything counts and compares characters: the title's twenty, the
// namer's cleaning, and the note's encoding for where it goes, which makes its
// bytes anew.
struct Memo
{
    // The first 20 characters of the title line without leading spaces, or
    // where those are all spaces, the first 20 after them; not yet made safe
    // as a file name.
    QString title;
    // The note's content: the memo's lines as read, each ended by CR LF.
    QString text;
    // The category as read; empty puts the note into the notes folder.
    QString category;
    // Bytes of the text or the category that are no text in the chosen
    // character set each became U+FFFD.
    bool replacedBytes = false;
    // Line of the source that holds the title, or the record that holds the
    // memo, for messages.
    qint64 titleLine = 0;
    SourceUnit unit = SourceUnit::Line;
};

// A memo that was not saved, the export file ending inside of it or writing it
// failing: its title and place as in Memo.
struct UnfinishedMemo
{
    QString title;
    qint64 titleLine = 0;
    SourceUnit unit = SourceUnit::Line;

    bool operator==(const UnfinishedMemo &) const = default;
};

// The memos of one form of the organiser's export, in the order they stand.
class MemoSource
{
public:
    virtual ~MemoSource() = default;

    // Goes through the whole source once, where damage can be told only so,
    // so that it stops the export before its first note; the error that
    // stopped the reading, if any. A form read as it goes has nothing to do.
    virtual Result<void> prepare() { return {}; }

    // The next complete memo, valid until the next call; nullptr at the end of
    // the source. An error where the source cannot be read on; nothing more is
    // read after it.
    virtual Result<const Memo *> next() = 0;
    // The memo the source ended inside of, which was dropped; known once
    // next() has reached the end.
    virtual std::optional<UnfinishedMemo> unfinishedMemo() const { return std::nullopt; }
};
