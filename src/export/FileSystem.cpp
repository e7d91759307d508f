#include "FileSystem.h"

#include <QList>
#include <QStringEncoder>
#include <cerrno>
#include <dirent.h>
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
template <typename Visit> int forEachEntry(const Descriptor &folder, Visit visit)
{
    const int copy =
        retried([&] { return ::openat(folder.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC); });
    if (copy < 0)
        return errno;
    DIR *listing = ::fdopendir(copy);
    if (!listing) {
        const int error = errno;
        ::close(copy);
        return error;
    }
    errno = 0;
    while (const dirent *entry = ::readdir(listing)) {
        if (!isDot(entry->d_name))
            visit(*entry);
        errno = 0;
    }
    const int error = errno;
    ::closedir(listing);
    return error;
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

int Descriptor::close()
{
    if (m_descriptor < 0)
        return 0;
    // Linux frees the descriptor even when close reports an error, so it is
    // never retried.
    const int result = ::close(std::exchange(m_descriptor, -1));
    return result == 0 || errno == EINTR ? 0 : errno;
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

Expected<Descriptor, int> openForReading(int folder, const QByteArray &name)
{
    return open(folder, name, O_RDONLY | O_NONBLOCK | O_NOCTTY);
}

int makeBlocking(const Descriptor &file)
{
    const int flags = ::fcntl(file.get(), F_GETFL);
    if (flags < 0 || ::fcntl(file.get(), F_SETFL, flags & ~O_NONBLOCK) < 0)
        return errno;
    return 0;
}

Expected<Descriptor, int> openFolder(int folder, const QByteArray &name)
{
    return open(folder, name, O_RDONLY | O_DIRECTORY);
}

Expected<Descriptor, int> createNew(int folder, const QByteArray &name)
{
    return open(folder, name, O_WRONLY | O_CREAT | O_EXCL);
}

int makeFolder(int folder, const QByteArray &name)
{
    return retried([&] { return ::mkdirat(folder, name.constData(), 0777); }) == 0 ? 0 : errno;
}

Expected<QList<QByteArray>, int> entryNames(const Descriptor &folder)
{
    QList<QByteArray> names;
    if (const int error =
            forEachEntry(folder, [&](const dirent &entry) { names.append(entry.d_name); }))
        return Unexpected<int>{error};
    return names;
}

qint64 countFilesBelow(const Descriptor &folder)
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
            ++count;
        } else if (type == DT_DIR) {
            if (Expected<Descriptor, int> below =
                    open(folder.get(), entry.d_name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW))
                count += countFilesBelow(*below);
        }
    });
    return count;
}

Expected<qsizetype, int> readFully(const Descriptor &file, char *into, qsizetype size)
{
    qsizetype done = 0;
    while (done < size) {
        const ssize_t got = retried([&] { return ::read(file.get(), into + done, size - done); });
        if (got < 0)
            return Unexpected<int>{errno};
        if (got == 0)
            break;
        done += got;
    }
    return done;
}

int writeAllAndClose(Descriptor &file, QByteArrayView bytes)
{
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t written =
            retried([&] { return ::write(file.get(), bytes.data() + done, bytes.size() - done); });
        // A device that takes nothing more is full, whether it says so or not.
        if (written <= 0) {
            const int error = written < 0 ? errno : ENOSPC;
            file.close();
            return error;
        }
        done += written;
    }
    return file.close();
}

int rename(int folder, const QByteArray &from, const QByteArray &to)
{
    return ::renameat(folder, from.constData(), folder, to.constData()) == 0 ? 0 : errno;
}

void remove(int folder, const QByteArray &name)
{
    ::unlinkat(folder, name.constData(), 0);
}

int flushVolume(const Descriptor &file)
{
    return retried([&] { return ::syncfs(file.get()); }) == 0 ? 0 : errno;
}

} // namespace FileSystem
