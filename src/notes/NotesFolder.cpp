#include "NotesFolder.h"

#include "FileNameRules.h"
#include "Files.h"
#include "LineBuffer.h"
#include "TextDecoder.h"

#include <QVarLengthArray>
#include <algorithm>

namespace {

// Category folders kept open at once, far below any limit of open files.
constexpr std::size_t MaximumOpenFolders = 64;

quint64 nameFingerprint(const QByteArray &nativeName)
{
    return FileNameRules::fingerprint(TextDecoder::decode(nativeName));
}

NotePlace placeOf(const NotePath &note)
{
    return NotePlace(note.folder->name, note.fileName);
}

Result<void> rewriteInPlace(const FileSystem::Descriptor &folder, const QByteArray &name,
                            const QByteArray &text)
{
    Result<FileSystem::Descriptor> file = FileSystem::openForRewriting(folder, name);
    if (!file)
        return file.error();
    return Files::rewriteAndClose(*file, text);
}

} // namespace

NotesFolder::NotesFolder(const Path &destinationFolder, NoteFolders &folders,
                         NoteOwnership &ownership)
    : m_path(destinationFolder / u"Notes"), m_folders(folders), m_ownership(ownership)
{
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
    if (!opened) {
        // Where the name cannot be looked at either, the open's own reason
        // says why.
        const Result<FileSystem::Status> name = FileSystem::linkStatus(m_path);
        if (name && name->kind == FileSystem::Status::Kind::Link)
            return Error(Error::Reason::NotesFolderIsLink)
                .during(Error::Action::OpenNotesFolder, m_path);
        return opened.error().during(Error::Action::OpenNotesFolder, m_path);
    }
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
    // Read under the lock: no other export changes it meanwhile.
    return m_ownership.load();
}

const FileSystem::Descriptor &NotesFolder::descriptor() const
{
    return m_folders.notesFolder().descriptor;
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
        const Result<bool> leftover =
            TemporaryNotes::removeLeftover(folder.descriptor, pathOf(folder), name);
        if (!leftover)
            return leftover.error();
        if (!*leftover)
            folder.earlier.insert(nameFingerprint(name));
    }
    return {};
}

Result<NoteOutcome> NotesFolder::write(const NotePath &note, const QByteArray &text,
                                       std::span<NotePath> ahead)
{
    NoteFolder &folder = *note.folder;
    const Result<std::optional<NoteOutcome>> refusal = onDevice(folder);
    if (!refusal)
        return refusal.error();
    if (*refusal)
        return **refusal;
    if (!folder.descriptor.isOpen()) {
        if (const Result<void> reopened = reopen(folder); !reopened)
            return reopened.error();
    }
    QByteArray &name = m_nameBuffer;
    Path::encodeName(note.fileName, name);
    Result<NoteOutcome> outcome = !folder.earlier.isEmpty() && folder.earlier.contains(note.key)
                                      ? writeOverEarlier(note, name, text, ahead)
                                      : writeNew(note, name, text, ahead);
    if (outcome && (*outcome == NoteOutcome::Written || *outcome == NoteOutcome::Unchanged))
        keep(note, text);
    return outcome;
}

Result<void> NotesFolder::rewrite(const NotePath &note, const QByteArray &text)
{
    NoteFolder &folder = *note.folder;
    if (!folder.descriptor.isOpen()) {
        if (const Result<void> reopened = reopen(folder); !reopened)
            return reopened.error();
    }
    QByteArray name;
    Path::encodeName(note.fileName, name);
    if (const Result<void> replaced =
            m_temporaries.replace(folder.descriptor, pathOf(folder), name, text);
        !replaced)
        return onFullPlayer(replaced.error(), text.size())
            .during(Error::Action::ReplaceNote, pathOf(note));
    const NotePlace place = placeOf(note);
    const auto kept =
        std::find_if(m_kept.rbegin(), m_kept.rend(),
                     [&place](const RecordedNote &kept) { return kept.place == place; });
    if (kept != m_kept.rend())
        kept->fingerprint = NoteFingerprint::of(text);
    return {};
}

// Nothing once the folder is on the device; else why the device will not
// give it under its name.
Result<std::optional<NoteOutcome>> NotesFolder::onDevice(NoteFolder &folder)
{
    if (folder.onDevice)
        return std::optional<NoteOutcome>();
    return makeOnDevice(folder);
}

