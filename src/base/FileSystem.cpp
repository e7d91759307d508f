#include "FileSystem.h"

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <utility>

namespace FileSystem {

namespace {

Error::Condition conditionOf(int errorNumber)
{
    switch (errorNumber) {
    case EEXIST:
        return Error::Condition::Exists;
    case ENOENT:
        return Error::Condition::Missing;
    case ENAMETOOLONG:
        return Error::Condition::NameTooLong;
    case ENOTDIR:
    case ELOOP:
        return Error::Condition::OtherKind;
    case ENOSPC:
    case EDQUOT:
        return Error::Condition::NoRoom;
    case EWOULDBLOCK:
        return Error::Condition::Busy;
    case ENOTEMPTY:
        return Error::Condition::NotEmpty;
    case EISDIR:
        return Error::Condition::IsFolder;
    default:
        return Error::Condition::Other;
    }
}

Error systemError(int errorNumber)
{
    return Error::fromSystem(errorNumber, conditionOf(errorNumber));
}

Error lastError()
{
    return systemError(errno);
}

// Repeats a call that a signal interrupted.
template <typename Call> auto retried(Call call)
{
    decltype(call()) result;
    do {
        result = call();
    } while (result < 0 && errno == EINTR);
    return result;
}

Result<Descriptor> opened(int descriptor)
{
    if (descriptor < 0)
        return lastError();
    return Descriptor(descriptor);
}

// What a call that sets errno and answers 0 or -1 means.
Result<void> done(int result)
{
    if (result != 0)
        return lastError();
    return {};
}

Result<Descriptor> open(int folder, const QByteArray &name, int flags)
{
    return opened(
        retried([&] { return ::openat(folder, name.constData(), flags | O_CLOEXEC, 0666); }));
}

Status statusOf(const struct stat &info)
{
    const Status::Kind kind = S_ISREG(info.st_mode)   ? Status::Kind::File
                              : S_ISDIR(info.st_mode) ? Status::Kind::Folder
                                                      : Status::Kind::Other;
    return {kind, qint64(info.st_size),
            qint64(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec};
}

bool isDot(const char *name)
{
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// Walks a folder with readdir; `visit` sees each entry and answers whether to
// go on.
template <typename Visit> Result<void> forEachEntry(const Descriptor &folder, Visit visit)
{
    const int copy =
        retried([&] { return ::openat(folder.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC); });
    if (copy < 0)
        return lastError();
    DIR *listing = ::fdopendir(copy);
    if (!listing) {
        const int error = errno;
        ::close(copy);
        return systemError(error);
    }
    errno = 0;
    bool goOn = true;
    while (goOn) {
        // A listing of its own, read on this thread alone: readdir is safe so.
        const dirent *entry = ::readdir(listing); // NOLINT(concurrency-mt-unsafe)
        // An interrupted read of the listing leaves its place as it was.
        if (!entry && errno == EINTR) {
            errno = 0;
            continue;
        }
        if (!entry)
            break;
        if (!isDot(entry->d_name))
            goOn = visit(*entry);
        errno = 0;
    }
    const int error = errno;
    ::closedir(listing);
    if (error != 0)
        return systemError(error);
    return {};
}

// The type of a listed entry, asked of the system where the listing does not
// tell it (some file systems never do).
unsigned char typeOf(const Descriptor &folder, const dirent &entry)
{
    if (entry.d_type != DT_UNKNOWN)
        return entry.d_type;
    struct stat info
    {
    };
    if (retried(
            [&] { return ::fstatat(folder.get(), entry.d_name, &info, AT_SYMLINK_NOFOLLOW); }) != 0)
        return DT_UNKNOWN;
    return S_ISDIR(info.st_mode) ? DT_DIR : S_ISREG(info.st_mode) ? DT_REG : DT_UNKNOWN;
}

// Hands `bytes` to `writeSome(data, size, offset)` until all are written.
template <typename WriteSome> Result<void> writeAll(QByteArrayView bytes, WriteSome writeSome)
{
    for (qsizetype written = 0; written < bytes.size();) {
        const ssize_t taken = retried(
            [&] { return writeSome(bytes.data() + written, bytes.size() - written, written); });
        // A device that takes nothing more is full, whether it says so or not.
        if (taken <= 0)
            return taken < 0 ? lastError() : systemError(ENOSPC);
        written += taken;
    }
    return {};
}

// Closes the file after `outcome`, which a failure to close turns into an error.
Result<void> closedAfter(Descriptor &file, Result<void> outcome)
{
    Result<void> closed = file.close();
    if (!outcome)
        return outcome;
    return closed;
}

// The files below the folder `name` in `parent`; none where a link or a file
// took the folder's place, or it went, while the count ran.
Result<qint64> countFilesIn(const Descriptor &parent, const char *name, const Path &path,
                            bool (*counts)(QByteArrayView name))
{
    Result<Descriptor> opened = openFolder(parent, name);
    if (!opened && (opened.error().is(Error::Condition::Missing) ||
                    opened.error().is(Error::Condition::OtherKind)))
        return qint64(0);
    if (!opened)
        return opened.error().during(Error::Action::ListFolder, path);
    return countFilesBelow(*opened, path, counts);
}

} // namespace

Descriptor::Descriptor(Descriptor &&other) noexcept
    : m_descriptor(std::exchange(other.m_descriptor, -1))
{
}

Descriptor &Descriptor::operator=(Descriptor &&other) noexcept
{
    if (this != &other) {
        // A descriptor given up for another is only read from: nothing of it
        // is lost that close could report.
        static_cast<void>(close());
        m_descriptor = std::exchange(other.m_descriptor, -1);
    }
    return *this;
}

Descriptor::~Descriptor()
{
    // Whatever was written through it was closed by writeAllAndClose or
    // rewriteAndClose, which report what close says; the rest was only read.
    static_cast<void>(close());
}

Result<void> Descriptor::close()
{
    if (m_descriptor < 0)
        return {};
    // Linux frees the descriptor even when close reports an error, so it is
    // never retried.
    const int result = ::close(std::exchange(m_descriptor, -1));
    if (result != 0 && errno != EINTR)
        return lastError();
    return {};
}

Result<Status> status(const Path &path)
{
    struct stat info
    {
    };
    if (retried([&] { return ::stat(path.toNative().constData(), &info); }) != 0)
        return lastError();
    return statusOf(info);
}

Result<Status> status(const Descriptor &file)
{
    struct stat info
    {
    };
    if (retried([&] { return ::fstat(file.get(), &info); }) != 0)
        return lastError();
    return statusOf(info);
}

bool isFolder(const Path &path)
{
    const Result<Status> found = status(path);
    return found && found->kind == Status::Kind::Folder;
}

Result<Path> canonical(const Path &path)
{
    char *resolved = nullptr;
    do {
        resolved = ::realpath(path.toNative().constData(), nullptr);
    } while (resolved == nullptr && errno == EINTR);
    if (resolved == nullptr)
        return lastError();
    Path result(QString::fromUtf8(resolved));
    std::free(resolved);
    return result;
}

Result<qint64> volumeBytes(const Path &folder)
{
    struct statvfs volume
    {
    };
    if (retried([&] { return ::statvfs(folder.toNative().constData(), &volume); }) != 0)
        return lastError();
    return qint64(volume.f_blocks) * qint64(volume.f_frsize);
}

Result<Room> roomOn(const Path &folder)
{
    struct statvfs volume
    {
    };
    if (retried([&] { return ::statvfs(folder.toNative().constData(), &volume); }) != 0)
        return lastError();
    return Room{qint64(volume.f_bavail) * qint64(volume.f_frsize), qint64(volume.f_frsize)};
}

// The kernel's number for HFS+ and HFSX, which its hfsplus driver mounts.
constexpr decltype(statfs::f_type) HfsPlusMagic = 0x482B;

Result<VolumeFormat> volumeFormat(const Path &folder)
{
    struct statfs volume
    {
    };
    if (retried([&] { return ::statfs(folder.toNative().constData(), &volume); }) != 0)
        return lastError();
    return volume.f_type == HfsPlusMagic ? VolumeFormat::MacHfsPlus : VolumeFormat::Other;
}

bool isOwnedByUser(const Path &path)
{
    struct stat info
    {
    };
    return retried([&] { return ::stat(path.toNative().constData(), &info); }) == 0 &&
           info.st_uid == ::geteuid();
}

Result<void> checkWritable(const Path &path)
{
    return done(retried([&] { return ::access(path.toNative().constData(), W_OK); }));
}

bool standardErrorIsTerminal()
{
    return ::isatty(STDERR_FILENO) == 1;
}

Result<void> openClosedStandardStreams()
{
    for (const int stream : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        if (::fcntl(stream, F_GETFD) >= 0 || errno != EBADF)
            continue;
        // The lowest free number, which is this stream's: those below it are open.
        const int opened = retried(
            [stream] { return ::open("/dev/null", stream == STDIN_FILENO ? O_WRONLY : O_RDONLY); });
        if (opened != stream)
            return opened < 0 ? lastError() : systemError(EBADF);
    }
    return {};
}

Result<void> writeStandard(StandardStream stream, QByteArrayView bytes)
{
    const int descriptor = stream == StandardStream::Error ? STDERR_FILENO : STDOUT_FILENO;
    return writeAll(bytes, [=](const char *data, size_t size, off_t) {
        return ::write(descriptor, data, size);
    });
}

Result<Descriptor> openForReading(const Path &path)
{
    return open(AT_FDCWD, path.toNative(), O_RDONLY | O_NONBLOCK | O_NOCTTY);
}

Result<Descriptor> openForReading(const Descriptor &folder, const QByteArray &name)
{
    return open(folder.get(), name, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW);
}

Result<void> makeBlocking(const Descriptor &file)
{
    const int flags = ::fcntl(file.get(), F_GETFL);
    if (flags < 0)
        return lastError();
    return done(::fcntl(file.get(), F_SETFL, flags & ~O_NONBLOCK));
}

Result<qsizetype> read(const Descriptor &file, char *into, qsizetype size)
{
    const ssize_t got = retried([&] { return ::read(file.get(), into, size); });
    if (got < 0)
        return lastError();
    return qsizetype(got);
}

Result<qsizetype> readFully(const Descriptor &file, char *into, qsizetype size)
{
    qsizetype filled = 0;
    while (filled < size) {
        const Result<qsizetype> got = read(file, into + filled, size - filled);
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
    Result<Descriptor> file = openForReading(path);
    if (!file)
        return file.error();
    if (const Result<void> blocking = makeBlocking(*file); !blocking)
        return blocking.error();
    QByteArray bytes(maximum, Qt::Uninitialized);
    const Result<qsizetype> got = readFully(*file, bytes.data(), maximum);
    if (!got)
        return got.error();
    bytes.truncate(*got);
    return bytes;
}

Result<void> seek(const Descriptor &file, qint64 offset)
{
    if (::lseek(file.get(), off_t(offset), SEEK_SET) < 0)
        return lastError();
    return {};
}

Result<Descriptor> openFolder(const Path &path)
{
    return open(AT_FDCWD, path.toNative(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
}

Result<Descriptor> openFolder(const Descriptor &folder, const QByteArray &name)
{
    return open(folder.get(), name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
}

bool isLink(const Path &path)
{
    struct stat info
    {
    };
    return retried([&] { return ::lstat(path.toNative().constData(), &info); }) == 0 &&
           S_ISLNK(info.st_mode);
}

Result<void> makeFolder(const Path &path)
{
    return done(retried([&] { return ::mkdir(path.toNative().constData(), 0777); }));
}

Result<void> makeFolder(const Descriptor &folder, const QByteArray &name)
{
    return done(retried([&] { return ::mkdirat(folder.get(), name.constData(), 0777); }));
}

Result<void> makePath(const Path &path)
{
    const auto made = [&path]() -> Result<void> {
        Result<void> folder = makeFolder(path);
        if (!folder && folder.error().is(Error::Condition::Exists) && isFolder(path))
            return {};
        return folder;
    };
    Result<void> first = made();
    const qsizetype parentEnd = path.toString().lastIndexOf(u'/');
    if (first || !first.error().is(Error::Condition::Missing) || parentEnd <= 0)
        return first;
    if (const Result<void> parent = makePath(Path(path.toString().first(parentEnd))); !parent)
        return parent.error();
    return made();
}

Result<QList<QByteArray>> entryNames(const Descriptor &folder)
{
    QList<QByteArray> names;
    const Result<void> listed = forEachEntry(folder, [&](const dirent &entry) {
        names.append(entry.d_name);
        return true;
    });
    if (!listed)
        return listed.error();
    return names;
}

Result<qint64> countFilesBelow(const Descriptor &folder, const Path &path,
                               bool (*counts)(QByteArrayView name))
{
    qint64 count = 0;
    std::optional<Error> failure;
    const Result<void> listed = forEachEntry(folder, [&](const dirent &entry) {
        const unsigned char type = typeOf(folder, entry);
        if (type == DT_REG)
            count += counts(entry.d_name) ? 1 : 0;
        if (type != DT_DIR)
            return true;
        const Result<qint64> below =
            countFilesIn(folder, entry.d_name, path / QString::fromUtf8(entry.d_name), counts);
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

Result<void> lockExclusively(const Descriptor &folder)
{
    return done(retried([&] { return ::flock(folder.get(), LOCK_EX | LOCK_NB); }));
}

Result<Descriptor> createNew(const Descriptor &folder, const QByteArray &name)
{
    return open(folder.get(), name, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW);
}

Result<Descriptor> openForRewriting(const Descriptor &folder, const QByteArray &name)
{
    return open(folder.get(), name, O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY);
}

Result<Descriptor> openForAppending(const Path &path)
{
    return open(AT_FDCWD, path.toNative(), O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW);
}

Result<Descriptor> createNew(const Path &path)
{
    return open(AT_FDCWD, path.toNative(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW);
}

Result<void> write(const Descriptor &file, QByteArrayView bytes)
{
    const int descriptor = file.get();
    return writeAll(bytes, [=](const char *data, size_t size, off_t) {
        return ::write(descriptor, data, size);
    });
}

Result<void> writeAllAndClose(Descriptor &file, QByteArrayView bytes)
{
    const int descriptor = file.get();
    return closedAfter(file, writeAll(bytes, [=](const char *data, size_t size, off_t) {
                           return ::write(descriptor, data, size);
                       }));
}

Result<void> rewriteAndClose(Descriptor &file, QByteArrayView bytes)
{
    const int descriptor = file.get();
    // Written before the rest is cut, so that the room the older text held is
    // never given up before the new text is in it.
    Result<void> outcome = writeAll(bytes, [=](const char *data, size_t size, off_t offset) {
        return ::pwrite(descriptor, data, size, offset);
    });
    if (outcome)
        outcome = done(retried([&] { return ::ftruncate(descriptor, bytes.size()); }));
    return closedAfter(file, std::move(outcome));
}

Result<void> rename(const Descriptor &folder, const QByteArray &from, const QByteArray &to)
{
    return done(retried(
        [&] { return ::renameat(folder.get(), from.constData(), folder.get(), to.constData()); }));
}

Result<void> rename(const Path &from, const Path &to)
{
    return done(::rename(from.toNative().constData(), to.toNative().constData()));
}

Result<void> remove(const Descriptor &folder, const QByteArray &name)
{
    return done(retried([&] { return ::unlinkat(folder.get(), name.constData(), 0); }));
}

Result<void> removeFile(const Path &path)
{
    return done(retried([&] { return ::unlink(path.toNative().constData()); }));
}

Result<void> removeFolder(const Descriptor &folder, const QByteArray &name)
{
    return done(retried([&] { return ::unlinkat(folder.get(), name.constData(), AT_REMOVEDIR); }));
}

Result<void> replaceWhole(const Path &path, QByteArrayView bytes)
{
    const QByteArray target = path.toNative();
    const QByteArray temporary = target + ".new";
    Result<Descriptor> file = opened(retried([&] {
        return ::open(temporary.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC,
                      0666);
    }));
    if (!file)
        return file.error();
    // On the device before it takes the older file's place, so that a power
    // cut leaves the one or the other whole.
    Result<void> outcome = write(*file, bytes);
    if (outcome)
        outcome = done(retried([&] { return ::fsync(file->get()); }));
    outcome = closedAfter(*file, std::move(outcome));
    if (outcome)
        outcome =
            done(retried([&] { return ::rename(temporary.constData(), target.constData()); }));
    if (outcome)
        return {};
    if (retried([&] { return ::unlink(temporary.constData()); }) != 0 && errno != ENOENT)
        return outcome.error().followedBy(
            lastError().during(Error::Action::RemoveLeftover, Path(QString::fromUtf8(temporary))));
    return outcome;
}

bool isOutOfRoom(const Error &error, const Descriptor &folder, qint64 needed)
{
    if (error.is(Error::Condition::NoRoom))
        return true;
    // fusefat's word for a full volume; a read-only one shows no free room
    // either, and says so in words of its own.
    if (error.errorNumber() != EPERM)
        return false;
    struct statvfs volume
    {
    };
    if (retried([&] { return ::fstatvfs(folder.get(), &volume); }) != 0)
        return false;
    return qint64(volume.f_bavail) * qint64(volume.f_frsize) < needed;
}

Result<void> flushVolume(const Descriptor &file)
{
    return done(retried([&] { return ::syncfs(file.get()); }));
}

} // namespace FileSystem
