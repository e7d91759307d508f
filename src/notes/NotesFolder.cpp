#include "NotesFolder.h"

#include "FileNameRules.h"
#include "Limits.h"
#include "TextDecoder.h"

#include <QMap>
#include <QSet>
#include <algorithm>
#include <cstring>

namespace {

// No folder holds this many temporary files of ours; a device that says
// otherwise is broken.
constexpr int TemporaryAttempts = 1000;
// Category folders kept open at once, far below any limit of open files.
constexpr std::size_t MaximumOpenFolders = 64;

constexpr QByteArrayView TemporaryPrefix("quillet-unfinished-");
constexpr QByteArrayView TemporarySuffix(".tmp");

QByteArray temporaryName(qint64 number)
{
    return TemporaryPrefix.toByteArray() + QByteArray::number(number) +
           TemporarySuffix.toByteArray();
}

quint64 nameFingerprint(const QByteArray &nativeName)
{
    return FileNameRules::fingerprint(TextDecoder::decode(nativeName));
}

Result<void> rewriteInPlace(const FileSystem::Descriptor &folder, const QByteArray &name,
                            const QByteArray &text)
{
    Result<FileSystem::Descriptor> file = FileSystem::openForRewriting(folder, name);
    if (!file)
        return file.error();
    return FileSystem::rewriteAndClose(*file, text);
}

} // namespace

NotesFolder::NotesFolder(const Path &destinationFolder, NoteFolders &folders)
    : m_path(destinationFolder / u"Notes"), m_folders(folders), m_record(destinationFolder)
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

Path NotesFolder::pathOf(const NotePath &note) const
{
    return pathOf(*note.folder) / note.fileName;
}

Error NotesFolder::nameTooLong(const NotePath &note, NoteOutcome refusal) const
{
    if (refusal == NoteOutcome::FolderNameTooLong)
        return m_nameRefusal.during(Error::Action::CreateCategoryFolder, pathOf(*note.folder));
    return m_nameRefusal.during(Error::Action::CreateNote, pathOf(note));
}

Result<void> NotesFolder::prepare()
{
    const Result<void> made = FileSystem::makeFolder(m_path);
    if (!made && !made.error().is(Error::Condition::Exists))
        return made.error().during(Error::Action::CreateNotesFolder, m_path);
    Result<FileSystem::Descriptor> opened = FileSystem::openFolder(m_path);
    if (!opened && FileSystem::isLink(m_path))
        return Error(Error::Reason::NotesFolderIsLink)
            .during(Error::Action::OpenNotesFolder, m_path);
    if (!opened)
        return opened.error().during(Error::Action::OpenNotesFolder, m_path);
    // A device that cannot lock (some network file systems) is written to
    // without the lock rather than not at all.
    const Result<void> locked = FileSystem::lockExclusively(*opened);
    if (!locked && locked.error().is(Error::Condition::Busy))
        return Error(Error::Reason::AnotherExport).during(Error::Action::WriteNotes, m_path);
    NoteFolder &notes = m_folders.notesFolder();
    notes.descriptor = std::move(*opened);
    notes.onDevice = true;
    if (!made) {
        if (const Result<void> listed = listEarlierNames(notes); !listed)
            return listed.error();
    }
    if (const Result<void> loaded = m_record.load(); !loaded)
        return loaded.error();
    notes.madeByRun = made.hasValue();
    if (notes.madeByRun)
        return m_record.journalFolder(QString());
    return {};
}

// A folder made by this run is empty; one that was there is listed once, and
// the temporary files a run that was cut off left in it are removed.
Result<void> NotesFolder::listEarlierNames(NoteFolder &folder)
{
    const Result<QList<QByteArray>> names = FileSystem::entryNames(folder.descriptor);
    if (!names)
        return names.error().during(Error::Action::ListFolder, pathOf(folder));
    folder.earlier.reserve(names->size());
    for (const QByteArray &name : *names) {
        if (!isTemporaryName(name)) {
            folder.earlier.insert(nameFingerprint(name));
            continue;
        }
        if (const Result<void> removed = FileSystem::remove(folder.descriptor, name); !removed)
            return removed.error().during(Error::Action::RemoveLeftover,
                                          pathOf(folder) / TextDecoder::decode(name));
    }
    return {};
}

