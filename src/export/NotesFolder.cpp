#include "NotesFolder.h"

#include "NoteNamer.h"
#include "TextDecoder.h"

#include <QCoreApplication>
#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

// No folder holds this many temporary files of ours; a device that says
// otherwise is broken.
constexpr int TemporaryAttempts = 1000;
// Category folders kept open at once, far below any limit of open files.
constexpr std::size_t MaximumOpenFolders = 64;

constexpr QByteArrayView TemporaryPrefix("quillet-unfinished-");
constexpr QByteArrayView TemporarySuffix(".tmp");

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

Unexpected<FileError> failure(const QString &sentence, const QString &path, int errorNumber)
{
    return {FileError{sentence, path, FileSystem::reason(errorNumber)}};
}

QString folderNotCreated()
{
    return QCoreApplication::translate("NotesFolder",
                                       "Could not create the category folder \"%1\": %2.");
}

QString noteNotCreated()
{
    return QCoreApplication::translate("NotesFolder", "Could not create the note \"%1\": %2.");
}

QByteArray temporaryName(qint64 number)
{
    return TemporaryPrefix.toByteArray() + QByteArray::number(number) +
           TemporarySuffix.toByteArray();
}

// A device that reports a full volume with an error of its own (fusefat says
// EPERM) still shows it in its free space.
bool isOutOfRoom(int errorNumber, const FileSystem::Descriptor &folder, qint64 needed)
{
    if (errorNumber == ENOSPC || errorNumber == EDQUOT)
        return true;
    const Expected<qint64, int> free = FileSystem::freeBytes(folder);
    return free && *free < needed;
}

Expected<void, int> rewriteInPlace(int at, const QByteArray &name, const QByteArray &text)
{
    Expected<FileSystem::Descriptor, int> file = FileSystem::openForRewriting(at, name);
    if (!file)
        return Unexpected<int>{file.error()};
    return FileSystem::rewriteAndClose(*file, text);
}

} // namespace

NotesFolder::NotesFolder(const QString &destinationFolder)
    : m_path(withoutTrailingSeparators(destinationFolder) + QStringLiteral("/Notes"))
{
}

bool NotesFolder::isTemporaryName(QByteArrayView name)
{
    if (!name.startsWith(TemporaryPrefix) || !name.endsWith(TemporarySuffix))
        return false;
    const QByteArrayView number = name.sliced(
        TemporaryPrefix.size(), name.size() - TemporaryPrefix.size() - TemporarySuffix.size());
    return !number.isEmpty() &&
           std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; });
}

FileError NotesFolder::nameTooLong(const NotePath &note, NoteOutcome refusal) const
{
    if (refusal == NoteOutcome::FolderNameTooLong)
        return FileError{folderNotCreated(), displayPath() + note.folder,
                         FileSystem::reason(ENAMETOOLONG)};
    return FileError{noteNotCreated(), pathOf(note), FileSystem::reason(ENAMETOOLONG)};
}

Expected<void, FileError> NotesFolder::prepare()
{
    const QByteArray path = FileSystem::nativeName(m_path);
    const Expected<void, int> made = FileSystem::makeFolder(FileSystem::WorkingFolder, path);
    if (!made && made.error() != EEXIST)
        return failure(QCoreApplication::translate("NotesFolder",
                                                   "Could not create the notes folder \"%1\": %2."),
                       m_path, made.error());
    Expected<FileSystem::Descriptor, int> opened =
        FileSystem::openFolder(FileSystem::WorkingFolder, path);
    if (!opened && FileSystem::isLink(FileSystem::WorkingFolder, path))
        return Unexpected<FileError>{FileError{
            QCoreApplication::translate("NotesFolder",
                                        "Could not open the notes folder \"%1\": %2."),
            m_path,
            QCoreApplication::translate(
                "NotesFolder",
                "it is a link to another place; Quillet writes only into a real folder")}};
    if (!opened)
        return failure(QCoreApplication::translate("NotesFolder",
                                                   "Could not open the notes folder \"%1\": %2."),
                       m_path, opened.error());
    // A device that cannot lock (some network file systems) is written to
    // without the lock rather than not at all.
    const Expected<void, int> locked = FileSystem::lockExclusively(*opened);
    if (!locked && locked.error() == EWOULDBLOCK)
        return Unexpected<FileError>{FileError{
            QCoreApplication::translate("NotesFolder", "Could not write the notes to \"%1\": %2."),
            m_path,
            QCoreApplication::translate("NotesFolder",
                                        "another export is writing into this folder")}};
    Folder notes{{}, displayPath(), std::move(*opened), {}};
    if (!made) {
        if (Expected<void, FileError> listed = listEarlierNames(notes); !listed)
            return listed;
    }
    m_byName.insert(QString(), &m_folders.emplace_back(std::move(notes)));
    return {};
}

