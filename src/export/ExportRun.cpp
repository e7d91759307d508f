#include "ExportRun.h"

#include "MemoReader.h"
#include "NoteNamer.h"
#include "NotesFolder.h"

#include <QFile>

namespace {

QString captionFor(qint64 noteCount)
{
    return u"Notes " + QString::number(noteCount);
}

QString savedBefore(qint64 noteCount)
{
    if (noteCount == 0)
        return QStringLiteral("No memos were saved.");
    return noteCount == 1 ? QStringLiteral("1 memo was saved before it.")
                          : QStringLiteral("%1 memos were saved before it.").arg(noteCount);
}

} // namespace

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

    QFile source(m_sourcePath);
    if (!source.open(QIODevice::ReadOnly))
        return fail(
            FileError{QStringLiteral("open the export file"), m_sourcePath, source.errorString()}
                .message());
    if (m_destinationCheck) {
        if (std::optional<QString> refusal = m_destinationCheck())
            return fail(*refusal);
    }
    if (auto error = notes.prepare())
        return fail(error->message());
    progress.captionChanged(captionFor(0));

    LineReader lines(source);
    MemoReader memos(lines);
    NoteNamer namer(m_extension);
    while (std::optional<Memo> memo = memos.next()) {
        if (lines.failed())
            break;
        if (auto error = notes.write(namer.name(*memo), memo->text))
            // One arg() call: a title or path holding "%1" must stay as it is.
            return fail(QStringLiteral("%1\nThe memo \"%2\" (line %3 of the export file) was "
                                       "not saved.")
                            .arg(error->message(), memo->title, QString::number(memo->titleLine)));
        ++result.noteCount;
        progress.captionChanged(captionFor(result.noteCount));
        if (progress.stopRequested()) {
            result.outcome = ExportResult::Outcome::Stopped;
            break;
        }
    }
    if (lines.failed())
        return fail(
            FileError{QStringLiteral("read the export file"), m_sourcePath, source.errorString()}
                .message());
    if (auto error = notes.flush()) {
        result.outcome = ExportResult::Outcome::Failed;
        result.errorMessage =
            error->message() + QStringLiteral("\n%1 memos were written but may not all have "
                                              "reached the device.")
                                   .arg(result.noteCount);
        return result;
    }
    if (result.outcome != ExportResult::Outcome::Stopped)
        result.outcome = ExportResult::Outcome::Completed;
    return result;
}