Result<NoteOutcome> NotesFolder::write(const NotePath &note, const QByteArray &text)
{
    NoteFolder &folder = *note.folder;
    if (!folder.onDevice) {
        const Result<std::optional<NoteOutcome>> refusal = makeOnDevice(folder);
        if (!refusal)
            return refusal.error();
        if (*refusal)
            return **refusal;
    }
    if (!folder.descriptor.isOpen()) {
        if (const Result<void> reopened = reopen(folder); !reopened)
            return reopened.error();
    }
    Path::encodeName(note.fileName, m_name);
    m_notePath.clear();
    Result<NoteOutcome> outcome =
        !folder.earlier.isEmpty() &&
                folder.earlier.contains(FileNameRules::fingerprint(note.fileName))
            ? writeOverEarlier(note, text)
            : writeNew(note, text);
    if (outcome && (*outcome == NoteOutcome::Written || *outcome == NoteOutcome::Unchanged))
        m_kept.append({&folder, note.fileName, NoteFingerprint::of(text)});
    return outcome;
}

Result<void> NotesFolder::rewrite(const NotePath &note, const QByteArray &text)
{
    NoteFolder &folder = *note.folder;
    if (!folder.descriptor.isOpen()) {
        if (const Result<void> reopened = reopen(folder); !reopened)
            return reopened.error();
    }
    Path::encodeName(note.fileName, m_name);
    if (const Result<void> replaced = replaceThroughTemporary(folder, text); !replaced)
        return replaced.error().during(Error::Action::ReplaceNote, pathOf(note));
    const auto kept = std::find_if(m_kept.rbegin(), m_kept.rend(), [&note](const KeptNote &kept) {
        return kept.folder == note.folder && kept.fileName == note.fileName;
    });
    if (kept != m_kept.rend())
        kept->fingerprint = NoteFingerprint::of(text);
    return {};
}

// Below the notes folder, joined once for the note being written and only
// where it is needed.
const QString &NotesFolder::pathOfNote(const NotePath &note)
{
    if (m_notePath.isEmpty())
        m_notePath = note.relativePath().toString();
    return m_notePath;
}

// The record learns of a note before it is created or changed. A folder the
// run made is in the journal already, and so are all the notes in it.
Result<void> NotesFolder::journal(const NotePath &note)
{
    if (m_folders.notesFolder().madeByRun || note.folder->madeByRun)
        return {};
    return m_record.journalNote(pathOfNote(note));
}

// Each category folder is made once per run, and its notes are written
// relative to it, which spares the system a path walk per note.
Result<std::optional<NoteOutcome>> NotesFolder::makeOnDevice(NoteFolder &folder)
{
    const NoteFolder &notes = m_folders.notesFolder();
    QByteArray name;
    Path::encodeName(folder.name, name);
    const Result<void> made = FileSystem::makeFolder(notes.descriptor, name);
    if (!made && made.error().is(Error::Condition::NameTooLong)) {
        m_nameRefusal = made.error();
        return std::optional(NoteOutcome::FolderNameTooLong);
    }
    if (!made && !made.error().is(Error::Condition::Exists))
        return made.error().during(Error::Action::CreateCategoryFolder, pathOf(folder));
    // Not there before the run, so this run made it, under another name.
    if (!made && !notes.earlier.contains(FileNameRules::fingerprint(folder.name)))
        return std::optional(NoteOutcome::FolderTaken);
    Result<FileSystem::Descriptor> opened = FileSystem::openFolder(notes.descriptor, name);
    // A file, or a link that may lead anywhere, holds the name.
    if (!opened && opened.error().is(Error::Condition::OtherKind))
        return std::optional(NoteOutcome::FolderTaken);
    if (!opened)
        return opened.error().during(Error::Action::OpenCategoryFolder, pathOf(folder));
    folder.descriptor = std::move(*opened);
    folder.onDevice = true;
    folder.madeByRun = made.hasValue();
    countOpen(folder);
    if (!made) {
        if (const Result<void> listed = listEarlierNames(folder); !listed)
            return listed.error();
    } else if (!m_folders.notesFolder().madeByRun) {
        if (const Result<void> journaled = m_record.journalFolder(folder.name); !journaled)
            return journaled.error();
    }
    return std::optional<NoteOutcome>();
}

