#include "GoneNotes.h"

#include <algorithm>

namespace {

QByteArray nativeName(const QString &name)
{
    QByteArray native;
    Path::encodeName(name, native);
    return native;
}

} // namespace

GoneNotes::GoneNotes(const FileSystem::Descriptor &notesFolder, const Path &notesPath,
                     NoteOwnership &ownership)
    : m_notesFolder(notesFolder), m_notesPath(notesPath), m_ownership(ownership)
{
}

Result<GoneNotes::Found> GoneNotes::find(const QSet<quint64> &kept) const
{
    Found found;
    if (!m_ownership.knowsItsNotes())
        return found;
    for (const NotePlace &place : m_ownership.earlierNotes()) {
        if (kept.contains(place.key()))
            continue;
        const Result<std::optional<NoteFingerprint>> fingerprint = fingerprintOf(place);
        if (!fingerprint) {
            found.failures << fingerprint.error();
            for (const RecordedNote &note : m_ownership.record().notes()) {
                if (note.place == place)
                    found.unread << note;
            }
            continue;
        }
        if (*fingerprint && m_ownership.owns(place, **fingerprint))
            found.gone.append({place, **fingerprint});
    }
    // In the order a person looks for them.
    std::sort(found.gone.begin(), found.gone.end(),
              [](const RecordedNote &one, const RecordedNote &other) {
                  return one.place.toString().compare(other.place.toString(), Qt::CaseInsensitive) <
                         0;
              });
    return found;
}

// A category folder below the notes folder, never through a link: nothing
// where none is there; nothing opened for the notes folder itself.
Result<std::optional<FileSystem::Descriptor>> GoneNotes::openFolder(const QString &name) const
{
    if (name.isEmpty())
        return std::optional(FileSystem::Descriptor());
    Result<FileSystem::Descriptor> opened = FileSystem::openFolder(m_notesFolder, nativeName(name));
    if (!opened && (opened.error().is(Error::Condition::Missing) ||
                    opened.error().is(Error::Condition::OtherKind)))
        return std::optional<FileSystem::Descriptor>();
    if (!opened)
        return opened.error().during(Error::Action::OpenCategoryFolder, m_notesPath / name);
    return std::optional(std::move(*opened));
}

// What a regular file at the place holds, reached without a link; nothing
// where there is none, or something else: a link, a folder.
Result<std::optional<NoteFingerprint>> GoneNotes::fingerprintOf(const NotePlace &place) const
{
    const Result<std::optional<FileSystem::Descriptor>> folder = openFolder(place.folder());
    if (!folder)
        return folder.error();
    if (!*folder)
        return std::optional<NoteFingerprint>();
    const FileSystem::Descriptor &at = place.folder().isEmpty() ? m_notesFolder : **folder;
    const Path path = place.in(m_notesPath);
    const Result<FileSystem::Descriptor> file =
        FileSystem::openForReading(at, nativeName(place.name()));
    if (!file && (file.error().is(Error::Condition::Missing) ||
                  file.error().is(Error::Condition::OtherKind)))
        return std::optional<NoteFingerprint>();
    if (!file)
        return file.error().during(Error::Action::ReadNote, path);
    const Result<FileSystem::Status> status = FileSystem::status(*file);
    if (!status)
        return status.error().during(Error::Action::ReadNote, path);
    if (status->kind != FileSystem::Status::Kind::File)
        return std::optional<NoteFingerprint>();
    const Result<std::optional<QByteArray>> bytes = NoteOwnership::readNote(*file, status->size);
    if (!bytes)
        return bytes.error().during(Error::Action::ReadNote, path);
    if (!*bytes)
        return std::optional<NoteFingerprint>();
    return std::optional(NoteFingerprint::of(**bytes));
}

Result<GoneNotes::Removal> GoneNotes::remove(const QList<RecordedNote> &notes,
                                             const std::function<bool()> &stopRequested)
{
    Removal removal;
    QSet<quint64> removed;
    QList<QString> emptied;
    for (const RecordedNote &note : notes) {
        if (stopRequested()) {
            removal.stopped = true;
            break;
        }
        const Path path = note.place.in(m_notesPath);
        const Result<std::optional<NoteFingerprint>> fingerprint = fingerprintOf(note.place);
        if (!fingerprint) {
            removal.failures << fingerprint.error();
            continue;
        }
        if (!*fingerprint)
            continue; // gone already
        if (!m_ownership.owns(note.place, **fingerprint)) {
            removal.failures
                << Error(Error::Reason::ChangedSinceExport).during(Error::Action::RemoveNote, path);
            continue;
        }
        const Result<std::optional<FileSystem::Descriptor>> folder =
            openFolder(note.place.folder());
        const Result<void> gone =
            !folder ? Result<void>(folder.error())
                    : FileSystem::remove(note.place.folder().isEmpty() ? m_notesFolder : **folder,
                                         nativeName(note.place.name()));
        if (!gone) {
            removal.failures << gone.error().during(Error::Action::RemoveNote, path);
            continue;
        }
        ++removal.removed;
        removed.insert(note.place.key());
        if (!note.place.folder().isEmpty() && !emptied.contains(note.place.folder()))
            emptied << note.place.folder();
    }
    // A stop asked for during the last note ends the removal as stopped, as
    // one during the last note of an export does.
    if (!removal.stopped && !notes.isEmpty() && stopRequested())
        removal.stopped = true;
    removeEmptiedFolders(emptied, removal);
    if (const Result<void> forgotten = forget(removed); !forgotten)
        return forgotten.error();
    return removal;
}

void GoneNotes::removeEmptiedFolders(const QList<QString> &folders, Removal &removal) const
{
    for (const QString &folder : folders) {
        const Result<void> gone = FileSystem::removeFolder(m_notesFolder, nativeName(folder));
        if (!gone && !gone.error().is(Error::Condition::NotEmpty) &&
            !gone.error().is(Error::Condition::Missing))
            removal.failures << gone.error().during(Error::Action::RemoveFolder,
                                                    m_notesPath / folder);
    }
}

// The record then keeps every other note it had, and those the journal names
// that are still there as they were.
Result<void> GoneNotes::forget(const QSet<quint64> &removed)
{
    QList<RecordedNote> notes;
    QSet<quint64> recorded;
    for (const RecordedNote &note : m_ownership.record().notes()) {
        recorded.insert(note.place.key());
        if (!removed.contains(note.place.key()))
            notes.append(note);
    }
    for (const NotePlace &place : m_ownership.earlierNotes()) {
        if (recorded.contains(place.key()) || removed.contains(place.key()))
            continue;
        const Result<std::optional<NoteFingerprint>> fingerprint = fingerprintOf(place);
        if (!fingerprint)
            return fingerprint.error();
        if (*fingerprint)
            notes.append({place, **fingerprint});
    }
    return m_ownership.save(notes);
}
