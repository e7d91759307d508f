#include "FileSystem.h"

#include <QList>
#include <QStringEncoder>
#include <cerrno>
#include <dirent.h>
#include <sys/file.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <utility>

namespace FileSystem {

namespace {

// Repeats a call that a signal interrupted.
template <typename Call> auto retried(Call call)
{
    decltype(call()) result;
    do {
        result = call();
    } while (result < 0 && errno == EINTR);
    return result;
}

Expected<Descriptor, int> opened(int descriptor)
{
    if (descriptor < 0)
        return Unexpected<int>{errno};
    return Descriptor(descriptor);
}

// What a call that sets errno and answers 0 or -1 means.
Expected<void, int> done(int result)
{
    if (result != 0)
        return Unexpected<int>{errno};
    return {};
}

Expected<Descriptor, int> open(int folder, const QByteArray &name, int flags)
{
    return opened(
        retried([&] { return ::openat(folder, name.constData(), flags | O_CLOEXEC, 0666); }));
}

bool isDot(const char *name)
{
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// Walks a folder with readdir; `visit` sees each entry's name and type.
template <typename Visit> Expected<void, int> forEachEntry(const Descriptor &folder, Visit visit)
{
    const int copy =
        retried([&] { return ::openat(folder.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC); });
    if (copy < 0)
        return Unexpected<int>{errno};
    DIR *listing = ::fdopendir(copy);
    if (!listing) {
        const int error = errno;
        ::close(copy);
        return Unexpected<int>{error};
    }
    errno = 0;
    while (const dirent *entry = ::readdir(listing)) {
        if (!isDot(entry->d_name))
            visit(*entry);
        errno = 0;
    }
    const int error = errno;
    ::closedir(listing);
    if (error != 0)
        return Unexpected<int>{error};
    return {};
}

// Hands `bytes` to `writeSome(data, size, offset)` until all are written.
template <typename WriteSome>
Expected<void, int> writeAll(QByteArrayView bytes, WriteSome writeSome)
{
    for (qsizetype written = 0; written < bytes.size();) {
        const ssize_t taken = retried(
            [&] { return writeSome(bytes.data() + written, bytes.size() - written, written); });
        // A device that takes nothing more is full, whether it says so or not.
        if (taken <= 0)
            return Unexpected<int>{taken < 0 ? errno : ENOSPC};
        written += taken;
    }
    return {};
}

// Closes the file after `outcome`, which a failure to close turns into an error.
Expected<void, int> closedAfter(Descriptor &file, Expected<void, int> outcome)
{
    if (!outcome) {
        file.close();
        return outcome;
    }
    return file.close();
}

} // namespace

Descriptor::Descriptor(Descriptor &&other) noexcept
    : m_descriptor(std::exchange(other.m_descriptor, -1))
{
}

Descriptor &Descriptor::operator=(Descriptor &&other) noexcept
{
    if (this != &other) {
        close();
        m_descriptor = std::exchange(other.m_descriptor, -1);
    }
    return *this;
}

Descriptor::~Descriptor()
{
    close();
}

Expected<void, int> Descriptor::close()
{
    if (m_descriptor < 0)
        return {};
    // Linux frees the descriptor even when close reports an error, so it is
    // never retried.
    const int result = ::close(std::exchange(m_descriptor, -1));
    if (result != 0 && errno != EINTR)
        return Unexpected<int>{errno};
    return {};
}

int Descriptor::release()
{
    return std::exchange(m_descriptor, -1);
}

QString reason(int errorNumber)
{
    return qt_error_string(errorNumber);
}

QByteArray nativeName(const QString &name)
{
    return name.toUtf8();
}

void setNativeName(QByteArray &buffer, QStringView name)
{
    QStringEncoder utf8(QStringEncoder::Utf8, QStringEncoder::Flag::Stateless);
    buffer.resize(utf8.requiredSpace(name.size()));
    buffer.resize(utf8.appendToBuffer(buffer.data(), name) - buffer.constData());
}

Expected<struct stat, int> status(const QByteArray &path)
{
    struct stat info
    {
    };
    if (retried([&] { return ::stat(path.constData(), &info); }) != 0)
        return Unexpected<int>{errno};
    return info;
}

Expected<struct stat, int> status(const Descriptor &file)
{
    struct stat info
    {
    };
    if (::fstat(file.get(), &info) != 0)
        return Unexpected<int>{errno};
    return info;
}

Expected<qint64, int> freeBytes(const Descriptor &file)
{
    struct statvfs volume
    {
    };
    if (retried([&] { return ::fstatvfs(file.get(), &volume); }) != 0)
        return Unexpected<int>{errno};
    return qint64(volume.f_bavail) * qint64(volume.f_frsize);
}

Expected<Descriptor, int> openForReading(int folder, const QByteArray &name, Links links)
{
    return open(folder, name,
                O_RDONLY | O_NONBLOCK | O_NOCTTY | (links == Links::Refuse ? O_NOFOLLOW : 0));
}

Expected<void, int> makeBlocking(const Descriptor &file)
{
    const int flags = ::fcntl(file.get(), F_GETFL);
    if (flags < 0)
        return Unexpected<int>{errno};
    return done(::fcntl(file.get(), F_SETFL, flags & ~O_NONBLOCK));
}

Expected<Descriptor, int> openFolder(int folder, const QByteArray &name)
{
    return open(folder, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
}

bool isLink(int folder, const QByteArray &name)
{
    struct stat info
    {
    };
    return ::fstatat(folder, name.constData(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
           S_ISLNK(info.st_mode);
}

Expected<void, int> lockExclusively(const Descriptor &folder)
{
    return done(retried([&] { return ::flock(folder.get(), LOCK_EX | LOCK_NB); }));
}

Expected<Descriptor, int> createNew(int folder, const QByteArray &name)
{
    return open(folder, name, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW);
}

Expected<Descriptor, int> openForRewriting(int folder, const QByteArray &name)
{
    return open(folder, name, O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY);
}

Expected<void, int> makeFolder(int folder, const QByteArray &name)
{
    return done(retried([&] { return ::mkdirat(folder, name.constData(), 0777); }));
}

Expected<QList<QByteArray>, int> entryNames(const Descriptor &folder)
{
    QList<QByteArray> names;
    const Expected<void, int> listed =
        forEachEntry(folder, [&](const dirent &entry) { names.append(entry.d_name); });
    if (!listed)
        return Unexpected<int>{listed.error()};
    return names;
}

qint64 countFilesBelow(const Descriptor &folder, bool (*counts)(QByteArrayView name))
{
    qint64 count = 0;
    forEachEntry(folder, [&](const dirent &entry) {
        unsigned char type = entry.d_type;
        if (type == DT_UNKNOWN) {
            struct stat info
            {
            };
            if (::fstatat(folder.get(), entry.d_name, &info, AT_SYMLINK_NOFOLLOW) == 0)
                type = S_ISDIR(info.st_mode) ? DT_DIR : S_ISREG(info.st_mode) ? DT_REG : DT_UNKNOWN;
        }
        if (type == DT_REG) {
            count += counts(entry.d_name) ? 1 : 0;
        } else if (type == DT_DIR) {
            if (Expected<Descriptor, int> below = openFolder(folder.get(), entry.d_name))
                count += countFilesBelow(*below, counts);
        }
    });
    return count;
}

Expected<qsizetype, int> readFully(const Descriptor &file, char *into, qsizetype size)
{
    qsizetype filled = 0;
    while (filled < size) {
        const ssize_t got =
            retried([&] { return ::read(file.get(), into + filled, size - filled); });
        if (got < 0)
            return Unexpected<int>{errno};
        if (got == 0)
            break;
        filled += got;
    }
    return filled;
}

Expected<void, int> writeAllAndClose(Descriptor &file, QByteArrayView bytes)
{
    const int descriptor = file.get();
    return closedAfter(file, writeAll(bytes, [=](const char *data, size_t size, off_t) {
                           return ::write(descriptor, data, size);
                       }));
}

Expected<void, int> rewriteAndClose(Descriptor &file, QByteArrayView bytes)
{
    const int descriptor = file.get();
    // Written before the rest is cut, so that the room the older text held is
    // never given up before the new text is in it.
    Expected<void, int> outcome = writeAll(bytes, [=](const char *data, size_t size, off_t offset) {
        return ::pwrite(descriptor, data, size, offset);
    });
    if (outcome)
        outcome = done(retried([&] { return ::ftruncate(descriptor, bytes.size()); }));
    return closedAfter(file, outcome);
}

Expected<void, int> rename(int folder, const QByteArray &from, const QByteArray &to)
{
    return done(::renameat(folder, from.constData(), folder, to.constData()));
}

void remove(int folder, const QByteArray &name)
{
    ::unlinkat(folder, name.constData(), 0);
}

Expected<void, int> flushVolume(const Descriptor &file)
{
    return done(retried([&] { return ::syncfs(file.get()); }));
}

} // namespace FileSystem