// The folder opened longest ago is closed when too many are open.
void NotesFolder::countOpen(NoteFolder &folder)
{
    m_openFolders.push_back(&folder);
    if (m_openFolders.size() > MaximumOpenFolders) {
        // Only read through: close has nothing to report.
        static_cast<void>(m_openFolders.front()->descriptor.close());
        m_openFolders.pop_front();
    }
}

// A folder closed to keep descriptors free is opened again, never through a
// link that may have taken its place meanwhile.
Result<void> NotesFolder::reopen(NoteFolder &folder)
{
    QByteArray name;
    Path::encodeName(folder.name, name);
    Result<FileSystem::Descriptor> opened =
        FileSystem::openFolder(m_folders.notesFolder().descriptor, name);
    if (!opened)
        return opened.error().during(Error::Action::OpenCategoryFolder, pathOf(folder));
    folder.descriptor = std::move(*opened);
    countOpen(folder);
    return {};
}

// A name the folder did not hold before the run: the device finding it taken
// means this run wrote it already under a name it takes as the same, or made
// a folder there.
Result<NoteOutcome> NotesFolder::writeNew(const NotePath &note, const QByteArray &text)
{
    const FileSystem::Descriptor &folder = note.folder->descriptor;
    if (const Result<void> journaled = journal(note); !journaled)
        return journaled.error();
    Result<FileSystem::Descriptor> file = FileSystem::createNew(folder, m_name);
    if (!file && file.error().is(Error::Condition::Exists))
        return NoteOutcome::NameTaken;
    if (!file && file.error().is(Error::Condition::NameTooLong)) {
        m_nameRefusal = file.error();
        return NoteOutcome::NameTooLong;
    }
    if (!file)
        return file.error().during(Error::Action::CreateNote, pathOf(note));
    if (const Result<void> written = FileSystem::writeAllAndClose(*file, text); !written) {
        const Error failure = written.error().during(Error::Action::WriteNote, pathOf(note));
        if (const Result<void> removed = FileSystem::remove(folder, m_name); !removed)
            return failure.followedBy(
                removed.error().during(Error::Action::RemoveLeftover, pathOf(note)));
        return failure;
    }
    return NoteOutcome::Written;
}

// A name the folder held before the run: an older note is left as it is when
// it holds these bytes already and replaced otherwise; a folder keeps its name.
// Once there is a record, only Quillet's own older note is replaced: anything
// else there is the person's and keeps its name too. Whatever the name is, it
// is looked at and replaced without following a link.
Result<NoteOutcome> NotesFolder::writeOverEarlier(const NotePath &note, const QByteArray &text)
{
    Result<FileSystem::Descriptor> older =
        FileSystem::openForReading(note.folder->descriptor, m_name);
    if (!older && older.error().is(Error::Condition::Missing))
        return writeNew(note, text);
    // Of an older note; a link, or anything that cannot be read, has none.
    std::optional<FileSystem::Status> status;
    if (older) {
        if (const Result<FileSystem::Status> found = FileSystem::status(*older); found)
            status = *found;
    }
    if (status && status->kind == FileSystem::Status::Kind::Folder)
        return NoteOutcome::NameTaken;
    const bool isFile = status && status->kind == FileSystem::Status::Kind::File;
    // Exporting again finds most notes as they were: read first, asked after.
    bool read = false;
    if (isFile && status->size == text.size()) {
        read = readWhole(*older, status->size);
        if (read && m_readBuffer == text)
            return NoteOutcome::Unchanged;
    }
    if (!isQuillets(note, older, status, read))
        return NoteOutcome::NameTaken;
    return replace(note, text, isFile ? status->size : -1);
}

// Whether what the device holds under the note's name may be replaced: without
// a record anything may, as it always could; with one only Quillet's own note,
// named in the journal or recorded with the bytes it holds. `read` says that
// m_readBuffer holds it already.
bool NotesFolder::isQuillets(const NotePath &note, const Result<FileSystem::Descriptor> &older,
                             const std::optional<FileSystem::Status> &status, bool read)
{
    if (!m_record.exists())
        return true;
    const QString &path = pathOfNote(note);
    if (m_record.isJournaled(path))
        return true;
    if (!status || status->kind != FileSystem::Status::Kind::File ||
        !m_record.recordsSize(path, status->size))
        return false;
    if (!read && !readWhole(*older, status->size))
        return false;
    return m_record.owns(path, NoteFingerprint::of(m_readBuffer));
}

