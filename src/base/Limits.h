#pragma once

#include <QStringView>
#include <QtGlobal>
#include <chrono>

// The bounds every export keeps to, whatever its source holds.
namespace Limits {

// A real memo is a few KB. No memo, and no line of the source, is held past
// this: only a file without line ends or a wrong file gets there.
constexpr qsizetype MemoBytes = qsizetype{16} * 1024 * 1024;
// No note is larger: every line of a memo's text at most doubles (a database
// record's LF becomes CR LF), and each of its bytes becomes at most three of
// UTF-8 (a character of a Windows code page, or U+FFFD for a byte that is no
// text).
constexpr qsizetype NoteBytes = 3 * (2 * MemoBytes + 2);
// The longest file or folder name a device takes, in bytes of UTF-8 as Linux
// counts them (FAT and exFAT take 255 characters, which is never fewer).
constexpr qsizetype NameBytes = 255;
// How long a volume may take to answer a question about itself (its size, a
// folder at its top) before it counts as not answering: a player answers in
// milliseconds, a hung FUSE driver or a network mount that is gone never.
constexpr std::chrono::milliseconds VolumeAnswer{2000};

} // namespace Limits

// What an iPod's note reader does with the Notes folder, without a word: the
// export counts what it will not show.
namespace Player {

// The sign of an iPod: a folder of this name at the top of its volume.
constexpr QStringView ControlFolder = u"iPod_Control";
// It loads at most this many notes,
constexpr qint64 ShownNotes = 1000;
// and shows only this many bytes of each.
constexpr qint64 ShownNoteBytes = 4096;

} // namespace Player
