#pragma once

#include "Path.h"
#include "Result.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

// The program's calls into the operating system, in one place: nothing else
// includes a system header or looks at an error number. A failure is an Error
// whose condition says what the callers act on. Names below a folder are in
// the system's form (Path::encodeName). No call gives up on an interrupting
// signal: each is made again, but close, which Linux never lets be repeated.
namespace FileSystem {

// An open file or folder, closed when it goes.
class Descriptor
{
public:
    Descriptor() = default;
    explicit Descriptor(int descriptor) : m_descriptor(descriptor) {}
    Descriptor(Descriptor &&other) noexcept;
    Descriptor &operator=(Descriptor &&other) noexcept;
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    ~Descriptor();

    bool isOpen() const { return m_descriptor >= 0; }
    int get() const { return m_descriptor; }
    // Closes now, with the error a device may report only here.
    Result<void> close();

private:
    int m_descriptor = -1;
};

// What a name stands for, as far as the export cares.
struct Status
{
    enum class Kind { File, Folder, Other };

    Kind kind = Kind::Other;
    qint64 size = 0;
    qint64 modified = 0; // nanoseconds since the epoch

    bool operator==(const Status &) const = default;
};

// Through a symbolic link, as a person's path is meant.
Result<Status> status(const Path &path);
Result<Status> status(const Descriptor &file);
bool isFolder(const Path &path);
// The path with every symbolic link and "." or ".." resolved.
Result<Path> canonical(const Path &path);
// The size of the volume that holds the folder, in bytes. A volume whose file
// system does not answer (a hung FUSE driver, a network mount gone) holds the
// calling thread here for as long: ask on a thread that may wait.
Result<qint64> volumeBytes(const Path &folder);
// The room left on the volume that holds the folder for the user running the
// program, in bytes, and the unit in which the volume gives it to a file.
struct Room
{
    qint64 free = 0;
    qint64 block = 0;
};
Result<Room> roomOn(const Path &folder);
// What a volume is formatted as, where that changes how a note is written:
// an iPod formatted for a Mac (HFS+, HFSX) reads its notes in Mac OS Roman.
enum class VolumeFormat { MacHfsPlus, Other };
// Of the volume that holds the folder, which may hold the calling thread as
// volumeBytes() may.
Result<VolumeFormat> volumeFormat(const Path &folder);
// Whether the user running the program owns it.
bool isOwnedByUser(const Path &path);
// Whether the user running the program may write the file, or into the folder:
// Condition::Missing where nothing has the name, else the system's reason why not.
Result<void> checkWritable(const Path &path);
// Whether the program's standard error goes to a terminal, where a person
// watches it, and not into a file or a pipe.
bool standardErrorIsTerminal();

// Opens each of the standard streams that the program was started without on
// /dev/null, the way it cannot be used (standard input for writing, standard
// output and error for reading), so that no file the program opens takes its
// number and what is printed there fails as it should.
Result<void> openClosedStandardStreams();

enum class StandardStream { Output, Error };
// Writes all of `bytes` to standard output or standard error, straight
// through: no buffer keeps a failure back until the program ends.
Result<void> writeStandard(StandardStream stream, QByteArrayView bytes);

// Opens for reading without ever waiting: a named pipe opens at once.
// Through a link, as a person's path is meant.
Result<Descriptor> openForReading(const Path &path);
// Never through a symbolic link: Condition::OtherKind for a link.
Result<Descriptor> openForReading(const Descriptor &folder, const QByteArray &name);
// Lets reads wait for data again, as reads of a regular file do anyway.
Result<void> makeBlocking(const Descriptor &file);
// The next bytes, at most `size`; 0 at the end.
Result<qsizetype> read(const Descriptor &file, char *into, qsizetype size);
// Reads until `size` bytes are in or the file ends; the count read.
Result<qsizetype> readFully(const Descriptor &file, char *into, qsizetype size);
// The start of a file, at most `maximum` bytes of it: no file is read whole
// whatever its size.
Result<QByteArray> readStart(const Path &path, qsizetype maximum);
// Reads on from `offset` bytes into the file.
Result<void> seek(const Descriptor &file, qint64 offset);

// A folder, never one reached through a symbolic link: Condition::OtherKind
// for a file, a link or anything else that is no folder; isLink() tells a
// link apart.
Result<Descriptor> openFolder(const Path &path);
Result<Descriptor> openFolder(const Descriptor &folder, const QByteArray &name);
// Whether the path's last name is itself a symbolic link.
bool isLink(const Path &path);
// One folder level: Condition::Exists when the name is taken.
Result<void> makeFolder(const Path &path);
Result<void> makeFolder(const Descriptor &folder, const QByteArray &name);
// Every missing folder up to and including `path`.
Result<void> makePath(const Path &path);
// The names in a folder, without "." and "..".
Result<QList<QByteArray>> entryNames(const Descriptor &folder);
// Regular files in a folder and all folders below it, never through a link,
// leaving out those whose name `counts` refuses. `path` names the folder in
// the error of a folder that cannot be listed.
Result<qint64> countFilesBelow(const Descriptor &folder, const Path &path,
                               bool (*counts)(QByteArrayView name));
// Takes the exclusive lock that every export holds on the folder it writes
// into: Condition::Busy while another one holds it.
Result<void> lockExclusively(const Descriptor &folder);

// Creates a file that must not exist yet (Condition::Exists); never follows a link.
Result<Descriptor> createNew(const Descriptor &folder, const QByteArray &name);
// Opens a regular file to write over it from its start, never through a link.
Result<Descriptor> openForRewriting(const Descriptor &folder, const QByteArray &name);
// Opens a file to add to its end, making it where it is missing; never through
// a symbolic link.
Result<Descriptor> openForAppending(const Path &path);
// Creates a file that must not exist yet (Condition::Exists); never follows a link.
Result<Descriptor> createNew(const Path &path);
// Writes all of `bytes`.
Result<void> write(const Descriptor &file, QByteArrayView bytes);
// Writes all of `bytes` and closes the file: the first error, which a device
// may report only on closing.
Result<void> writeAllAndClose(Descriptor &file, QByteArrayView bytes);
// Writes `bytes` over a file opened at its start, cuts what is left of its
// older content and closes it.
Result<void> rewriteAndClose(Descriptor &file, QByteArrayView bytes);
Result<void> rename(const Descriptor &folder, const QByteArray &from, const QByteArray &to);
Result<void> rename(const Path &from, const Path &to);
// Removes a file, not a folder.
Result<void> remove(const Descriptor &folder, const QByteArray &name);
Result<void> removeFile(const Path &path);
// Removes an empty folder: Condition::NotEmpty where it holds anything.
Result<void> removeFolder(const Descriptor &folder, const QByteArray &name);
// Writes `bytes` into a new file beside `path` and renames it into its place,
// so that `path` holds the older bytes or the new ones, never a part.
Result<void> replaceWhole(const Path &path, QByteArrayView bytes);

// Whether a failure to write `needed` bytes into the folder's volume means it
// is full: a device that reports a full volume with an error of its own
// (fusefat says EPERM) still shows it in its free space.
bool isOutOfRoom(const Error &error, const Descriptor &folder, qint64 needed);
// Commits everything written to the volume that holds the file.
Result<void> flushVolume(const Descriptor &file);

} // namespace FileSystem