// The file's `size` bytes, into m_readBuffer; false where it cannot be read
// whole. A note that cannot be read is not known to hold any bytes.
bool NotesFolder::readWhole(const FileSystem::Descriptor &file, qint64 size)
{
    if (size > Limits::NoteBytes)
        return false;
    m_readBuffer.resize(size);
    const Result<qsizetype> got = FileSystem::readFully(file, m_readBuffer.data(), size);
    return got && *got == size;
}

// An older note is replaced only by a complete one, through a temporary file
// beside it. On a full device, where there is no room for that copy, a note
// whose new text is no longer than its older one is written over in place.
Result<NoteOutcome> NotesFolder::replace(const NotePath &note, const QByteArray &text,
                                         qint64 olderSize)
{
    const FileSystem::Descriptor &folder = note.folder->descriptor;
    if (const Result<void> journaled = journal(note); !journaled)
        return journaled.error();
    const Result<void> replaced = replaceThroughTemporary(*note.folder, text);
    if (replaced)
        return NoteOutcome::Written;
    Error failure = replaced.error();
    if (text.size() <= olderSize &&
        FileSystem::isOutOfRoom(failure, m_folders.notesFolder().descriptor, text.size())) {
        const Result<void> rewritten = rewriteInPlace(folder, m_name, text);
        if (rewritten)
            return NoteOutcome::Written;
        failure = rewritten.error();
    }
    return failure.during(Error::Action::ReplaceNote, pathOf(note));
}

Result<void> NotesFolder::replaceThroughTemporary(const NoteFolder &folder, const QByteArray &text)
{
    QByteArray temporary;
    Result<FileSystem::Descriptor> file = createTemporary(folder, temporary);
    if (!file)
        return file.error();
    Result<void> outcome = FileSystem::writeAllAndClose(*file, text);
    if (outcome)
        outcome = FileSystem::rename(folder.descriptor, temporary, m_name);
    if (outcome)
        return {};
    // A temporary file left here is removed by the next run.
    if (const Result<void> removed = FileSystem::remove(folder.descriptor, temporary); !removed)
        return outcome.error().followedBy(removed.error().during(
            Error::Action::RemoveLeftover, pathOf(folder) / TextDecoder::decode(temporary)));
    return outcome;
}

Result<FileSystem::Descriptor> NotesFolder::createTemporary(const NoteFolder &folder,
                                                            QByteArray &name)
{
    for (int attempt = 1;; ++attempt) {
        name = temporaryName(++m_temporaryCounter);
        Result<FileSystem::Descriptor> file = FileSystem::createNew(folder.descriptor, name);
        if (file || !file.error().is(Error::Condition::Exists) || attempt == TemporaryAttempts)
            return file;
    }
}

// One syncfs for the whole volume: a sync per note makes a USB player crawl.
Result<void> NotesFolder::flush()
{
    const NoteFolder &notes = m_folders.notesFolder();
    if (!notes.onDevice)
        return {};
    if (const Result<void> flushed = FileSystem::flushVolume(notes.descriptor); !flushed)
        return flushed.error().during(Error::Action::FlushNotes, m_path);
    return {};
}

Result<qint64> NotesFolder::countNoteFiles() const
{
    const NoteFolder &notes = m_folders.notesFolder();
    if (!notes.onDevice)
        return qint64(0);
    return FileSystem::countFilesBelow(notes.descriptor, m_path,
                                       [](QByteArrayView name) { return !isTemporaryName(name); });
}

Result<QList<RecordedNote>> NotesFolder::goneNotes()
{
    const NotesRecord &record = m_record;
    if (record.notes().isEmpty() && record.journaledNotes().isEmpty() &&
        record.journaledFolders().isEmpty())
        return QList<RecordedNote>();
    QSet<QString> kept;
    kept.reserve(m_kept.size());
    for (const KeptNote &note : std::as_const(m_kept))
        kept.insert(pathOf(note));
    QStringList candidates;
    for (const RecordedNote &note : record.notes())
        candidates << note.path;
    const Result<QStringList> journaled = journaledPaths();
    if (!journaled)
        return journaled.error();
    candidates += *journaled;
    candidates.removeIf([&kept](const QString &path) { return kept.contains(path); });
    candidates.removeDuplicates();
    Result<QList<RecordedNote>> gone = quilletNotesAmong(candidates);
    // In the order a person looks for them.
    if (gone)
        std::sort(gone->begin(), gone->end(),
                  [](const RecordedNote &one, const RecordedNote &other) {
                      return one.path.compare(other.path, Qt::CaseInsensitive) < 0;
                  });
    return gone;
}

