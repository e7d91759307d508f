#include "Files.h"

#include <optional>

namespace Files {

namespace {

// Closes the file after `outcome`, which a failure to close turns into an error.
Result<void> closedAfter(FileSystem::Descriptor &file, Result<void> outcome)
{
    Result<void> closed = file.close();
    if (!outcome)
        return outcome;
    return closed;
}

// The files below the folder `name` in `parent`; none where a link or a file
// took the folder's place, or it went, while the count ran.
Result<qint64> countFilesIn(const FileSystem::Descriptor &parent, const char *name,
                            const Path &path, bool (*counts)(QByteArrayView name))
{
    Result<FileSystem::Descriptor> opened = FileSystem::openFolder(parent, name);
    if (!opened && (opened.error().is(Error::Condition::Missing) ||
                    opened.error().is(Error::Condition::OtherKind)))
        return qint64(0);
    if (!opened)
        return opened.error().during(Error::Action::ListFolder, path);
    return countFilesBelow(*opened, path, counts);
}

} // namespace

Result<qsizetype> readFully(const FileSystem::Descriptor &file, char *into, qsizetype size)
{
    qsizetype filled = 0;
    while (filled < size) {
        const Result<qsizetype> got = FileSystem::read(file, into + filled, size - filled);
        if (!got)
            return got.error();
        if (*got == 0)
            break;
        filled += *got;
    }
    return filled;
}

Result<QByteArray> readStart(const Path &path, qsizetype maximum)
{
    Result<FileSystem::Descriptor> file = FileSystem::openForReading(path);
    if (!file)
        return file.error();
    if (const Result<void> blocking = FileSystem::makeBlocking(*file); !blocking)
        return blocking.error();
    QByteArray bytes(maximum, Qt::Uninitialized);
    const Result<qsizetype> got = readFully(*file, bytes.data(), maximum);
    if (!got)
        return got.error();
    bytes.truncate(*got);
    return bytes;
}

Result<void> writeAndClose(FileSystem::Descriptor &file, QByteArrayView bytes)
{
    return closedAfter(file, FileSystem::write(file, bytes));
}

Result<void> rewriteAndClose(FileSystem::Descriptor &file, QByteArrayView bytes)
{
    // Written before the rest is cut, so that the room the older text held is
    // never given up before the new text is in it.
    Result<void> outcome = FileSystem::write(file, bytes);
    if (outcome)
        outcome = FileSystem::truncate(file, bytes.size());
    return closedAfter(file, std::move(outcome));
}

Result<void> replaceWhole(const Path &path, QByteArrayView bytes)
{
    const Path replacement = replacementOf(path);
    Result<FileSystem::Descriptor> file = FileSystem::openEmptied(replacement);
    if (!file)
        return file.error();
    // On the device before it takes the older file's place, so that a power
    // cut leaves the one or the other whole.
    Result<void> outcome = FileSystem::write(*file, bytes);
    if (outcome)
        outcome = FileSystem::sync(*file);
    outcome = closedAfter(*file, std::move(outcome));
    if (outcome)
        outcome = FileSystem::rename(replacement, path);
    if (outcome)
        return {};
    const Result<void> removed = FileSystem::removeFile(replacement);
    if (!removed && !removed.error().is(Error::Condition::Missing))
        return outcome.error().followedBy(
            removed.error().during(Error::Action::RemoveLeftover, replacement));
    return outcome;
}

Path replacementOf(const Path &path)
{
    return path.parent() / QString(path.fileName() + QStringLiteral(".new"));
}

Result<void> makePath(const Path &path)
{
    const auto made = [&path]() -> Result<void> {
        Result<void> folder = FileSystem::makeFolder(path);
        if (folder || !folder.error().is(Error::Condition::Exists))
            return folder;
        // Taken: by a folder, which is what was asked for, or by something else.
        const Result<FileSystem::Status> taken = FileSystem::status(path);
        if (!taken)
            return taken.error();
        return taken->kind == FileSystem::Status::Kind::Folder ? Result<void>() : folder;
    };
    Result<void> first = made();
    const Path parent = path.parent();
    if (first || !first.error().is(Error::Condition::Missing) || parent.isEmpty())
        return first;
    if (const Result<void> madeParent = makePath(parent); !madeParent)
        return madeParent.error();
    return made();
}

Result<qint64> countFilesBelow(const FileSystem::Descriptor &folder, const Path &path,
                               bool (*counts)(QByteArrayView name))
{
    qint64 count = 0;
    std::optional<Error> failure;
    const Result<void> listed =
        FileSystem::forEachEntry(folder, [&](const char *name, FileSystem::Status::Kind kind) {
            if (kind == FileSystem::Status::Kind::File)
                count += counts(name) ? 1 : 0;
            if (kind != FileSystem::Status::Kind::Folder)
                return true;
            const Result<qint64> below =
                countFilesIn(folder, name, path / QString::fromUtf8(name), counts);
            if (!below) {
                failure = below.error();
                return false;
            }
            count += *below;
            return true;
        });
    if (!listed)
        return listed.error().during(Error::Action::ListFolder, path);
    if (failure)
        return *failure;
    return count;
}

bool isOutOfRoom(const Error &error, const FileSystem::Descriptor &folder, qint64 needed)
{
    if (error.is(Error::Condition::NoRoom))
        return true;
    // fusefat's word for a full volume; a read-only one shows no free room
    // either, and says so in words of its own.
    if (!error.is(Error::Condition::NotPermitted))
        return false;
    const Result<FileSystem::Room> room = FileSystem::roomOn(folder);
    return room && room->free < needed;
}

} // namespace Files