// A folder made by this run is empty; one that was there is listed once, and
// the temporary files a run that was cut off left in it are removed.
Expected<void, FileError> NotesFolder::listEarlierNames(Folder &folder)
{
    const Expected<QList<QByteArray>, int> names = FileSystem::entryNames(folder.descriptor);
    if (!names)
        return failure(
            QCoreApplication::translate("NotesFolder", "Could not list the folder \"%1\": %2."),
            folder.path, names.error());
    folder.earlierNames.reserve(names->size());
    for (const QByteArray &name : *names) {
        if (isTemporaryName(name))
            FileSystem::remove(folder.descriptor.get(), name);
        else
            folder.earlierNames.insert(NoteNamer::caseKey(TextDecoder::decode(name)));
    }
    return {};
}

Expected<NoteOutcome, FileError> NotesFolder::write(const NotePath &note, const QByteArray &text)
{
    NoteOutcome refusal = NoteOutcome::FolderTaken;
    const Expected<Folder *, FileError> folder = categoryFolder(note.folder, refusal);
    if (!folder)
        return Unexpected<FileError>{folder.error()};
    if (!*folder)
        return refusal;
    const Expected<int, FileError> at = descriptorOf(**folder);
    if (!at)
        return Unexpected<FileError>{at.error()};
    FileSystem::setNativeName(m_name, note.fileName);
    const QByteArray &name = m_name;
    const QSet<QString> &earlier = (*folder)->earlierNames;
    if (!earlier.isEmpty() && earlier.contains(NoteNamer::caseKey(note.fileName)))
        return writeOverEarlier(**folder, *at, name, text);
    return writeNew(**folder, *at, name, text);
}

// Each category folder is made once per run, and its notes are written
// relative to it, which spares the system a path walk per note.
Expected<NotesFolder::Folder *, FileError> NotesFolder::categoryFolder(const QString &name,
                                                                       NoteOutcome &refusal)
{
    if (Folder *known = m_byName.value(name))
        return known;
    const Folder &notes = m_folders.front();
    const QByteArray nativeName = FileSystem::nativeName(name);
    const QString path = notes.path + name + QLatin1Char('/');
    const Expected<void, int> made = FileSystem::makeFolder(notes.descriptor.get(), nativeName);
    if (!made && made.error() == ENAMETOOLONG) {
        refusal = NoteOutcome::FolderNameTooLong;
        return nullptr;
    }
    if (!made && made.error() != EEXIST)
        return failure(folderNotCreated(), path, made.error());
    // Not there before the run, so this run made it, under another name.
    if (!made && !notes.earlierNames.contains(NoteNamer::caseKey(name)))
        return nullptr;
    Expected<FileSystem::Descriptor, int> opened =
        FileSystem::openFolder(notes.descriptor.get(), nativeName);
    // A file, or a link that may lead anywhere, holds the name.
    if (!opened && (opened.error() == ENOTDIR || opened.error() == ELOOP))
        return nullptr;
    if (!opened)
        return failure(QCoreApplication::translate(
                           "NotesFolder", "Could not open the category folder \"%1\": %2."),
                       path, opened.error());
    Folder folder{nativeName, path, std::move(*opened), {}};
    if (!made) {
        if (Expected<void, FileError> listed = listEarlierNames(folder); !listed)
            return Unexpected<FileError>{listed.error()};
    }
    Folder *kept = keepOpen(std::move(folder));
    m_byName.insert(name, kept);
    return kept;
}

NotesFolder::Folder *NotesFolder::keepOpen(Folder &&folder)
{
    Folder &kept = m_folders.emplace_back(std::move(folder));
    countOpen(kept);
    return &kept;
}

// The folder opened longest ago is closed when too many are open.
void NotesFolder::countOpen(Folder &folder)
{
    m_openFolders.push_back(&folder);
    if (m_openFolders.size() > MaximumOpenFolders) {
        m_openFolders.front()->descriptor.close();
        m_openFolders.pop_front();
    }
}

// A folder closed to keep descriptors free is opened again, never through a
// link that may have taken its place meanwhile.
Expected<int, FileError> NotesFolder::descriptorOf(Folder &folder)
{
    if (folder.descriptor.isOpen())
        return folder.descriptor.get();
    Expected<FileSystem::Descriptor, int> opened =
        FileSystem::openFolder(m_folders.front().descriptor.get(), folder.name);
    if (!opened)
        return failure(QCoreApplication::translate(
                           "NotesFolder", "Could not open the category folder \"%1\": %2."),
                       folder.path, opened.error());
    folder.descriptor = std::move(*opened);
    countOpen(folder);
    return folder.descriptor.get();
}

