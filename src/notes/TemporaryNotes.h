#pragma once

#include "FileSystem.h"
#include "Path.h"
#include "Result.h"

#include <QByteArray>
#include <QByteArrayView>

// The temporary files an older note is replaced through: the new text is
// written into one beside the note, in its folder, and renamed into the
// note's place, so that a run cut off anywhere leaves the older note or the
// new one whole, and at most a temporary file, which the next run removes.
// No memo gives a note a temporary file's name: it ends in ".tmp" and is
// longer than any title.
class TemporaryNotes
{
public:
    static bool isTemporaryName(QByteArrayView name);
    // Removes `name` from `folder` where it is a temporary file a run that was
    // cut off left: whether it was one. A folder of such a name is a
    // category's and stays. `folderPath` names the folder in the error.
    static Result<bool> removeLeftover(const FileSystem::Descriptor &folder, const Path &folderPath,
                                       const QByteArray &name);

    // Replaces `name` in `folder` with a file that holds `text`.
    Result<void> replace(const FileSystem::Descriptor &folder, const Path &folderPath,
                         const QByteArray &name, const QByteArray &text);

private:
    Result<FileSystem::Descriptor> create(const FileSystem::Descriptor &folder, QByteArray &name);

    qint64 m_counter = 0;
};