// The record learns of a note before it is created or changed. A name new in
// its folder (a folder on the device that did not hold it before the run)
// holds nothing of the person's, so the notes ahead that have one are named
// with it, in one write; a name a folder held before the run is named only
// once its file is known to be Quillet's.
Result<void> NotesFolder::journal(const NotePath &note, std::span<NotePath> ahead,
                                  Error::Action action)
{
    if (note.journaled)
        return {};
    LineBuffer lines(qsizetype(ahead.size() + 1) * 48);
    const auto name = [&lines](const NotePath &path) {
        lines.addPlace(path.folder->name, path.fileName);
        lines.add("\n");
    };
    name(note);
    QVarLengthArray<NotePath *, 256> named;
    for (NotePath &next : ahead) {
        const NoteFolder &folder = *next.folder;
        if (next.journaled || !folder.onDevice || folder.earlier.contains(next.key))
            continue;
        name(next);
        named.append(&next);
    }
    if (const Result<void> written = m_ownership.journal(lines.take()); !written)
        return onFullPlayer(written.error(), 1).during(action, pathOf(note));
    for (NotePath *path : named)
        path->journaled = true;
    return {};
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
        return onFullPlayer(made.error(), 1)
            .during(Error::Action::CreateCategoryFolder, pathOf(folder));
    // Not there before the run, so this run made it, under another name.
    if (!made && !notes.earlier.contains(folder.key))
        return std::optional(NoteOutcome::FolderTaken);
    Result<FileSystem::Descriptor> opened = FileSystem::openFolder(notes.descriptor, name);
    // A file, or a link that may lead anywhere, holds the name.
    if (!opened && opened.error().is(Error::Condition::OtherKind))
        return std::optional(NoteOutcome::FolderTaken);
    if (!opened)
        return opened.error().during(Error::Action::OpenCategoryFolder, pathOf(folder));
    folder.descriptor = std::move(*opened);
    folder.onDevice = true;
    countOpen(folder);
    if (!made) {
        if (const Result<void> listed = listEarlierNames(folder); !listed)
            return listed.error();
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
Result<NoteOutcome> NotesFolder::writeNew(const NotePath &note, const QByteArray &name,
                                          const QByteArray &text, std::span<NotePath> ahead)
{
    const FileSystem::Descriptor &folder = note.folder->descriptor;
    if (const Result<void> journaled = journal(note, ahead, Error::Action::CreateNote); !journaled)
        return journaled.error();
    Result<FileSystem::Descriptor> file = FileSystem::createNew(folder, name);
    if (!file && file.error().is(Error::Condition::Exists))
        return NoteOutcome::NameTaken;
    if (!file && file.error().is(Error::Condition::NameTooLong)) {
        m_nameRefusal = file.error();
        return NoteOutcome::NameTooLong;
    }
    if (!file)
        return onFullPlayer(file.error(), text.size())
            .during(Error::Action::CreateNote, pathOf(note));
    if (const Result<void> written = Files::writeAndClose(*file, text); !written) {
        const Error failure = onFullPlayer(written.error(), text.size())
                                  .during(Error::Action::WriteNote, pathOf(note));
        if (const Result<void> removed = FileSystem::remove(folder, name); !removed)
            return failure.followedBy(
                removed.error().during(Error::Action::RemoveLeftover, pathOf(note)));
        return failure;
    }
    return NoteOutcome::Written;
}

// A name the folder held before the run: an older note is left as it is when
// it holds these bytes already and replaced where it is Quillet's; anything
// else there is the person's and keeps its name, and so does a folder.
// Whatever the name is, it is looked at and replaced without following a link.
Result<NoteOutcome> NotesFolder::writeOverEarlier(const NotePath &note, const QByteArray &name,
                                                  const QByteArray &text, std::span<NotePath> ahead)
{
    const Result<FileSystem::Descriptor> older =
        FileSystem::openForReading(note.folder->descriptor, name);
    if (!older && older.error().is(Error::Condition::Missing))
        return writeNew(note, name, text, ahead);
    // A link, or anything that cannot be opened, holds no older note.
    if (!older)
        return m_ownership.takesAnyFileForANote() || m_ownership.isJournaled(placeOf(note))
                   ? replace(note, name, text, -1, ahead)
                   : NoteOutcome::NameTaken;
    const Result<FileSystem::Status> status = FileSystem::status(*older);
    if (!status)
        return status.error().during(Error::Action::ReadNote, pathOf(note));
    if (status->kind == FileSystem::Status::Kind::Folder)
        return NoteOutcome::NameTaken;
    // Exporting again finds most notes as they were: read first, asked after.
    std::optional<QByteArray> held;
    if (status->kind == FileSystem::Status::Kind::File && status->size == text.size()) {
        Result<std::optional<QByteArray>> read = NoteOwnership::readNote(*older, status->size);
        if (!read)
            return read.error().during(Error::Action::ReadNote, pathOf(note));
        held = std::move(*read);
        if (held && *held == text)
            return NoteOutcome::Unchanged;
    }
    const Result<bool> mayBeReplaced = mayReplace(note, *older, *status, std::move(held));
    if (!mayBeReplaced)
        return mayBeReplaced.error();
    if (!*mayBeReplaced)
        return NoteOutcome::NameTaken;
    const bool isFile = status->kind == FileSystem::Status::Kind::File;
    return replace(note, name, text, isFile ? status->size : -1, ahead);
}

// Whether what the device holds under the note's name is an older note of
// Quillet's, with `held` its bytes where they are read already.
Result<bool> NotesFolder::mayReplace(const NotePath &note, const FileSystem::Descriptor &older,
                                     const FileSystem::Status &status,
                                     std::optional<QByteArray> held)
{
    const NotePlace place = placeOf(note);
    if (m_ownership.takesAnyFileForANote() || m_ownership.isJournaled(place))
        return true;
    if (status.kind != FileSystem::Status::Kind::File || !m_ownership.mayOwn(place, status.size))
        return false;
    if (!held) {
        Result<std::optional<QByteArray>> read = NoteOwnership::readNote(older, status.size);
        if (!read)
            return read.error().during(Error::Action::ReadNote, pathOf(note));
        held = std::move(*read);
    }
    return held && m_ownership.owns(place, NoteFingerprint::of(*held));
}

// An older note is replaced only by a complete one, through a temporary file
// beside it. On a full device, where there is no room for that copy, a note
// whose new text is no longer than its older one is written over in place.
Result<NoteOutcome> NotesFolder::replace(const NotePath &note, const QByteArray &name,
                                         const QByteArray &text, qint64 olderSize,
                                         std::span<NotePath> ahead)
{
    const FileSystem::Descriptor &folder = note.folder->descriptor;
    if (const Result<void> journaled = journal(note, ahead, Error::Action::ReplaceNote); !journaled)
        return journaled.error();
    const Result<void> replaced = m_temporaries.replace(folder, pathOf(*note.folder), name, text);
    if (replaced)
        return NoteOutcome::Written;
    Error failure = replaced.error();
    if (text.size() <= olderSize &&
        Files::isOutOfRoom(failure, m_folders.notesFolder().descriptor, text.size())) {
        const Result<void> rewritten = rewriteInPlace(folder, name, text);
        if (rewritten)
            return NoteOutcome::Written;
        failure = rewritten.error();
    }
    return onFullPlayer(failure, text.size()).during(Error::Action::ReplaceNote, pathOf(note));
}

// A player says it is full in words of its own (a FAT driver says "Operation
// not permitted"); the person is told that it is full.
Error NotesFolder::onFullPlayer(const Error &failure, qint64 needed) const
{
    if (Files::isOutOfRoom(failure, m_folders.notesFolder().descriptor, needed))
        return Error(Error::Reason::PlayerFull);
    return failure;
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
    return Files::countFilesBelow(notes.descriptor, m_path, [](QByteArrayView name) {
        return !TemporaryNotes::isTemporaryName(name);
    });
}

void NotesFolder::keep(const NotePath &note, const QByteArray &text)
{
    m_kept.append({placeOf(note), NoteFingerprint::of(text)});
    m_keptPlaces.append(NotePlace::keyOf(note.folder->key, note.key));
}

QSet<quint64> NotesFolder::keptPlaces() const
{
    return QSet<quint64>(m_keptPlaces.cbegin(), m_keptPlaces.cend());
}
