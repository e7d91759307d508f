#include "ExportRun.h"

#include "FileSystem.h"
#include "GoneNotes.h"
#include "Limits.h"
#include "NoteNamer.h"
#include "NoteOwnership.h"
#include "NotesFolder.h"
#include "SourceFile.h"
#include "SourceForms.h"

namespace {

// Every numbered name up to this one being taken means the device refuses
// them all; the run stops instead of trying for ever.
constexpr int NameAttempts = 10000;
// Memos are named a batch at a time, so that the journal names the batch's
// new notes in one write; a batch holds at most this many memos, or about
// this much text.
constexpr qsizetype BatchMemos = 256;
constexpr qsizetype BatchBytes = qsizetype{1024} * 1024;

} // namespace

// A memo of the batch and the path the namer gave its note.
struct ExportRun::NamedMemo
{
    Memo memo;
    NotePath path;
};

ExportRun::ExportRun(Path source, Path destinationFolder, bool addTxt)
    : m_source(std::move(source)), m_destinationFolder(std::move(destinationFolder)),
      m_addTxt(addTxt)
{
}

void ExportRun::setDestinationCheck(DestinationCheck check)
{
    m_destinationCheck = std::move(check);
}

ExportResult ExportRun::run(ExportProgress &progress)
{
    NoteFolders folders;
    NoteOwnership ownership(m_destinationFolder);
    NotesFolder notes(m_destinationFolder, folders, ownership);
    ExportResult result;
    result.notesFolder = notes.path();
    bool prepared = false;
    const auto fail = [&](const Error &error) {
        result.outcome = ExportResult::Outcome::Failed;
        result.error = error;
        // Whatever was written is on the device before the person reads this,
        // and the record knows of it.
        if (result.noteCount > 0) {
            if (const Result<void> flushed = notes.flush(); !flushed)
                result.flushError = flushed.error();
        }
        if (prepared)
            keepRecord(notes, ownership, result, false);
        return result;
    };

    SourceFile source(m_source);
    if (const Result<void> opened = source.open(); !opened)
        return fail(opened.error());
    Result<std::unique_ptr<MemoSource>> memos = SourceForms::readerFor(source);
    if (!memos)
        return fail(memos.error());
    if (m_destinationCheck) {
        if (const Result<void> checked = m_destinationCheck(); !checked)
            return fail(checked.error());
    }
    if (const Result<void> ready = notes.prepare(); !ready)
        return fail(ready.error());
    prepared = true;
    progress.notesSaved(0);

    NoteNamer namer(folders, m_addTxt);
    if (const Result<void> written = writeNotes(**memos, namer, notes, progress, result); !written)
        return fail(written.error());
    // Memos cut away from a source that changed under the run must not go
    // unmentioned.
    if (result.outcome != ExportResult::Outcome::Stopped) {
        if (const Result<void> whole = source.checkReadWhole(); !whole)
            return fail(whole.error());
    }
    // A device that cannot flush would not keep a record either: the journal
    // the run leaves knows of every note it wrote.
    if (const Result<void> flushed = notes.flush(); !flushed) {
        result.outcome = ExportResult::Outcome::Failed;
        result.error = flushed.error();
        return result;
    }
    const bool stopped = result.outcome == ExportResult::Outcome::Stopped;
    keepRecord(notes, ownership, result, !stopped);
    if (stopped)
        return result;
    result.outcome = ExportResult::Outcome::Completed;
    result.unfinishedMemo = (*memos)->unfinishedMemo();
    if (FileSystem::isFolder(m_destinationFolder / Player::ControlFolder))
        result.notesOnPlayer = notes.countNoteFiles();
    return result;
}

RemovalResult ExportRun::removeGoneNotes(const Path &destinationFolder,
                                         const QList<RecordedNote> &notes, ExportProgress &progress)
{
    NoteFolders folders;
    NoteOwnership ownership(destinationFolder);
    NotesFolder notesFolder(destinationFolder, folders, ownership);
    RemovalResult result;
    if (const Result<void> ready = notesFolder.prepare(); !ready) {
        result.error = ready.error();
        return result;
    }
    GoneNotes gone(notesFolder.descriptor(), notesFolder.path(), ownership);
    const Result<GoneNotes::Removal> removal =
        gone.remove(notes, [&progress] { return progress.stopRequested(); });
    if (removal) {
        result.removed = removal->removed;
        result.failures = removal->failures;
        result.stopped = removal->stopped;
    } else {
        result.error = removal.error();
    }
    if (const Result<void> flushed = notesFolder.flush(); !flushed)
        result.error = result.error ? result.error->followedBy(flushed.error()) : flushed.error();
    return result;
}