Result<void> NotesFolder::saveRecord(const QList<RecordedNote> &others)
{
    QList<RecordLine> lines;
    lines.reserve(m_kept.size() + others.size());
    for (const KeptNote &note : std::as_const(m_kept))
        lines.append({note.folder->name, note.fileName, note.fingerprint});
    for (const RecordedNote &note : others)
        lines.append({{}, note.path, note.fingerprint});
    return m_record.save(lines);
}

QString NotesFolder::pathOf(const KeptNote &note)
{
    return note.folder->name.isEmpty() ? note.fileName : note.folder->name + u'/' + note.fileName;
}

// The notes the journal names, and those in the folders it names.
Result<QStringList> NotesFolder::journaledPaths()
{
    QStringList paths = m_record.journaledNotes();
    for (const QString &folder : m_record.journaledFolders()) {
        const Result<QStringList> files = filesIn(folder);
        if (!files)
            return files.error();
        paths += *files;
    }
    return paths;
}

// What a folder below the notes folder holds, as paths below the notes
// folder. For the notes folder itself ("") that is also what each category
// folder in it holds: a run that made the notes folder made them all.
Result<QStringList> NotesFolder::filesIn(const QString &folder)
{
    const Result<std::optional<FileSystem::Descriptor>> opened = openBelowNotes(folder);
    if (!opened)
        return opened.error();
    if (!*opened)
        return QStringList();
    const FileSystem::Descriptor &at =
        folder.isEmpty() ? m_folders.notesFolder().descriptor : **opened;
    const Result<QList<QByteArray>> names = FileSystem::entryNames(at);
    if (!names)
        return names.error().during(Error::Action::ListFolder, m_path / folder);
    QStringList files;
    for (const QByteArray &name : *names) {
        if (isTemporaryName(name))
            continue;
        const QString decoded = TextDecoder::decode(name);
        if (!folder.isEmpty()) {
            files << folder + u'/' + decoded;
            continue;
        }
        const Result<QStringList> inCategory = filesIn(decoded);
        if (!inCategory)
            return inCategory.error();
        files << decoded << *inCategory;
    }
    return files;
}

// Of the paths, those the device holds under exactly that name (where it
// ignores case, a note written again as "plan" is not the older "Plan"), as a
// regular file reached without a link, that are Quillet's, with what they hold.
Result<QList<RecordedNote>> NotesFolder::quilletNotesAmong(const QStringList &paths)
{
    QMap<QString, QStringList> byFolder;
    for (const QString &path : paths) {
        const qsizetype slash = path.lastIndexOf(u'/');
        byFolder[slash < 0 ? QString() : path.first(slash)] << path.sliced(slash + 1);
    }
    QList<RecordedNote> found;
    for (auto folder = byFolder.cbegin(); folder != byFolder.cend(); ++folder) {
        const Result<std::optional<FileSystem::Descriptor>> opened = openBelowNotes(folder.key());
        if (!opened)
            return opened.error();
        if (!*opened)
            continue;
        const FileSystem::Descriptor &at =
            folder.key().isEmpty() ? m_folders.notesFolder().descriptor : **opened;
        const Result<QList<QByteArray>> names = FileSystem::entryNames(at);
        if (!names)
            return names.error().during(Error::Action::ListFolder, m_path / folder.key());
        QSet<QString> listed;
        for (const QByteArray &name : *names)
            listed.insert(TextDecoder::decode(name));
        for (const QString &name : folder.value()) {
            const QString path = folder.key().isEmpty() ? name : folder.key() + u'/' + name;
            if (!listed.contains(name))
                continue;
            if (const std::optional<NoteFingerprint> fingerprint = fingerprintOf(at, name);
                fingerprint && m_record.owns(path, *fingerprint))
                found.append({path, *fingerprint});
        }
    }
    return found;
}

