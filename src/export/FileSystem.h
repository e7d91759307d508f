#pragma once

#include "Expected.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <fcntl.h>
#include <sys/stat.h>

// The export's calls into the operating system, in one place. Paths and names
// are in the file system's encoding; a failure is the system's error number.
// No call gives up on an interrupting signal.
namespace FileSystem {

// The folder a relative name is looked up in when no folder is given.
constexpr int WorkingFolder = AT_FDCWD;

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

    int get() const { return m_descriptor; }
    bool isOpen() const { return m_descriptor >= 0; }
    // Closes now, with the error a device may report only here.
    Expected<void, int> close();
    // Hands the descriptor over to a new owner.
    int release();

private:
    int m_descriptor = -1;
};

// Whether an open may go through a symbolic link at the end of the path.
enum class Links { Follow, Refuse };

// The system's words for an error number.
QString reason(int errorNumber);
// A name or path as the system takes it: Linux file names are UTF-8, as
// QFile::encodeName gives them, but without its cost for every note.
QByteArray nativeName(const QString &name);
// The same, written into `buffer`, whose memory is kept from one name to the next.
void setNativeName(QByteArray &buffer, QStringView name);

Expected<struct stat, int> status(const QByteArray &path);
Expected<struct stat, int> status(const Descriptor &file);
// Bytes that may still be written to the volume that holds the file.
Expected<qint64, int> freeBytes(const Descriptor &file);

// Opens for reading without ever waiting: a named pipe opens at once.
Expected<Descriptor, int> openForReading(int folder, const QByteArray &name, Links links);
// Lets reads wait for data again, as reads of a regular file do anyway.
Expected<void, int> makeBlocking(const Descriptor &file);
// A folder, never one reached through a symbolic link: ENOTDIR for a link and
// for anything else that is no folder.
Expected<Descriptor, int> openFolder(int folder, const QByteArray &name);
// Whether the name itself is a symbolic link.
bool isLink(int folder, const QByteArray &name);
// Takes the exclusive lock that every export holds on the folder it writes
// into; EWOULDBLOCK while another one holds it.
Expected<void, int> lockExclusively(const Descriptor &folder);
// Creates a file that must not exist yet; never follows a link.
Expected<Descriptor, int> createNew(int folder, const QByteArray &name);
// Opens a regular file to write over it from its start, never through a link.
Expected<Descriptor, int> openForRewriting(int folder, const QByteArray &name);
// One folder level; EEXIST, for example, when the name is taken.
Expected<void, int> makeFolder(int folder, const QByteArray &name);
// The names in a folder, without "." and "..".
Expected<QList<QByteArray>, int> entryNames(const Descriptor &folder);
// Regular files in a folder and all folders below it, never through a link,
// leaving out those whose name `counts` refuses.
qint64 countFilesBelow(const Descriptor &folder, bool (*counts)(QByteArrayView name));

// Reads until `size` bytes are in or the file ends; the count read.
Expected<qsizetype, int> readFully(const Descriptor &file, char *into, qsizetype size);
// Writes all of `bytes` and closes the file: the first error, which a device
// may report only on closing.
Expected<void, int> writeAllAndClose(Descriptor &file, QByteArrayView bytes);
// Writes `bytes` over a file opened at its start, cuts what is left of its
// older content and closes it.
Expected<void, int> rewriteAndClose(Descriptor &file, QByteArrayView bytes);
Expected<void, int> rename(int folder, const QByteArray &from, const QByteArray &to);
// Removes a file, not a folder; what cannot be removed stays.
void remove(int folder, const QByteArray &name);
// Commits everything written to the volume that holds the file.
Expected<void, int> flushVolume(const Descriptor &file);

} // namespace FileSystem
