#include "ExportRun.h"

#include "DestinationRoot.h"
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
    return noteCount == 1 ? QStringLiteral("1 memo was saved before it.")
                          : QStringLiteral("%1 memos were saved before it.").arg(noteCount);
}

ExportResult failure(ExportResult result, const QString &message)
{
    result.succeeded = false;
    result.errorMessage = message;
    return result;
}

} // namespace

ExportRun::ExportRun(QString sourcePath, QString driveString, int extensionFlag)
    : m_sourcePath(std::move(sourcePath)), m_driveString(std::move(driveString)),
      m_extension(extensionFlag == ExtensionChecked ? QStringLiteral(".txt") : QString())
{
}

ExportResult ExportRun::run(ExportProgress &progress)
{
    NotesFolder notes(DestinationRoot::fromDriveString(m_driveString));
    ExportResult result;
    result.notesFolder = notes.displayPath();

    QFile source(m_sourcePath);
    if (!source.open(QIODevice::ReadOnly))
        return failure(result, FileError{QStringLiteral("open the export file"), m_sourcePath,
                                         source.errorString()}
                                   .message());
    if (auto error = notes.prepare())
        return failure(result, error->message());
    progress.captionChanged(captionFor(0));

    LineReader lines(source);
    MemoReader memos(lines);
    NoteNamer namer(m_extension);
    while (std::optional<Memo> memo = memos.next()) {
        if (lines.failed())
            break;
        if (auto error = notes.write(namer.name(*memo), memo->text))
            // One arg() call: a title or path holding "%1" must stay as it is.
            return failure(result,
                           QStringLiteral("%1\nThe memo \"%2\" (line %3 of the export "
                                          "file) was not saved. %4")
                               .arg(error->message(), memo->title, QString::number(memo->titleLine),
                                    savedBefore(result.noteCount)));
        ++result.noteCount;
        progress.captionChanged(captionFor(result.noteCount));
    }
    if (lines.failed())
        return failure(result, FileError{QStringLiteral("read the export file"), m_sourcePath,
                                         source.errorString()}
                                       .message() +
                                   QLatin1Char('\n') + savedBefore(result.noteCount));
    if (auto error = notes.flush())
        return failure(result, error->message() +
                                   QStringLiteral("\n%1 memos were written but may not all have "
                                                  "reached the device.")
                                       .arg(result.noteCount));
    result.succeeded = true;
    return result;
}