// A category folder below the notes folder, never through a link: nothing
// where none is there; nothing opened for the notes folder itself.
Result<std::optional<FileSystem::Descriptor>> NotesFolder::openBelowNotes(const QString &folder)
{
    if (folder.isEmpty())
        return std::optional(FileSystem::Descriptor());
    QByteArray name;
    Path::encodeName(folder, name);
    Result<FileSystem::Descriptor> opened =
        FileSystem::openFolder(m_folders.notesFolder().descriptor, name);
    if (!opened && (opened.error().is(Error::Condition::Missing) ||
                    opened.error().is(Error::Condition::OtherKind)))
        return std::optional<FileSystem::Descriptor>();
    if (!opened)
        return opened.error().during(Error::Action::OpenCategoryFolder, m_path / folder);
    return std::optional(std::move(*opened));
}

// What a regular file holds, reached without a link; nothing for anything else.
std::optional<NoteFingerprint> NotesFolder::fingerprintOf(const FileSystem::Descriptor &folder,
                                                          const QString &name)
{
    QByteArray nativeName;
    Path::encodeName(name, nativeName);
    const Result<FileSystem::Descriptor> file = FileSystem::openForReading(folder, nativeName);
    if (!file)
        return std::nullopt;
    const Result<FileSystem::Status> status = FileSystem::status(*file);
    if (!status || status->kind != FileSystem::Status::Kind::File ||
        !readWhole(*file, status->size))
        return std::nullopt;
    return NoteFingerprint::of(m_readBuffer);
}

// Each note only while it is still Quillet's; then each category folder that
// held one, where that left it empty. The record then forgets what went.
Result<NotesFolder::Removal> NotesFolder::remove(const QList<RecordedNote> &notes)
{
    Removal removal;
    QSet<QString> removed;
    QStringList emptied;
    for (const RecordedNote &note : notes) {
        const qsizetype slash = note.path.lastIndexOf(u'/');
        const QString folderName = slash < 0 ? QString() : note.path.first(slash);
        const QString name = note.path.sliced(slash + 1);
        const Result<std::optional<FileSystem::Descriptor>> opened = openBelowNotes(folderName);
        if (!opened) {
            removal.failures << opened.error();
            continue;
        }
        if (!*opened)
            continue;
        const FileSystem::Descriptor &folder =
            folderName.isEmpty() ? m_folders.notesFolder().descriptor : **opened;
        const std::optional<NoteFingerprint> fingerprint = fingerprintOf(folder, name);
        if (!fingerprint)
            continue; // gone already, or no note any more
        if (!m_record.owns(note.path, *fingerprint)) {
            removal.failures << Error(Error::Reason::ChangedSinceExport)
                                    .during(Error::Action::RemoveNote, m_path / note.path);
            continue;
        }
        QByteArray nativeName;
        Path::encodeName(name, nativeName);
        if (const Result<void> gone = FileSystem::remove(folder, nativeName); !gone) {
            removal.failures << gone.error().during(Error::Action::RemoveNote, m_path / note.path);
            continue;
        }
        ++removal.removed;
        removed.insert(note.path);
        if (!folderName.isEmpty() && !emptied.contains(folderName))
            emptied << folderName;
    }
    for (const QString &folderName : std::as_const(emptied)) {
        QByteArray nativeName;
        Path::encodeName(folderName, nativeName);
        const Result<void> gone =
            FileSystem::removeFolder(m_folders.notesFolder().descriptor, nativeName);
        if (!gone && !gone.error().is(Error::Condition::NotEmpty) &&
            !gone.error().is(Error::Condition::Missing))
            removal.failures << gone.error().during(Error::Action::RemoveFolder,
                                                    m_path / folderName);
    }
    QList<RecordedNote> remaining;
    for (const RecordedNote &note : m_record.notes()) {
        if (!removed.contains(note.path))
            remaining << note;
    }
    Result<QStringList> journaledResult = journaledPaths();
    if (!journaledResult)
        return journaledResult.error();
    QStringList &journaled = *journaledResult;
    journaled.removeIf([&removed](const QString &path) { return removed.contains(path); });
    journaled.removeDuplicates();
    const Result<QList<RecordedNote>> stillQuillets = quilletNotesAmong(journaled);
    if (!stillQuillets)
        return stillQuillets.error();
    remaining += *stillQuillets;
    QList<RecordLine> lines;
    for (const RecordedNote &note : std::as_const(remaining))
        lines.append({{}, note.path, note.fingerprint});
    if (const Result<void> saved = m_record.save(lines); !saved)
        return saved.error();
    return removal;
}
