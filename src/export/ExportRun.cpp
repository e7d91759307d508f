#include "ExportRun.h"

#include "FileSystem.h"
#include "MemoReader.h"
#include "NoteNamer.h"
#include "NotesFolder.h"
#include "SeparatedMemoReader.h"
#include "SourceFile.h"

#include <QCoreApplication>
#include <memory>

namespace {

// Every numbered name up to this one being taken means the device refuses
// them all; the run stops instead of trying for ever.
constexpr int NameAttempts = 10000;

QString savedBefore(qint64 noteCount)
{
    if (noteCount == 0)
        return QCoreApplication::translate("ExportRun", "No memos were saved.");
    return noteCount == 1
               ? QCoreApplication::translate("ExportRun", "1 memo was saved before it.")
               : QCoreApplication::translate("ExportRun", "%1 memos were saved before it.")
                     .arg(noteCount);
}

std::unique_ptr<MemoSource> memosOf(SourceFile &source)
{
    if (const std::optional<Separator> separator = source.separator())
        return std::make_unique<SeparatedMemoReader>(source.device(), *separator);
    return std::make_unique<MemoReader>(source.device(), source.lineEnd());
}

} // namespace

bool ExportRun::holdsIPodFolder(const QString &folder)
{
    const Expected<struct stat, int> player =
        FileSystem::status(FileSystem::nativeName(folder + u"/iPod_Control"));
    return player && S_ISDIR(player->st_mode);
}

ExportRun::ExportRun(QString sourcePath, QString destinationFolder, int extensionFlag)
    : m_sourcePath(std::move(sourcePath)), m_destinationFolder(std::move(destinationFolder)),
      m_extension(extensionFlag == ExtensionChecked ? QStringLiteral(".txt") : QString())
{
}

void ExportRun::setDestinationCheck(DestinationCheck check)
{
    m_destinationCheck = std::move(check);
}

ExportResult ExportRun::run(ExportProgress &progress)
{
    NotesFolder notes(m_destinationFolder);
    ExportResult result;
    result.notesFolder = notes.displayPath();
    const auto fail = [&](const QString &what) {
        result.outcome = ExportResult::Outcome::Failed;
        result.errorMessage = what + QLatin1Char('\n') + savedBefore(result.noteCount);
        // Whatever was written is on the device before the person reads this.
        if (result.noteCount > 0)
            notes.flush();
        return result;
    };

    SourceFile source(m_sourcePath);
    if (const Expected<void, FileError> opened = source.open(); !opened)
        return fail(opened.error().message());
    if (m_destinationCheck) {
        if (const Expected<void, FileError> checked = m_destinationCheck(); !checked)
            return fail(checked.error().message());
    }
    if (const Expected<void, FileError> prepared = notes.prepare(); !prepared)
        return fail(prepared.error().message());
    progress.notesSaved(0);

    const std::unique_ptr<MemoSource> memos = memosOf(source);
    if (const Expected<void, QString> written = writeNotes(*memos, notes, progress, result);
        !written)
        return fail(written.error());
    // Memos cut away from a source that changed under the run must not go
    // unmentioned.
    if (result.outcome != ExportResult::Outcome::Stopped) {
        if (const Expected<void, FileError> whole = source.checkReadWhole(); !whole)
            return fail(whole.error().message());
    }
    if (const Expected<void, FileError> flushed = notes.flush(); !flushed) {
        result.outcome = ExportResult::Outcome::Failed;
        result.errorMessage =
            flushed.error().message() + QLatin1Char('\n') +
            QCoreApplication::translate(
                "ExportRun", "%1 memos were written but may not all have reached the device.")
                .arg(result.noteCount);
        return result;
    }
    if (result.outcome == ExportResult::Outcome::Stopped)
        return result;
    result.outcome = ExportResult::Outcome::Completed;
    result.unfinishedMemo = memos->unfinishedMemo();
    if (holdsIPodFolder(m_destinationFolder))
        result.notesOnIPod = notes.countNoteFiles();
    return result;
}

// Every memo of the source as a note, counted in the result, until the source
// ends or a stop is asked for; else the message of what failed.
Expected<void, QString> ExportRun::writeNotes(MemoSource &memos, NotesFolder &notes,
                                              ExportProgress &progress, ExportResult &result)
{
    NoteNamer namer(m_extension);
    for (;;) {
        const Expected<const Memo *, QString> next = memos.next();
        if (!next)
            return Unexpected<QString>{
                FileError{SourceFile::readFailure(), m_sourcePath, next.error()}.message()};
        const Memo *memo = *next;
        if (!memo)
            return {};
        if (const Expected<void, FileError> written = writeNote(*memo, namer, notes); !written)
            // One arg() call: a title or path holding "%1" must stay as it is.
            return Unexpected<QString>{
                QCoreApplication::translate(
                    "ExportRun", "%1\nThe memo \"%2\" (line %3 of the export file) was not saved.")
                    .arg(written.error().message(), memo->title, QString::number(memo->titleLine))};
        ++result.noteCount;
        if (memo->text.size() > ExportResult::ShownNoteBytes)
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
Expected<void, FileError> ExportRun::writeNote(const Memo &memo, NoteNamer &namer,
                                               NotesFolder &notes)
{
    NotePath path = namer.name(memo);
    for (int attempt = 0; attempt < NameAttempts; ++attempt) {
        Expected<NoteOutcome, FileError> outcome = notes.write(path, memo.text);
        if (!outcome)
            return Unexpected<FileError>{outcome.error()};
        switch (*outcome) {
        case NoteOutcome::Written:
        case NoteOutcome::Unchanged:
            return {};
        case NoteOutcome::FolderNameTooLong:
            if (!namer.refuseNamesAsLongAs(path.folder))
                return Unexpected<FileError>{notes.nameTooLong(path, *outcome)};
            namer.moveCategory(memo.category);
            break;
        case NoteOutcome::NameTooLong:
            if (!namer.refuseNamesAsLongAs(path.fileName))
                return Unexpected<FileError>{notes.nameTooLong(path, *outcome)};
            break;
        case NoteOutcome::FolderTaken:
            namer.moveCategory(memo.category);
            break;
        case NoteOutcome::NameTaken:
            break;
        }
        path = namer.name(memo);
    }
    return Unexpected<FileError>{FileError{
        QCoreApplication::translate("ExportRun",
                                    "Could not find a free name for the note \"%1\": %2."),
        notes.pathOf(path),
        QCoreApplication::translate("ExportRun",
                                    "the device holds every numbered name up to this one")}};
}
