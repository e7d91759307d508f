#include "NotesFolder.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace {

QByteArray nativePath(const QString &path)
{
    return QFile::encodeName(path);
}

// Creates one folder level; an existing folder is fine.
std::optional<FileError> makeFolder(const QString &action, const QString &path)
{
    std::error_code error;
    std::filesystem::create_directory(std::filesystem::path(nativePath(path).toStdString()), error);
    if (error)
        return FileError{action, path, QString::fromLocal8Bit(error.message())};
    return std::nullopt;
}

// Opens a file that must not exist yet.
int createExclusive(const QByteArray &path)
{
    int descriptor;
    do {
        descriptor = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    } while (descriptor < 0 && errno == EINTR);
    return descriptor;
}

// Writes all of `text` and closes the file; the system's reason on failure.
std::optional<QString> writeAndClose(int descriptor, const QByteArray &text)
{
    for (qsizetype done = 0; done < text.size();) {
        const ssize_t written = ::write(descriptor, text.constData() + done, text.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        // A device that takes nothing more is full, whether it says so or not.
        if (written <= 0) {
            const int writeErrno = written < 0 ? errno : ENOSPC;
            ::close(descriptor);
            return qt_error_string(writeErrno);
        }
        done += written;
    }
    if (::close(descriptor) != 0)
        return qt_error_string(errno);
    return std::nullopt;
}

} // namespace

namespace {
// "/media/me/IPOD/" and "/media/me/IPOD" are one folder; "/" gives "/Notes".
QString withoutTrailingSeparators(QString folder)
{
    while (folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    return folder;
}
} // namespace

NotesFolder::NotesFolder(const QString &destinationFolder)
    : m_path(withoutTrailingSeparators(destinationFolder) + QStringLiteral("/Notes"))
{
    m_categoryFolders.insert(QString(), nativePath(m_path) + '/');
}

std::optional<FileError> NotesFolder::prepare()
{
    return makeFolder(QStringLiteral("create the notes folder"), m_path);
}

std::optional<FileError> NotesFolder::write(const NotePath &note, const QByteArray &text)
{
    QByteArray folder;
    if (auto error = ensureCategory(note.category, folder))
        return error;
    const QByteArray path = folder + nativePath(note.fileName);
    bool exists = false;
    if (auto error = writeNew(path, text, exists); error || !exists)
        return error;
    return replace(folder, path, text);
}

// Each category folder is made once per run, not once per note; `folder` is
// its native path with a trailing separator. The notes folder itself stands
// for the empty category.
std::optional<FileError> NotesFolder::ensureCategory(const QString &category, QByteArray &folder)
{
    if (const auto ready = m_categoryFolders.constFind(category);
        ready != m_categoryFolders.cend()) {
        folder = *ready;
        return std::nullopt;
    }
    const QString path = m_path + QLatin1Char('/') + category;
    if (auto error = makeFolder(QStringLiteral("create the category folder"), path))
        return error;
    folder = nativePath(path) + '/';
    m_categoryFolders.insert(category, folder);
    return std::nullopt;
}

// Writes a note that does not exist yet; `exists` tells the caller to replace
// an older one instead. A new note that cannot be written whole is removed.
std::optional<FileError> NotesFolder::writeNew(const QByteArray &path, const QByteArray &text,
                                               bool &exists)
{
    const int descriptor = createExclusive(path);
    if (descriptor < 0) {
        const int openErrno = errno;
        const bool isFolder = QFileInfo(QFile::decodeName(path)).isDir();
        exists = openErrno == EEXIST && !isFolder;
        if (exists)
            return std::nullopt;
        return FileError{QStringLiteral("create the note"), QFile::decodeName(path),
                         qt_error_string(isFolder ? EISDIR : openErrno)};
    }
    if (std::optional<QString> reason = writeAndClose(descriptor, text)) {
        ::unlink(path.constData());
        return FileError{QStringLiteral("write the note"), QFile::decodeName(path), *reason};
    }
    return std::nullopt;
}

// An older note is replaced only by a complete one: the new text goes to a
// temporary file beside it, which is then renamed over it.
std::optional<FileError> NotesFolder::replace(const QByteArray &folder, const QByteArray &path,
                                              const QByteArray &text)
{
    QByteArray temporary;
    int descriptor;
    do {
        temporary = folder + "quillet-" + QByteArray::number(QCoreApplication::applicationPid()) +
                    '-' + QByteArray::number(++m_temporaryCounter) + ".tmp";
        descriptor = createExclusive(temporary);
    } while (descriptor < 0 && errno == EEXIST);
    std::optional<QString> reason;
    if (descriptor < 0)
        reason = qt_error_string(errno);
    else if ((reason = writeAndClose(descriptor, text)) ||
             ::rename(temporary.constData(), path.constData()) != 0) {
        reason = reason.value_or(qt_error_string(errno));
        ::unlink(temporary.constData());
    }
    if (reason)
        return FileError{QStringLiteral("replace the note"), QFile::decodeName(path), *reason};
    return std::nullopt;
}

// One syncfs for the whole volume: a sync per note makes a USB player crawl.
std::optional<FileError> NotesFolder::flush()
{
    const int descriptor = ::open(QFile::encodeName(m_path).constData(), O_RDONLY | O_DIRECTORY);
    if (descriptor < 0)
        return FileError{QStringLiteral("flush the notes to"), displayPath(),
                         qt_error_string(errno)};
    const int result = ::syncfs(descriptor);
    const int syncErrno = errno;
    ::close(descriptor);
    if (result != 0)
        return FileError{QStringLiteral("flush the notes to"), displayPath(),
                         qt_error_string(syncErrno)};
    return std::nullopt;
}
