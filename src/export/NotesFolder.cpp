#include "NotesFolder.h"

#include <QCoreApplication>
#include <QDir>
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
        if (written < 0 && errno != EINTR) {
            const int writeErrno = errno;
            ::close(descriptor);
            return qt_error_string(writeErrno);
        }
        done += qMax<ssize_t>(written, 0);
    }
    if (::close(descriptor) != 0)
        return qt_error_string(errno);
    return std::nullopt;
}

} // namespace

QString FileError::message() const
{
    return QStringLiteral("Could not %1 \"%2\": %3.")
        .arg(action, QDir::toNativeSeparators(path), reason);
}

NotesFolder::NotesFolder(const QString &root) : m_path(root + QStringLiteral("/Notes")) {}

std::optional<FileError> NotesFolder::prepare()
{
    return makeFolder(QStringLiteral("create the notes folder"), m_path);
}

std::optional<FileError> NotesFolder::write(const NotePath &note, const QByteArray &text)
{
    if (auto error = ensureCategory(note.category))
        return error;
    const QString folder =
        note.category.isEmpty() ? m_path : m_path + QLatin1Char('/') + note.category;
    const QString path = folder + QLatin1Char('/') + note.fileName;
    bool exists = false;
    if (auto error = writeNew(path, text, exists); error || !exists)
        return error;
    return replace(folder, path, text);
}

// Each category folder is checked once per run, not once per note.
std::optional<FileError> NotesFolder::ensureCategory(const QString &category)
{
    if (category.isEmpty() || m_readyCategories.contains(category))
        return std::nullopt;
    if (auto error = makeFolder(QStringLiteral("create the category folder"),
                                m_path + QLatin1Char('/') + category))
        return error;
    m_readyCategories.insert(category);
    return std::nullopt;
}

// Writes a note that does not exist yet; `exists` tells the caller to replace
// an older one instead. A new note that cannot be written whole is removed.
std::optional<FileError> NotesFolder::writeNew(const QString &path, const QByteArray &text,
                                               bool &exists)
{
    const QByteArray native = nativePath(path);
    const int descriptor = createExclusive(native);
    if (descriptor < 0) {
        const int openErrno = errno;
        const bool isFolder = QFileInfo(path).isDir();
        exists = openErrno == EEXIST && !isFolder;
        if (exists)
            return std::nullopt;
        return FileError{QStringLiteral("create the note"), path,
                         qt_error_string(isFolder ? EISDIR : openErrno)};
    }
    if (std::optional<QString> reason = writeAndClose(descriptor, text)) {
        ::unlink(native.constData());
        return FileError{QStringLiteral("write the note"), path, *reason};
    }
    return std::nullopt;
}

// An older note is replaced only by a complete one: the new text goes to a
// temporary file beside it, which is then renamed over it.
std::optional<FileError> NotesFolder::replace(const QString &folder, const QString &path,
                                              const QByteArray &text)
{
    QByteArray temporary;
    int descriptor;
    do {
        temporary = nativePath(folder + QStringLiteral("/quillet-%1-%2.tmp")
                                            .arg(QCoreApplication::applicationPid())
                                            .arg(++m_temporaryCounter));
        descriptor = createExclusive(temporary);
    } while (descriptor < 0 && errno == EEXIST);
    if (descriptor < 0)
        return FileError{QStringLiteral("replace the note"), path, qt_error_string(errno)};
    std::optional<QString> reason = writeAndClose(descriptor, text);
    if (!reason && ::rename(temporary.constData(), nativePath(path).constData()) != 0)
        reason = qt_error_string(errno);
    if (reason) {
        ::unlink(temporary.constData());
        return FileError{QStringLiteral("replace the note"), path, *reason};
    }
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
