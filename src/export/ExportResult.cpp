#include "ExportResult.h"

#include "Limits.h"

#include <QStringList>

namespace {

QString savedBefore(qint64 noteCount)
{
    if (noteCount == 0)
        return ExportResult::tr("No memos were saved.");
    return ExportResult::tr("%n memos were saved before it.", nullptr, int(noteCount));
}

} // namespace

QString ExportResult::completionMessage() const
{
    // One arg() call: a folder holding "%1" must stay as it is.
    return tr("%n memos saved to %1", nullptr, int(noteCount)).arg(notesFolder.toFolderString());
}

QString ExportResult::message() const
{
    return succeeded() ? completionText() : failureText();
}

// An iPod's note reader loads at most Player::ShownNotes notes and shows the
// first Player::ShownNoteBytes of each, and says nothing about either; the
// message says it instead, and what the export did about the second.
QString ExportResult::completionText() const
{
    QStringList paragraphs{completionMessage()};
    // Edits not yet on the organiser are in the notes: said, so that the
    // person knows.
    if (notesOfChanges > 0)
        paragraphs << tr("%n of them are memos changed in J-Pilot and not yet synced, from the "
                         ".pc3 file beside the database.",
                         nullptr, int(notesOfChanges));
    if (unfinishedMemo)
        // One arg() call: a title holding "%1" must stay as it is.
        paragraphs << tr("The export file ends inside the memo \"%1\" (line %2), which was not "
                         "saved.")
                          .arg(unfinishedMemo->title, QString::number(unfinishedMemo->titleLine));
    // Another choice of the memos' characters may read them whole.
    if (memosWithReplacedBytes > 0)
        paragraphs << tr("%n memos hold bytes that are not text in %1; each such byte shows as "
                         "\"%2\". If the memos were written in another character set, export "
                         "them again with that one.",
                         nullptr, int(memosWithReplacedBytes))
                          .arg(CharacterSets::labelOf(characterSet),
                               QString(QChar::ReplacementCharacter));
    QStringList limits;
    if (notesOnPlayer && *notesOnPlayer && **notesOnPlayer > Player::ShownNotes)
        limits << tr("The iPod shows only the first %1 notes; its Notes folder now holds %n.",
                     nullptr, int(**notesOnPlayer))
                      .arg(Player::ShownNotes);
    if (memosInParts > 0)
        limits << tr("The iPod shows only the first 4 KB of a note; %n memos longer than that "
                     "were saved in parts, each leading to the next.",
                     nullptr, int(memosInParts));
    if (notesOnPlayer && !*notesOnPlayer)
        limits << notesOnPlayer->error().message();
    if (!limits.isEmpty())
        paragraphs << limits.join(QLatin1Char('\n'));
    paragraphs << recordText();
    return paragraphs.join(QStringLiteral("\n\n"));
}

// What the person should know of the record of Quillet's notes: that it was
// damaged or could not be read, and so what Quillet could not know.
QStringList ExportResult::recordText() const
{
    QStringList paragraphs;
    if (recordReadError)
        paragraphs << recordReadError->message() + u'\n' +
                          tr("No file in a note's place that differs from the note was written "
                             "over; such memos took the next number, and no notes of memos "
                             "that are gone can be offered for removal.");
    if (skippedRecordLines > 0)
        // One arg() call: a path holding "%1" must stay as it is.
        paragraphs << tr("The record of Quillet's notes \"%1\" was damaged: %n of its lines "
                         "could not be read and were left out.",
                         nullptr, int(skippedRecordLines))
                          .arg(record.toString());
    for (const Error &unread : unreadNotes)
        paragraphs << unread.message();
    if (recordError)
        paragraphs << recordError->message();
    return paragraphs;
}

QString ExportResult::failureText() const
{
    if (!error)
        return {};
    QString text = error->message();
    // One arg() call: a title or path holding "%1" must stay as it is.
    if (unsavedMemo && unsavedMemo->unit == SourceUnit::ChangeEntry)
        text = tr("%1\nThe memo \"%2\" (entry %3 of J-Pilot's changes not yet synced) was not "
                  "saved.")
                   .arg(text, unsavedMemo->title, QString::number(unsavedMemo->titleLine));
    else if (unsavedMemo && unsavedMemo->unit == SourceUnit::Record)
        text = tr("%1\nThe memo \"%2\" (record %3 of the export file) was not saved.")
                   .arg(text, unsavedMemo->title, QString::number(unsavedMemo->titleLine));
    else if (unsavedMemo)
        text = tr("%1\nThe memo \"%2\" (line %3 of the export file) was not saved.")
                   .arg(text, unsavedMemo->title, QString::number(unsavedMemo->titleLine));
    if (flushError)
        text += u'\n' + flushError->message();
    for (const QString &paragraph : recordText())
        text += u'\n' + paragraph;
    if (error->action() == Error::Action::FlushNotes)
        return text + u'\n' +
               tr("%n memos were written but may not all have reached the device.", nullptr,
                  int(noteCount));
    return text + u'\n' + savedBefore(noteCount);
}

QString RemovalResult::message() const
{
    QStringList lines{tr("%n notes were removed.", nullptr, int(removed))};
    for (const Error &failure : failures)
        lines << failure.message();
    if (error)
        lines << error->message();
    return lines.join(u'\n');
}
