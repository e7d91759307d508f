#include "ExportRun.h"

#include "ByteSource.h"
#include "FileSystem.h"
#include "GoneNotes.h"
#include "Limits.h"
#include "NoteNamer.h"
#include "NoteOwnership.h"
#include "NoteWriter.h"
#include "NotesFolder.h"
#include "SourceForms.h"

namespace {

// Memos are named a batch at a time, so that the journal names the batch's
// new notes in one write; a batch holds at most this many memos, or about
// this many bytes of notes.
constexpr qsizetype BatchMemos = 256;
constexpr qsizetype BatchBytes = qsizetype{1024} * 1024;

} // namespace

// A memo of the batch, its text encoded for its destination, and the path
// the namer gave its note. The memo keeps no text of its own: the reader then
// reuses its room for the next one.
struct ExportRun::NamedMemo
{
    Memo memo;
    EncodedNote note;
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

void ExportRun::setCharacterSet(CharacterSet characters)
{
    m_characterSet = characters;
}

void ExportRun::setFormatQuestion(FormatQuestion question)
{
    m_formatQuestion = std::move(question);
}

ExportResult ExportRun::run(ExportProgress &progress)
{
    NoteFolders folders;
    NoteOwnership ownership(m_destinationFolder);
    NotesFolder notes(m_destinationFolder, folders, ownership);
    ExportResult result;
    result.notesFolder = notes.path();
    result.characterSet = m_characterSet;
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
    Result<std::unique_ptr<MemoSource>> memos = SourceForms::readerFor(source, m_characterSet);
    if (!memos)
        return fail(memos.error());
    if (m_destinationCheck) {
        if (const Result<void> checked = m_destinationCheck(); !checked)
            return fail(checked.error());
    }
    const Result<NoteDestination> destination = this->destination();
    if (!destination)
        return fail(destination.error());
    Result<NoteEncoder> encoder = NoteEncoder::forDestination(*destination);
    if (!encoder)
        return fail(encoder.error().during(Error::Action::WriteNotes, m_destinationFolder));
    if (const Result<void> ready = notes.prepare(); !ready)
        return fail(ready.error());
    prepared = true;
    progress.notesSaved(0);

    NoteNamer namer(folders, m_addTxt);
    NoteWriter writer(namer, notes, std::move(*encoder));
    if (const Result<void> written = writeNotes(**memos, namer, writer, progress, result); !written)
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
    if (*destination != NoteDestination::Folder)
        result.notesOnPlayer = notes.countNoteFiles();
    return result;
}

// An iPod is told by its control folder; one formatted for a Mac by its
// volume's format. A player that cannot say whether it holds that folder
// would get notes in the wrong characters, so that stops the run.
Result<NoteDestination> ExportRun::destination() const
{
    const Path control = m_destinationFolder / Player::ControlFolder;
    const Result<FileSystem::Status> status = FileSystem::status(control);
    if (!status && !status.error().is(Error::Condition::Missing) &&
        !status.error().is(Error::Condition::OtherKind))
        return status.error().during(Error::Action::WriteNotes, m_destinationFolder);
    if (!status || status->kind != FileSystem::Status::Kind::Folder)
        return NoteDestination::Folder;
    const Result<FileSystem::VolumeFormat> format = m_formatQuestion(m_destinationFolder);
    if (!format)
        return format.error().during(Error::Action::WriteNotes, m_destinationFolder);
    return *format == FileSystem::VolumeFormat::MacHfsPlus ? NoteDestination::MacIPod
                                                           : NoteDestination::IPod;
}

RemovalResult ExportRun::removeGoneNotes(const Path &destinationFolder,
                                         const QList<RecordedNote> &notes, ExportProgress &progress,
                                         const DestinationCheck &check)
{
    RemovalResult result;
    if (check) {
        if (const Result<void> checked = check(); !checked) {
            result.error = checked.error();
            return result;
        }
    }
    NoteFolders folders;
    NoteOwnership ownership(destinationFolder);
    NotesFolder notesFolder(destinationFolder, folders, ownership);
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
    // A first export into a player has no notes of earlier runs to compare.
    const Result<GoneNotes::Found> found =
        GoneNotes(notes.descriptor(), notes.path(), ownership)
            .find(ownership.hasEarlierNotes() ? notes.keptPlaces() : QSet<quint64>());
    if (!found) {
        result.recordError = found.error();
        return;
    }
    result.unreadNotes = found->failures;
    Result<void> kept = ownership.save(notes.keptNotes() + found->gone + found->unread);
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
Result<void> ExportRun::writeNotes(MemoSource &memos, NoteNamer &namer, NoteWriter &writer,
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
            batch.append({memo, writer.encode(memo), namer.name(memo.title, memo.category)});
            batch.last().memo.text.clear();
            paths.append(batch.last().path);
            bytes += batch.last().note.size();
        }
        for (qsizetype at = 0; at < batch.size(); ++at) {
            const NamedMemo &named = batch[at];
            const std::span<NotePath> ahead(paths.begin() + at + 1, paths.end());
            const Result<int> files = writer.write(named.memo, named.note, paths[at], ahead);
            if (!files) {
                result.unsavedMemo =
                    UnfinishedMemo{named.memo.title, named.memo.titleLine, named.memo.unit};
                return files.error();
            }
            ++result.noteCount;
            if (named.memo.unit == SourceUnit::ChangeEntry)
                ++result.notesOfChanges;
            if (*files > 1)
                ++result.memosInParts;
            if (named.memo.replacedBytes)
                ++result.memosWithReplacedBytes;
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
