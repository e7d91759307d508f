#include "NotesFolder.h"

#include "NoteNamer.h"
#include "TextDecoder.h"

#include <QCoreApplication>
#include <cerrno>
#include <cstring>

namespace {

// No folder holds this many temporary files of ours; a device that says
// otherwise is broken.
constexpr int TemporaryAttempts = 1000;

// "/media/me/IPOD/" and "/media/me/IPOD" are one folder; "/" gives "/Notes".
QString withoutTrailingSeparators(QString folder)
{
    while (folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    return folder;
}

QString pathIn(const QString &folderPath, const QByteArray &name)
{
    return folderPath + TextDecoder::decode(name);
}

Unexpected<FileError> failure(const QString &action, const QString &path, int errorNumber)
{
    return {FileError{action, path, FileSystem::reason(errorNumber)}};
}

} // namespace

NotesFolder::NotesFolder(const QString &destinationFolder)
    : m_path(withoutTrailingSeparators(destinationFolder) + QStringLiteral("/Notes"))
{
}

std::optional<FileError> NotesFolder::prepare()
{
    const QByteArray path = FileSystem::nativeName(m_path);
    const int made = FileSystem::makeFolder(FileSystem::WorkingFolder, path);
    if (made != 0 && made != EEXIST)
        return FileError{QStringLiteral("create the notes folder"), m_path,
                         FileSystem::reason(made)};
    Expected<FileSystem::Descriptor, int> opened =
        FileSystem::openFolder(FileSystem::WorkingFolder, path);
    if (!opened)
        return FileError{QStringLiteral("open the notes folder"), m_path,
                         FileSystem::reason(opened.error())};
    Folder notes{std::move(*opened), displayPath(), {}};
    if (made == EEXIST) {
        if (std::optional<FileError> error = listEarlierNames(notes))
            return error;
    }
    m_byName.insert(QString(), &m_folders.emplace_back(std::move(notes)));
    return std::nullopt;
}

// A folder made by this run is empty; one that was there is listed once.
std::optional<FileError> NotesFolder::listEarlierNames(Folder &folder)
{
    const Expected<QList<QByteArray>, int> names = FileSystem::entryNames(folder.descriptor);
    if (!names)
        return FileError{QStringLiteral("list the folder"), folder.path,
                         FileSystem::reason(names.error())};
    folder.earlierNames.reserve(names->size());
    for (const QByteArray &name : *names)
        folder.earlierNames.insert(NoteNamer::caseKey(TextDecoder::decode(name)));
    return std::nullopt;
}

Expected<NoteOutcome, FileError> NotesFolder::write(const NotePath &note, const QByteArray &text)
{
    Expected<Folder *, FileError> folder = categoryFolder(note.folder);
    if (!folder)
        return Unexpected<FileError>{folder.error()};
    if (!*folder)
        return NoteOutcome::FolderTaken;
    FileSystem::setNativeName(m_name, note.fileName);
    const QByteArray &name = m_name;
    const QSet<QString> &earlier = (*folder)->earlierNames;
    if (!earlier.isEmpty() && earlier.contains(NoteNamer::caseKey(note.fileName)))
        return writeOverEarlier(**folder, name, text);
    return writeNew(**folder, name, text);
}

// Each category folder is made and opened once per run; its notes are then
// written relative to it, which spares the system a path walk per note.
Expected<NotesFolder::Folder *, FileError> NotesFolder::categoryFolder(const QString &name)
{
    if (Folder *known = m_byName.value(name))
        return known;
    const Folder &notes = m_folders.front();
    const QByteArray nativeName = FileSystem::nativeName(name);
    const QString path = notes.path + name + QLatin1Char('/');
    const int made = FileSystem::makeFolder(notes.descriptor.get(), nativeName);
    if (made != 0 && made != EEXIST)
        return failure(QStringLiteral("create the category folder"), path, made);
    // Not there before the run, so this run made it, under another name.
    if (made == EEXIST && !notes.earlierNames.contains(NoteNamer::caseKey(name)))
        return nullptr;
    Expected<FileSystem::Descriptor, int> opened =
        FileSystem::openFolder(notes.descriptor.get(), nativeName);
    if (!opened && opened.error() == ENOTDIR)
        return nullptr;
    if (!opened)
        return failure(QStringLiteral("open the category folder"), path, opened.error());
    Folder folder{std::move(*opened), path, {}};
    if (made == EEXIST) {
        if (std::optional<FileError> error = listEarlierNames(folder))
            return Unexpected<FileError>{*error};
    }
    Folder *kept = &m_folders.emplace_back(std::move(folder));
    m_byName.insert(name, kept);
    return kept;
}

// A name the folder did not hold before the run: the device finding it taken
// means this run wrote it already under a name it takes as the same, or made
// a folder there.
Expected<NoteOutcome, FileError> NotesFolder::writeNew(const Folder &folder, const QByteArray &name,
                                                       const QByteArray &text)
{
    Expected<FileSystem::Descriptor, int> file =
        FileSystem::createNew(folder.descriptor.get(), name);
    if (!file && file.error() == EEXIST)
        return NoteOutcome::NameTaken;
    if (!file)
        return failure(QStringLiteral("create the note"), pathIn(folder.path, name), file.error());
    if (const int error = FileSystem::writeAllAndClose(*file, text)) {
        FileSystem::remove(folder.descriptor.get(), name);
        return failure(QStringLiteral("write the note"), pathIn(folder.path, name), error);
    }
    return NoteOutcome::Written;
}

// A name the folder held before the run: an older note is left as it is when
// it holds these bytes already and replaced otherwise; a folder keeps its name.
Expected<NoteOutcome, FileError>
NotesFolder::writeOverEarlier(const Folder &folder, const QByteArray &name, const QByteArray &text)
{
    Expected<FileSystem::Descriptor, int> older =
        FileSystem::openForReading(folder.descriptor.get(), name);
    if (!older && older.error() == ENOENT)
        return writeNew(folder, name, text);
    if (older) {
        const Expected<struct stat, int> info = FileSystem::status(*older);
        if (info && S_ISDIR(info->st_mode))
            return NoteOutcome::NameTaken;
        if (info && S_ISREG(info->st_mode) && info->st_size == text.size() &&
            holdsExactly(*older, text))
            return NoteOutcome::Unchanged;
    }
    return replace(folder, name, text);
}

bool NotesFolder::holdsExactly(const FileSystem::Descriptor &file, const QByteArray &text)
{
    m_readBuffer.resize(text.size());
    const Expected<qsizetype, int> got =
        FileSystem::readFully(file, m_readBuffer.data(), m_readBuffer.size());
    return got && *got == text.size() &&
           std::memcmp(m_readBuffer.constData(), text.constData(), text.size()) == 0;
}

// An older note is replaced only by a complete one: the new text goes to a
// temporary file beside it, which is then renamed over it.
Expected<NoteOutcome, FileError> NotesFolder::replace(const Folder &folder, const QByteArray &name,
                                                      const QByteArray &text)
{
    const int at = folder.descriptor.get();
    const QByteArray prefix = "quillet-" + QByteArray::number(QCoreApplication::applicationPid());
    QByteArray temporary;
    Expected<FileSystem::Descriptor, int> file = Unexpected<int>{EEXIST};
    for (int attempt = 0; attempt < TemporaryAttempts && !file && file.error() == EEXIST;
         ++attempt) {
        temporary = prefix + '-' + QByteArray::number(++m_temporaryCounter) + ".tmp";
        file = FileSystem::createNew(at, temporary);
    }
    if (!file)
        return failure(QStringLiteral("replace the note"), pathIn(folder.path, name), file.error());
    int error = FileSystem::writeAllAndClose(*file, text);
    if (error == 0)
        error = FileSystem::rename(at, temporary, name);
    if (error != 0) {
        FileSystem::remove(at, temporary);
        return failure(QStringLiteral("replace the note"), pathIn(folder.path, name), error);
    }
    return NoteOutcome::Written;
}

// One syncfs for the whole volume: a sync per note makes a USB player crawl.
std::optional<FileError> NotesFolder::flush()
{
    if (m_folders.empty())
        return std::nullopt;
    if (const int error = FileSystem::flushVolume(m_folders.front().descriptor))
        return FileError{QStringLiteral("flush the notes to"), displayPath(),
                         FileSystem::reason(error)};
    return std::nullopt;
}

qint64 NotesFolder::countNoteFiles() const
{
    return m_folders.empty() ? 0 : FileSystem::countFilesBelow(m_folders.front().descriptor);
}
