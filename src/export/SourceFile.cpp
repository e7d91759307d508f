#include "SourceFile.h"

#include "FileSystem.h"

namespace {

QString notRegularReason(mode_t mode)
{
    if (S_ISDIR(mode))
        return QStringLiteral("it is a folder, not a memo export");
    return QStringLiteral("it is not a regular file (a named pipe or a device, for example)");
}

} // namespace

SourceFile::SourceFile(QString path) : m_path(std::move(path)) {}

std::optional<FileError> SourceFile::open()
{
    if (std::optional<QString> reason = openRegularFile())
        return FileError{QStringLiteral("open the export file"), m_path, *reason};
    if (std::optional<QString> reason = inspect())
        return FileError{QStringLiteral("read the export file"), m_path, *reason};
    return std::nullopt;
}

// Looks before it opens, and looks again at what it opened, in case the name
// was given to something else in between.
std::optional<QString> SourceFile::openRegularFile()
{
    const QByteArray path = FileSystem::nativeName(m_path);
    const Expected<struct stat, int> named = FileSystem::status(path);
    if (!named)
        return FileSystem::reason(named.error());
    if (!S_ISREG(named->st_mode))
        return notRegularReason(named->st_mode);
    Expected<FileSystem::Descriptor, int> file =
        FileSystem::openForReading(FileSystem::WorkingFolder, path);
    if (!file)
        return FileSystem::reason(file.error());
    const Expected<struct stat, int> opened = FileSystem::status(*file);
    if (!opened)
        return FileSystem::reason(opened.error());
    if (!S_ISREG(opened->st_mode))
        return notRegularReason(opened->st_mode);
    if (const int error = FileSystem::makeBlocking(*file))
        return FileSystem::reason(error);
    if (!m_file.open(file->release(), QIODevice::ReadOnly | QIODevice::Unbuffered,
                     QFileDevice::AutoCloseHandle))
        return m_file.errorString();
    return std::nullopt;
}

// One pass before the run: a NUL byte near the start means this is no text,
// and a source without a single CR but with LF went through a Unix tool, so
// LF ends its lines. The pass stops at the first CR after the checked start.
std::optional<QString> SourceFile::inspect()
{
    QByteArray chunk(CheckedLength, Qt::Uninitialized);
    qint64 position = 0;
    bool holdsCarriageReturn = false;
    bool holdsLineFeed = false;
    while (!holdsCarriageReturn || position < CheckedLength) {
        const qint64 got = m_file.read(chunk.data(), chunk.size());
        if (got < 0)
            return m_file.errorString();
        if (got == 0)
            break;
        const QByteArrayView read(chunk.constData(), got);
        if (position < CheckedLength &&
            read.first(qMin<qint64>(got, CheckedLength - position)).contains('\0'))
            return QStringLiteral("it is not a text export; it holds NUL bytes, as programs, "
                                  "pictures and UTF-16 text do");
        position += got;
        holdsCarriageReturn = holdsCarriageReturn || read.contains('\r');
        holdsLineFeed = holdsLineFeed || read.contains('\n');
    }
    m_lineEnd = holdsLineFeed && !holdsCarriageReturn ? LineEnd::LineFeed : LineEnd::CarriageReturn;
    if (!m_file.seek(0))
        return m_file.errorString();
    const Expected<std::optional<Separator>, QString> separator =
        SeparatedMemoReader::separatorOf(m_file);
    if (!separator)
        return separator.error();
    m_separator = *separator;
    return std::nullopt;
}
