#pragma once

#include "Path.h"
#include "Result.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <functional>
#include <utility>

// The program's calls into the operating system, in one place: nothing else
// includes a system header or looks at an error number. Each is one call, or
// the few a single question takes; what the program builds on them (a file
// replaced whole, what a failed write means) is in Files. A failure is an
// Error whose condition says what the callers act on. Names below a folder are
// in the system's form (Path::encodeName). No call gives up on an interrupting
// signal: each is made again, but close, which Linux never lets be repeated.
namespace FileSystem {

// An open file or folder, closed when it goes.
class Descriptor
{
public:
    Descriptor() = default;
    explicit Descriptor(int descriptor) : m_descriptor(descriptor) {}
    Descriptor(Descriptor &&other) noexcept : m_descriptor(std::exchange(other.m_descriptor, -1)) {}
    Descriptor &operator=(Descriptor &&other) noexcept
    {
        if (this != &other) {
            // A descriptor given up for another is only read from: nothing of
            // it is lost that close could report.
            static_cast<void>(close());
            m_descriptor = std::exchange(other.m_descriptor, -1);
        }
        return *this;
    }
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

// What a name stands for, as far as the program cares.
struct Status
{
    enum class Kind { File, Folder, Link, Other };

    Kind kind = Kind::Other;
    qint64 size = 0;
    qint64 modified = 0;      // nanoseconds since the epoch
    bool ownedByUser = false; // by the user running the program

    bool operator==(const Status &) const = default;
};

// Through a symbolic link, as a person's path is meant: never Kind::Link.
Result<Status> status(const Path &path);
Result<Status> status(const Descriptor &file);
// The name itself: Kind::Link for a symbolic link, wherever it leads.
Result<Status> linkStatus(const Path &path);
// The path with every symbolic link and "." or ".." resolved.
Result<Path> canonical(const Path &path);
// The volume that holds a folder or file, in bytes: its size, the room left
// on it for the user running the program, and the unit in which it gives room
// to a file. A volume whose file system does not answer (a hung FUSE driver, a
// network mount gone) holds the calling thread here for as long: ask on a
// thread that may wait.
struct Room
{
    qint64 size = 0;
    qint64 free = 0;
    qint64 block = 0;
};
Result<Room> roomOn(const Path &folder);
Result<Room> roomOn(const Descriptor &file);
// What a volume is formatted as, where that changes how a note is written:
// an iPod formatted for a Mac (HFS+, HFSX) reads its notes in Mac OS Roman.
enum class VolumeFormat { MacHfsPlus, Other };
// Of the volume that holds the folder, which may hold the calling thread as
// roomOn() may.
Result<VolumeFormat> volumeFormat(const Path &folder);
// Whether the user running the program may write the file, or into the folder:
// Condition::Missing where nothing has the name, else the system's reason why not.
Result<void> checkWritable(const Path &path);
// Whether the program's standard error goes to a terminal, where a person
// watches it, and not into a file or a pipe; a stream that cannot be asked is
// none.
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
// Reads on from `offset` bytes into the file.
Result<void> seek(const Descriptor &file, qint64 offset);

// A folder, never one reached through a symbolic link: Condition::OtherKind
// for a file, a link or anything else that is no folder; linkStatus() tells a
// link apart.
Result<Descriptor> openFolder(const Path &path);
Result<Descriptor> openFolder(const Descriptor &folder, const QByteArray &name);
// One folder level: Condition::Exists when the name is taken.
Result<void> makeFolder(const Path &path);
Result<void> makeFolder(const Descriptor &folder, const QByteArray &name);
// The names in a folder, without "." and "..".
Result<QList<QByteArray>> entryNames(const Descriptor &folder);
// Each name in a folder but "." and "..", with what it is (Kind::Link for a
// symbolic link), asked of the system only where the listing does not tell
// it; `visit` answers whether to go on.
Result<void> forEachEntry(const Descriptor &folder,
                          const std::function<bool(const char *name, Status::Kind kind)> &visit);
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
// Opens a file to write it from its start, emptied, making it where it is
// missing; never through a symbolic link.
Result<Descriptor> openEmptied(const Path &path);
// Writes all of `bytes` where the file is (Files says which write to use).
Result<void> write(const Descriptor &file, QByteArrayView bytes);
// Cuts the file to `size` bytes.
Result<void> truncate(const Descriptor &file, qint64 size);
// Commits what was written to the file to its device.
Result<void> sync(const Descriptor &file);
Result<void> rename(const Descriptor &folder, const QByteArray &from, const QByteArray &to);
Result<void> rename(const Path &from, const Path &to);
// Removes a file, not a folder.
Result<void> remove(const Descriptor &folder, const QByteArray &name);
Result<void> removeFile(const Path &path);
// Removes an empty folder: Condition::NotEmpty where it holds anything.
Result<void> removeFolder(const Descriptor &folder, const QByteArray &name);

// Commits everything written to the volume that holds the file.
Result<void> flushVolume(const Descriptor &file);

} // namespace FileSystem
