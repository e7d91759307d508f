#include "ExportRun.h"

#include "ByteSource.h"
#include "FileSystem.h"
#include "Limits.h"
#include "NoteNamer.h"
#include "NotesFolder.h"
#include "SourceForms.h"

namespace {

// Every numbered name up to this one being taken means the device refuses
// them all; the run stops instead of trying for ever.
constexpr int NameAttempts = 10000;

} // namespace

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
    NotesFolder notes(m_destinationFolder, folders);
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
        if (prepared) {
            if (const Result<void> kept = keepRecord(notes, nullptr); !kept)
                result.recordError = kept.error();
        }
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
    if (const Result<void> kept = keepRecord(notes, stopped ? nullptr : &result.goneNotes); !kept)
        result.recordError = kept.error();
    if (stopped)
        return result;
    result.outcome = ExportResult::Outcome::Completed;
    result.unfinishedMemo = (*memos)->unfinishedMemo();
    if (FileSystem::isFolder(m_destinationFolder / Player::ControlFolder))
        result.notesOnPlayer = notes.countNoteFiles();
    return result;
}

RemovalResult ExportRun::removeGoneNotes(const Path &destinationFolder,
                                         const QList<RecordedNote> &notes)
{
    NoteFolders folders;
    NotesFolder notesFolder(destinationFolder, folders);
    RemovalResult result;
    if (const Result<void> ready = notesFolder.prepare(); !ready) {
        result.error = ready.error();
        return result;
    }
    const Result<NotesFolder::Removal> removal = notesFolder.remove(notes);
    if (removal) {
        result.removed = removal->removed;
        result.failures = removal->failures;
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
// are flushed, and flushed in turn.
Result<void> ExportRun::keepRecord(NotesFolder &notes, QList<RecordedNote> *gone)
{
    Result<QList<RecordedNote>> others = notes.goneNotes();
    if (!others)
        return others.error();
    if (const Result<void> saved = notes.saveRecord(*others); !saved)
        return saved.error();
    if (gone)
        *gone = std::move(*others);
    return notes.flush();
}

// Every memo of the source as a note, counted in the result, until the source
// ends or a stop is asked for; else what failed, with the memo being saved.
Result<void> ExportRun::writeNotes(MemoSource &memos, NoteNamer &namer, NotesFolder &notes,
                                   ExportProgress &progress, ExportResult &result)
{
    for (;;) {
        const Result<const Memo *> next = memos.next();
        if (!next)
            return next.error();
        const Memo *memo = *next;
        if (!memo)
            return {};
        if (const Result<void> written = writeNote(*memo, namer, notes); !written) {
            result.unsavedMemo = UnfinishedMemo{memo->title, memo->titleLine, memo->unit};
            return written.error();
        }
        ++result.noteCount;
        if (memo->unit == SourceUnit::ChangeEntry)
            ++result.notesOfChanges;
        if (memo->text.size() > Player::ShownNoteBytes)
            ++result.longNotes;
        progress.notesSaved(result.noteCount);
        if (progress.stopRequested()) {
            result.outcome = ExportResult::Outcome::Stopped;
            return {};
        }
    }
}

// Names the memo and writes it; where the device already holds something under
// that name that must not be replaced, the memo takes the next free number, and
// where it finds the name too long, a shorter one.
Result<void> ExportRun::writeNote(const Memo &memo, NoteNamer &namer, NotesFolder &notes)
{
    NotePath path = namer.name(memo.title, memo.category);
    for (int attempt = 0; attempt < NameAttempts; ++attempt) {
        const Result<NoteOutcome> outcome = notes.write(path, memo.text);
        if (!outcome)
            return outcome.error();
        switch (*outcome) {
        case NoteOutcome::Written:
        case NoteOutcome::Unchanged:
            return {};
        case NoteOutcome::FolderNameTooLong:
            if (!namer.refuseNamesAsLongAs(path.folder->name))
                return notes.nameTooLong(path, *outcome);
            namer.moveCategory(memo.category);
            break;
        case NoteOutcome::NameTooLong:
            if (!namer.refuseNamesAsLongAs(path.fileName))
                return notes.nameTooLong(path, *outcome);
            break;
        case NoteOutcome::FolderTaken:
            namer.moveCategory(memo.category);
            break;
        case NoteOutcome::NameTaken:
            break;
        }
        path = namer.name(memo.title, memo.category);
    }
    return Error(Error::Reason::NoFreeName).during(Error::Action::NameNote, notes.pathOf(path));
}