// The record then knows of every note that is Quillet's: those this run wrote
// or found unchanged, and the others of its own still there, which after a
// completed run are the notes of memos that are gone. Replaced once the notes
// are flushed, and flushed in turn; a record that holds them all already is
// left as it is, so that an export that changes nothing writes nothing. Only
// a completed run tells which notes are gone.
void ExportRun::keepRecord(NotesFolder &notes, NoteOwnership &ownership, ExportResult &result,
                           bool completed)
{
    result.recordReadError = ownership.readError();
    result.record = ownership.record().path();
    result.skippedRecordLines = ownership.record().skippedLines();
    const Result<GoneNotes::Found> found =
        GoneNotes(notes.descriptor(), notes.path(), ownership).find(notes.keptPlaces());
    if (!found) {
        result.recordError = found.error();
        return;
    }
    result.unreadNotes = found->failures;
    QList<RecordLine> lines = notes.keptNotes();
    for (const QList<RecordedNote> *others : {&found->gone, &found->unread}) {
        for (const RecordedNote &note : *others)
            lines.append({note.place.folder(), note.place.name(), note.fingerprint});
    }
    Result<void> kept = ownership.save(lines);
    if (kept)
        kept = notes.flush();
    if (!kept)
        result.recordError = kept.error();
    if (completed)
        result.goneNotes = found->gone;
}

// Every memo of the source as a note, counted in the result, until the source
// ends or a stop is asked for; else what failed, with the memo being saved.
// The memos read before a failure of the source are saved first.
Result<void> ExportRun::writeNotes(MemoSource &memos, NoteNamer &namer, NotesFolder &notes,
                                   ExportProgress &progress, ExportResult &result)
{
    QList<NamedMemo> batch;
    QList<NotePath> paths;
    for (;;) {
        batch.clear();
        paths.clear();
        std::optional<Error> readFailure;
        bool ended = false;
        for (qsizetype bytes = 0; batch.size() < BatchMemos && bytes < BatchBytes;) {
            const Result<const Memo *> next = memos.next();
            if (!next || !*next) {
                readFailure = next ? std::nullopt : std::optional(next.error());
                ended = true;
                break;
            }
            const Memo &memo = **next;
            batch.append({memo, namer.name(memo.title, memo.category)});
            paths.append(batch.last().path);
            bytes += memo.text.size();
        }
        for (qsizetype at = 0; at < batch.size(); ++at) {
            const NamedMemo &named = batch[at];
            const std::span<const NotePath> ahead(paths.cbegin() + at + 1, paths.cend());
            if (const Result<void> written = writeNote(named, ahead, namer, notes); !written) {
                result.unsavedMemo =
                    UnfinishedMemo{named.memo.title, named.memo.titleLine, named.memo.unit};
                return written.error();
            }
            ++result.noteCount;
            if (named.memo.text.size() > Player::ShownNoteBytes)
                ++result.longNotes;
            progress.notesSaved(result.noteCount);
            if (progress.stopRequested()) {
                result.outcome = ExportResult::Outcome::Stopped;
                return {};
            }
        }
        if (readFailure)
            return *readFailure;
        if (ended)
            return {};
    }
}

// Writes the memo's note; where the device already holds something under
// that name that must not be replaced, the memo takes the next free number,
// and where it finds the name too long, a shorter one.
Result<void> ExportRun::writeNote(const NamedMemo &named, std::span<const NotePath> ahead,
                                  NoteNamer &namer, NotesFolder &notes)
{
    const Memo &memo = named.memo;
    NotePath path = named.path;
    for (int attempt = 0; attempt < NameAttempts; ++attempt) {
        const Result<NoteOutcome> outcome = notes.write(path, memo.text, ahead);
        if (!outcome)
            return outcome.error();
        switch (*outcome) {
        case NoteOutcome::Written:
        case NoteOutcome::Unchanged:
            return {};
        case NoteOutcome::FolderNameTooLong:
            if (!namer.refuseNamesAsLongAs(path.folder->name))
                return notes.nameTooLong(path, *outcome);
            namer.moveCategory(memo.category, *path.folder);
            break;
        case NoteOutcome::NameTooLong:
            if (!namer.refuseNamesAsLongAs(path.fileName))
                return notes.nameTooLong(path, *outcome);
            break;
        case NoteOutcome::FolderTaken:
            namer.moveCategory(memo.category, *path.folder);
            break;
        case NoteOutcome::NameTaken:
            break;
        }
        path = namer.name(memo.title, memo.category);
    }
    return Error(Error::Reason::NoFreeName).during(Error::Action::NameNote, notes.pathOf(path));
}
