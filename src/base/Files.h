#pragma once

#include "FileSystem.h"
#include "Path.h"
#include "Result.h"

#include <QByteArray>
#include <QByteArrayView>

// What the program does with files, built on FileSystem's calls: the rules it
// keeps (a file whole or not at all, what a failed write means) live here,
// the system calls there.
//
// Which write to use:
// - writeAndClose: a file created for these bytes (a note, a temporary file);
// - replaceWhole: a small file that must hold its older bytes or its new
//   ones, whole, whatever cuts the write off (the settings, the record);
// - rewriteAndClose: a note written over where it is, only where the device
//   has no room left for a copy to replace it with;
// - FileSystem::write: lines added to a file kept open (the journal).
namespace Files {

// Reads until `size` bytes are in or the file ends; the count read.
Result<qsizetype> readFully(const FileSystem::Descriptor &file, char *into, qsizetype size);
// The start of a file, at most `maximum` bytes of it: no file is read whole
// whatever its size. Through a link, as a person's path is meant.
Result<QByteArray> readStart(const Path &path, qsizetype maximum);

// Writes all of `bytes` and closes the file: the first error, which a device
// may report only on closing.
Result<void> writeAndClose(FileSystem::Descriptor &file, QByteArrayView bytes);
// Writes `bytes` over a file opened at its start, cuts what is left of its
// older content and closes it.
Result<void> rewriteAndClose(FileSystem::Descriptor &file, QByteArrayView bytes);
// Writes `bytes` into replacementOf(path), on the device, and renames it into
// its place, so that `path` holds the older bytes or the new ones, never a
// part; never through a link.
Result<void> replaceWhole(const Path &path, QByteArrayView bytes);
// Where replaceWhole() writes the new bytes, which a cut-off replacement
// leaves behind for the next one to remove: "quillet.dat.new".
Path replacementOf(const Path &path);

// Every missing folder up to and including `path`, for a file to go into.
Result<void> makePath(const Path &path);
// Regular files in a folder and all folders below it, never through a link,
// leaving out those whose name `counts` refuses. `path` names the folder in
// the error of a folder that cannot be listed.
Result<qint64> countFilesBelow(const FileSystem::Descriptor &folder, const Path &path,
                               bool (*counts)(QByteArrayView name));

// Whether a failure to write `needed` bytes into the folder's volume means it
// is full: a device that reports a full volume with an error of its own
// (fusefat refuses with EPERM) still shows it in its free space. Only a
// refinement of `error`, which stays the failure where the volume cannot say.
bool isOutOfRoom(const Error &error, const FileSystem::Descriptor &folder, qint64 needed);

} // namespace Files