// A name the folder did not hold before the run: the device finding it taken
// means this run wrote it already under a name it takes as the same, or made
// a folder there.
Expected<NoteOutcome, FileError>
NotesFolder::writeNew(const Folder &folder, int at, const QByteArray &name, const QByteArray &text)
{
    Expected<FileSystem::Descriptor, int> file = FileSystem::createNew(at, name);
    if (!file && file.error() == EEXIST)
        return NoteOutcome::NameTaken;
    if (!file && file.error() == ENAMETOOLONG)
        return NoteOutcome::NameTooLong;
    if (!file)
        return failure(noteNotCreated(), pathIn(folder.path, name), file.error());
    if (const Expected<void, int> written = FileSystem::writeAllAndClose(*file, text); !written) {
        FileSystem::remove(at, name);
        return failure(
            QCoreApplication::translate("NotesFolder", "Could not write the note \"%1\": %2."),
            pathIn(folder.path, name), written.error());
    }
    return NoteOutcome::Written;
}

// A name the folder held before the run: an older note is left as it is when
// it holds these bytes already and replaced otherwise; a folder keeps its name.
// Whatever the name is, it is looked at and replaced without following a link.
Expected<NoteOutcome, FileError> NotesFolder::writeOverEarlier(const Folder &folder, int at,
                                                               const QByteArray &name,
                                                               const QByteArray &text)
{
    Expected<FileSystem::Descriptor, int> older =
        FileSystem::openForReading(at, name, FileSystem::Links::Refuse);
    if (!older && older.error() == ENOENT)
        return writeNew(folder, at, name, text);
    qint64 olderSize = -1; // of an older note; a link or anything else has none
    if (older) {
        const Expected<struct stat, int> info = FileSystem::status(*older);
        if (info && S_ISDIR(info->st_mode))
            return NoteOutcome::NameTaken;
        if (info && S_ISREG(info->st_mode)) {
            if (info->st_size == text.size() && holdsExactly(*older, text))
                return NoteOutcome::Unchanged;
            olderSize = info->st_size;
        }
    }
    return replace(folder, at, name, text, olderSize);
}

bool NotesFolder::holdsExactly(const FileSystem::Descriptor &file, const QByteArray &text)
{
    m_readBuffer.resize(text.size());
    const Expected<qsizetype, int> got =
        FileSystem::readFully(file, m_readBuffer.data(), m_readBuffer.size());
    return got && *got == text.size() &&
           std::memcmp(m_readBuffer.constData(), text.constData(), text.size()) == 0;
}

// An older note is replaced only by a complete one, through a temporary file
// beside it. On a full device, where there is no room for that copy, a note
// whose new text is no longer than its older one is written over in place.
Expected<NoteOutcome, FileError> NotesFolder::replace(const Folder &folder, int at,
                                                      const QByteArray &name,
                                                      const QByteArray &text, qint64 olderSize)
{
    const Expected<void, int> replaced = replaceThroughTemporary(at, name, text);
    if (replaced)
        return NoteOutcome::Written;
    const FileSystem::Descriptor &volume = m_folders.front().descriptor;
    if (text.size() <= olderSize && isOutOfRoom(replaced.error(), volume, text.size())) {
        const Expected<void, int> rewritten = rewriteInPlace(at, name, text);
        if (rewritten)
            return NoteOutcome::Written;
        return failure(
            QCoreApplication::translate("NotesFolder", "Could not replace the note \"%1\": %2."),
            pathIn(folder.path, name), rewritten.error());
    }
    return failure(
        QCoreApplication::translate("NotesFolder", "Could not replace the note \"%1\": %2."),
        pathIn(folder.path, name), replaced.error());
}

Expected<void, int> NotesFolder::replaceThroughTemporary(int at, const QByteArray &name,
                                                         const QByteArray &text)
{
    QByteArray temporary;
    Expected<FileSystem::Descriptor, int> file = Unexpected<int>{EEXIST};
    for (int attempt = 0; attempt < TemporaryAttempts && !file && file.error() == EEXIST;
         ++attempt) {
        temporary = temporaryName(++m_temporaryCounter);
        file = FileSystem::createNew(at, temporary);
    }
    if (!file)
        return Unexpected<int>{file.error()};
    Expected<void, int> outcome = FileSystem::writeAllAndClose(*file, text);
    if (outcome)
        outcome = FileSystem::rename(at, temporary, name);
    if (!outcome)
        FileSystem::remove(at, temporary);
    return outcome;
}

// One syncfs for the whole volume: a sync per note makes a USB player crawl.
Expected<void, FileError> NotesFolder::flush()
{
    if (m_folders.empty())
        return {};
    if (const Expected<void, int> flushed = FileSystem::flushVolume(m_folders.front().descriptor);
        !flushed)
        return failure(
            QCoreApplication::translate("NotesFolder", "Could not flush the notes to \"%1\": %2."),
            displayPath(), flushed.error());
    return {};
}

qint64 NotesFolder::countNoteFiles() const
{
    if (m_folders.empty())
        return 0;
    return FileSystem::countFilesBelow(m_folders.front().descriptor,
                                       [](QByteArrayView name) { return !isTemporaryName(name); });
}
