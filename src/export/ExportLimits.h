#pragma once

#include <QtGlobal>

// The bounds every export keeps to, whatever its source holds.
namespace ExportLimits {

// A real memo is a few KB. No memo, and no line of the source, is held past
// this: only a file without line ends or a wrong file gets there.
constexpr qsizetype MemoBytes = 16 * 1024 * 1024;
// The longest file or folder name a device takes, in bytes of UTF-8 as Linux
// counts them (FAT and exFAT take 255 characters, which is never fewer).
constexpr qsizetype NameBytes = 255;

} // namespace ExportLimits
