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
    // Closes now: 0, or the error a device may report only here.
    int close();
    // Hands the descriptor over to a new owner.
    int release();

private:
    int m_descriptor = -1;
};

// The system's words for an error number.
QString reason(int errorNumber);
// A name or path as the system takes it: Linux file names are UTF-8, as
// QFile::encodeName gives them, but without its cost for every note.
QByteArray nativeName(const QString &name);
// The same, written into `buffer`, whose memory is kept from one name to the next.
void setNativeName(QByteArray &buffer, QStringView name);

Expected<struct stat, int> status(const QByteArray &path);
Expected<struct stat, int> status(const Descriptor &file);
// Opens for reading without ever waiting: a named pipe opens at once.
Expected<Descriptor, int> openForReading(int folder, const QByteArray &name);
// Lets reads wait for data again, as reads of a regular file do anyway.
int makeBlocking(const Descriptor &file);
Expected<Descriptor, int> openFolder(int folder, const QByteArray &name);
// Creates a file that must not exist yet.
Expected<Descriptor, int> createNew(int folder, const QByteArray &name);
// One folder level; 0, or for example EEXIST.
int makeFolder(int folder, const QByteArray &name);
// The names in a folder, without "." and "..".
Expected<QList<QByteArray>, int> entryNames(const Descriptor &folder);
// Regular files in a folder and all folders below it.
qint64 countFilesBelow(const Descriptor &folder);

// Reads until `size` bytes are in or the file ends; the count read.
Expected<qsizetype, int> readFully(const Descriptor &file, char *into, qsizetype size);
// Writes all of `bytes` and closes the file: 0, or the first error, which a
// device may report only on closing.
int writeAllAndClose(Descriptor &file, QByteArrayView bytes);
int rename(int folder, const QByteArray &from, const QByteArray &to);
void remove(int folder, const QByteArray &name);
// Commits everything written to the volume that holds the file.
int flushVolume(const Descriptor &file);

} // namespace FileSystem
