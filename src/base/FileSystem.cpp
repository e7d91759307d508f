#include "FileSystem.h"

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
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
    case EPERM:
        return Error::Condition::NotPermitted;
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

Status::Kind kindOf(mode_t mode)
{
    return S_ISREG(mode)   ? Status::Kind::File
           : S_ISDIR(mode) ? Status::Kind::Folder
           : S_ISLNK(mode) ? Status::Kind::Link
                           : Status::Kind::Other;
}

Status statusOf(const struct stat &info)
{
    // Asked once: the program never changes the user it runs as.
    static const uid_t user = ::geteuid();
    return {kindOf(info.st_mode), qint64(info.st_size),
            qint64(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec,
            info.st_uid == user};
}

Room roomOf(const struct statvfs &volume)
{
    const auto unit = qint64(volume.f_frsize);
    return {qint64(volume.f_blocks) * unit, qint64(volume.f_bavail) * unit, unit};
}

bool isDot(const char *name)
{
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// Walks a folder with readdir; `visit` sees each entry and answers whether to
// go on.
template <typename Visit> Result<void> walk(const Descriptor &folder, Visit visit)
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

// The kind of a listed entry, asked of the system where the listing does not
// tell it (some file systems never do).
Status::Kind kindOf(const Descriptor &folder, const dirent &entry)
{
    if (entry.d_type != DT_UNKNOWN)
        return kindOf(DTTOIF(entry.d_type));
    struct stat info = {};
    if (retried(
            [&] { return ::fstatat(folder.get(), entry.d_name, &info, AT_SYMLINK_NOFOLLOW); }) != 0)
        return Status::Kind::Other;
    return kindOf(info.st_mode);
}

// Writes until all of `bytes` are written.
Result<void> writeAll(int descriptor, QByteArrayView bytes)
{
    for (qsizetype written = 0; written < bytes.size();) {
        const ssize_t taken = retried(
            [&] { return ::write(descriptor, bytes.data() + written, bytes.size() - written); });
        // A device that takes nothing more is full, whether it says so or not.
        if (taken <= 0)
            return taken < 0 ? lastError() : systemError(ENOSPC);
        written += taken;
    }
    return {};
}

} // namespace

Descriptor::~Descriptor()
{
    // Whatever was written through it was closed by Files, which reports
    // what close says, or by the journal; the rest was only read.
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
    struct stat info = {};
    if (retried([&] { return ::stat(path.toNative().constData(), &info); }) != 0)
        return lastError();
    return statusOf(info);
}

Result<Status> status(const Descriptor &file)
{
    struct stat info = {};
    if (retried([&] { return ::fstat(file.get(), &info); }) != 0)
        return lastError();
    return statusOf(info);
}

Result<Status> linkStatus(const Path &path)
{
    struct stat info = {};
    if (retried([&] { return ::lstat(path.toNative().constData(), &info); }) != 0)
        return lastError();
    return statusOf(info);
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

Result<Room> roomOn(const Path &folder)
{
    struct statvfs volume = {};
    if (retried([&] { return ::statvfs(folder.toNative().constData(), &volume); }) != 0)
        return lastError();
    return roomOf(volume);
}

Result<Room> roomOn(const Descriptor &file)
{
    struct statvfs volume = {};
    if (retried([&] { return ::fstatvfs(file.get(), &volume); }) != 0)
        return lastError();
    return roomOf(volume);
}

// The kernel's number for HFS+ and HFSX, which its hfsplus driver mounts.
constexpr decltype(statfs::f_type) HfsPlusMagic = 0x482B;

Result<VolumeFormat> volumeFormat(const Path &folder)
{
    struct statfs volume = {};
    if (retried([&] { return ::statfs(folder.toNative().constData(), &volume); }) != 0)
        return lastError();
    return volume.f_type == HfsPlusMagic ? VolumeFormat::MacHfsPlus : VolumeFormat::Other;
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
    return writeAll(stream == StandardStream::Error ? STDERR_FILENO : STDOUT_FILENO, bytes);
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

Result<void> makeFolder(const Path &path)
{
    return done(retried([&] { return ::mkdir(path.toNative().constData(), 0777); }));
}

Result<void> makeFolder(const Descriptor &folder, const QByteArray &name)
{
    return done(retried([&] { return ::mkdirat(folder.get(), name.constData(), 0777); }));
}

Result<QList<QByteArray>> entryNames(const Descriptor &folder)
{
    QList<QByteArray> names;
    const Result<void> listed = walk(folder, [&](const dirent &entry) {
        names.append(entry.d_name);
        return true;
    });
    if (!listed)
        return listed.error();
    return names;
}

Result<void> forEachEntry(const Descriptor &folder,
                          const std::function<bool(const char *name, Status::Kind kind)> &visit)
{
    return walk(folder,
                [&](const dirent &entry) { return visit(entry.d_name, kindOf(folder, entry)); });
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

Result<Descriptor> openEmptied(const Path &path)
{
    return open(AT_FDCWD, path.toNative(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW);
}

Result<void> write(const Descriptor &file, QByteArrayView bytes)
{
    return writeAll(file.get(), bytes);
}

Result<void> truncate(const Descriptor &file, qint64 size)
{
    return done(retried([&] { return ::ftruncate(file.get(), off_t(size)); }));
}

Result<void> sync(const Descriptor &file)
{
    return done(retried([&] { return ::fsync(file.get()); }));
}

Result<void> rename(const Descriptor &folder, const QByteArray &from, const QByteArray &to)
{
    return done(retried(
        [&] { return ::renameat(folder.get(), from.constData(), folder.get(), to.constData()); }));
}

Result<void> rename(const Path &from, const Path &to)
{
    return done(
        retried([&] { return ::rename(from.toNative().constData(), to.toNative().constData()); }));
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

Result<void> flushVolume(const Descriptor &file)
{
    return done(retried([&] { return ::syncfs(file.get()); }));
}

} // namespace FileSystem
