#include "SourceFile.h"

#include <QCoreApplication>

namespace {

Unexpected<QString> notRegular(mode_t mode)
{
    if (S_ISDIR(mode))
        return {QCoreApplication::translate("SourceFile", "it is a folder, not a memo export")};
    return {QCoreApplication::translate(
        "SourceFile", "it is not a regular file (a named pipe or a device, for example)")};
}

Unexpected<QString> systemFailure(int errorNumber)
{
    return {FileSystem::reason(errorNumber)};
}

bool sameTime(const timespec &one, const timespec &other)
{
    return one.tv_sec == other.tv_sec && one.tv_nsec == other.tv_nsec;
}

} // namespace

QString SourceFile::readFailure()
{
    return QCoreApplication::translate("SourceFile", "Could not read the export file \"%1\": %2.");
}

SourceFile::SourceFile(QString path) : m_path(std::move(path)) {}

Expected<void, FileError> SourceFile::open()
{
    if (const Expected<void, QString> opened = openRegularFile(); !opened)
        return Unexpected<FileError>{FileError{
            QCoreApplication::translate("SourceFile", "Could not open the export file \"%1\": %2."),
            m_path, opened.error()}};
    if (const Expected<void, QString> inspected = inspect(); !inspected)
        return Unexpected<FileError>{FileError{readFailure(), m_path, inspected.error()}};
    return {};
}

Expected<void, FileError> SourceFile::checkReadWhole()
{
    const Expected<struct stat, int> now = FileSystem::status(m_descriptor);
    if (!now)
        return Unexpected<FileError>{
            FileError{readFailure(), m_path, FileSystem::reason(now.error())}};
    if (now->st_size != m_opened.st_size || !sameTime(now->st_mtim, m_opened.st_mtim) ||
        m_file.pos() < m_opened.st_size)
        return Unexpected<FileError>{FileError{
            readFailure(), m_path,
            QCoreApplication::translate("SourceFile", "it changed while it was being read")}};
    return {};
}

// Looks before it opens, and looks again at what it opened, in case the name
// was given to something else in between.
Expected<void, QString> SourceFile::openRegularFile()
{
    const QByteArray path = FileSystem::nativeName(m_path);
    const Expected<struct stat, int> named = FileSystem::status(path);
    if (!named)
        return systemFailure(named.error());
    if (!S_ISREG(named->st_mode))
        return notRegular(named->st_mode);
    Expected<FileSystem::Descriptor, int> file =
        FileSystem::openForReading(FileSystem::WorkingFolder, path, FileSystem::Links::Follow);
    if (!file)
        return systemFailure(file.error());
    const Expected<struct stat, int> opened = FileSystem::status(*file);
    if (!opened)
        return systemFailure(opened.error());
    if (!S_ISREG(opened->st_mode))
        return notRegular(opened->st_mode);
    if (const Expected<void, int> blocking = FileSystem::makeBlocking(*file); !blocking)
        return systemFailure(blocking.error());
    m_descriptor = std::move(*file);
    m_opened = *opened;
    if (!m_file.open(m_descriptor.get(), QIODevice::ReadOnly | QIODevice::Unbuffered,
                     QFileDevice::DontCloseHandle))
        return Unexpected<QString>{m_file.errorString()};
    return {};
}

// One pass before the run: a NUL byte near the start means this is no text,
// and a source without a single CR but with LF went through a Unix tool, so
// LF ends its lines. The pass stops at the first CR after the checked start.
Expected<void, QString> SourceFile::inspect()
{
    QByteArray chunk(CheckedLength, Qt::Uninitialized);
    qint64 position = 0;
    bool holdsCarriageReturn = false;
    bool holdsLineFeed = false;
    while (!holdsCarriageReturn || position < CheckedLength) {
        const qint64 got = m_file.read(chunk.data(), chunk.size());
        if (got < 0)
            return Unexpected<QString>{m_file.errorString()};
        if (got == 0)
            break;
        const QByteArrayView read(chunk.constData(), got);
        if (position < CheckedLength &&
            read.first(qMin<qint64>(got, CheckedLength - position)).contains('\0'))
            return Unexpected<QString>{QCoreApplication::translate(
                "SourceFile", "it is not a text export; it holds NUL bytes, as programs, pictures "
                              "and UTF-16 text do")};
        position += got;
        holdsCarriageReturn = holdsCarriageReturn || read.contains('\r');
        holdsLineFeed = holdsLineFeed || read.contains('\n');
    }
    m_lineEnd = holdsLineFeed && !holdsCarriageReturn ? LineEnd::LineFeed : LineEnd::CarriageReturn;
    if (!m_file.seek(0))
        return Unexpected<QString>{m_file.errorString()};
    const Expected<std::optional<Separator>, QString> separator =
        SeparatedMemoReader::separatorOf(m_file);
    if (!separator)
        return Unexpected<QString>{separator.error()};
    m_separator = *separator;
    return {};
}
