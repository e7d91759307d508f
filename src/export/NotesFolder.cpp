#include "NotesFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace {

std::filesystem::path fileSystemPath(const QString &path)
{
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

QString reasonOf(const std::error_code &error)
{
    return QString::fromLocal8Bit(error.message());
}

// Creates one folder level; an existing folder is fine.
std::optional<FileError> makeFolder(const QString &action, const QString &path)
{
    std::error_code error;
    std::filesystem::create_directory(fileSystemPath(path), error);
    if (error)
        return FileError{action, path, reasonOf(error)};
    return std::nullopt;
}

// `notePath` names the note in the message even when `file` is its temporary stand-in.
std::optional<FileError> writeWhole(QFile &file, const QByteArray &text, const QString &notePath)
{
    const bool written = file.write(text) == text.size();
    const QString reason = file.errorString();
    file.close();
    if (!written || file.error() != QFileDevice::NoError)
        return FileError{QStringLiteral("write the note"), notePath, reason};
    return std::nullopt;
}

} // namespace

QString FileError::message() const
{
    return QStringLiteral("Could not %1 \"%2\": %3.").arg(action, QDir::toNativeSeparators(path),
                                                          reason);
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
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered)) {
        exists = QFileInfo::exists(path) && !QFileInfo(path).isDir();
        if (exists)
            return std::nullopt;
        return FileError{QStringLiteral("create the note"), path, file.errorString()};
    }
    auto error = writeWhole(file, text, path);
    if (error)
        file.remove();
    return error;
}

// An older note is replaced only by a complete one: the new text goes to a
// temporary file beside it, which is then renamed over it.
std::optional<FileError> NotesFolder::replace(const QString &folder, const QString &path,
                                              const QByteArray &text)
{
    QFile temporary;
    do {
        temporary.setFileName(folder + QStringLiteral("/quillet-%1-%2.tmp")
                                           .arg(QCoreApplication::applicationPid())
                                           .arg(++m_temporaryCounter));
    } while (!temporary.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered) &&
             temporary.exists());
    if (!temporary.isOpen())
        return FileError{QStringLiteral("replace the note"), path, temporary.errorString()};
    if (auto error = writeWhole(temporary, text, path)) {
        temporary.remove();
        return error;
    }
    std::error_code renameError;
    std::filesystem::rename(fileSystemPath(temporary.fileName()), fileSystemPath(path),
                            renameError);
    if (renameError) {
        temporary.remove();
        return FileError{QStringLiteral("replace the note"), path, reasonOf(renameError)};
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
