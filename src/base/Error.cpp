#include "Error.h"

#include "Limits.h"

Error::Error(Reason reason, qint64 line) : m_reason(reason), m_line(line) {}

Error::Error(Reason reason, QString detail) : m_reason(reason), m_detail(std::move(detail)) {}

Error Error::fromSystem(int errorNumber, Condition condition)
{
    Error error;
    error.m_errorNumber = errorNumber;
    error.m_condition = condition;
    return error;
}

Error Error::during(Action action, const Path &path) const
{
    Error error = *this;
    error.m_action = action;
    error.m_path = path;
    return error;
}

// At the end of what followed already, so that no failure of the chain is lost.
Error Error::followedBy(const Error &cleanup) const
{
    Error error = *this;
    error.m_cleanup =
        std::make_shared<const Error>(m_cleanup ? m_cleanup->followedBy(cleanup) : cleanup);
    return error;
}

QString Error::message() const
{
    // One arg() call: a path or reason holding "%1" must stay as it is.
    QString text = m_reason == Reason::NoSettingsFolder ? sentence().arg(m_path.toString())
                   : m_action == Action::WriteOutput
                       ? sentence().arg(reasonText())
                       : sentence().arg(m_path.toString(), reasonText());
    if (m_cleanup)
        text += u'\n' + m_cleanup->message();
    return text;
}

QString Error::sentence() const
{
    switch (m_action) {
    case Action::None:
        return QStringLiteral("%1: %2");
    case Action::OpenSource:
        return tr("Could not open the export file \"%1\": %2.");
    case Action::ReadSource:
        return tr("Could not read the export file \"%1\": %2.");
    case Action::CreateNotesFolder:
        return tr("Could not create the notes folder \"%1\": %2.");
    case Action::OpenNotesFolder:
        return tr("Could not open the notes folder \"%1\": %2.");
    case Action::WriteNotes:
        return tr("Could not write the notes to \"%1\": %2.");
    case Action::ListFolder:
        return tr("Could not list the folder \"%1\": %2.");
    case Action::RemoveLeftover:
        return tr("Could not remove the leftover file \"%1\": %2.");
    case Action::CreateCategoryFolder:
        return tr("Could not create the category folder \"%1\": %2.");
    case Action::OpenCategoryFolder:
        return tr("Could not open the category folder \"%1\": %2.");
    case Action::CreateNote:
        return tr("Could not create the note \"%1\": %2.");
    case Action::WriteNote:
        return tr("Could not write the note \"%1\": %2.");
    case Action::ReplaceNote:
        return tr("Could not replace the note \"%1\": %2.");
    case Action::ReadNote:
        return tr("Could not read the note \"%1\": %2.");
    case Action::NameNote:
        return tr("Could not find a free name for the note \"%1\": %2.");
    case Action::FlushNotes:
        return tr("Could not flush the notes to \"%1\": %2.");
    case Action::ReadRecord:
        return tr("Could not read the record of Quillet's notes \"%1\": %2.");
    case Action::WriteRecord:
        return tr("Could not write the record of the notes \"%1\": %2.");
    case Action::RemoveNote:
        return tr("Could not remove the note \"%1\": %2.");
    case Action::RemoveFolder:
        return tr("Could not remove the folder \"%1\": %2.");
    case Action::ReadSettings:
        return tr("Could not read the settings \"%1\": %2.");
    case Action::SaveSettings:
        return tr("Could not save the settings to \"%1\": %2.");
    case Action::FindSettingsFolder:
        return tr("Could not save the settings: the program's folder \"%1\" may not hold them "
                  "and there is no per-user configuration folder.");
    case Action::WriteOutput:
        return tr("Could not write to standard output: %1.");
    case Action::ChooseSource:
        return tr("Could not take the file chosen in the folder \"%1\": %2.");
    }
    return {};
}

QString Error::reasonText() const
{
    switch (m_reason) {
    case Reason::System:
        return qt_error_string(m_errorNumber);
    case Reason::IsFolder:
        return tr("it is a folder, not a memo export");
    case Reason::NotRegularFile:
        return tr("it is not a regular file (a named pipe or a device, for example)");
    case Reason::NotText:
        return tr("it is not a text export; it holds NUL bytes, as programs, pictures and "
                  "UTF-16 text do");
    case Reason::ChangedWhileRead:
        return tr("it changed while it was being read");
    case Reason::MemoTooLong:
        return tr("from line %1 on, the text runs past %2 MiB without ending a memo, which no "
                  "memo export does")
            .arg(m_line)
            .arg(Limits::MemoBytes / (qsizetype{1024} * 1024));
    case Reason::RecordTooLong:
        return tr("from record %1 on, the text runs past %2 MiB without ending a memo, which no "
                  "memo export does")
            .arg(m_line)
            .arg(Limits::MemoBytes / (qsizetype{1024} * 1024));
    case Reason::NotCommaRecord:
        return tr("the record that starts on line %1 is not a memo of a comma-separated export")
            .arg(m_line);
    case Reason::NotTabRecord:
        return tr("the record that starts on line %1 is not a memo of a tab-separated export")
            .arg(m_line);
    case Reason::OtherDatabase:
        // One arg() call: a name holding "%1" must stay as it is.
        return tr("it is the organiser's database \"%1\", not its memos").arg(m_detail);
    case Reason::DamagedDatabase:
        return tr("the memo database is damaged: record %1 lies outside the file").arg(m_line);
    case Reason::RecordOutOfOrder:
        return tr("the memo database is damaged: record %1 is out of order, starting before the "
                  "record listed before it")
            .arg(m_line);
    case Reason::EmptyRecord:
        return tr("the memo database is damaged: record %1 holds no bytes, not even the NUL that "
                  "ends a memo")
            .arg(m_line);
    case Reason::UnendedRecord:
        return tr("the memo database is damaged: record %1 ends without the NUL that ends a memo; "
                  "the file may be cut short")
            .arg(m_line);
    case Reason::DamagedMemoFile:
        if (m_line == 0)
            return tr("the memo file is damaged: it is cut short before its first record");
        return tr("the memo file is damaged: record %1 is cut short").arg(m_line);
    case Reason::MemoFileFieldType:
        return tr("the memo file is damaged: record %1 holds a field of another type than the "
                  "file's layout gives")
            .arg(m_line);
    case Reason::OtherMemoFileLayout:
        return tr("it is not a memo file Quillet can read, but perhaps an archive or a backup "
                  "that the organiser's desktop program wrote in another layout; export the memos "
                  "with the desktop program's File, Export command as \"Text (*.txt)\" and "
                  "choose that file instead");
    case Reason::ChangesCutShort:
        return tr("J-Pilot's changes not yet synced are damaged: entry %1 runs past the end of "
                  "the file")
            .arg(m_line);
    case Reason::ChangesEntryDamaged:
        return tr("J-Pilot's changes not yet synced are damaged: entry %1 is not laid out as "
                  "J-Pilot writes one")
            .arg(m_line);
    case Reason::NotesFolderIsLink:
        return tr("it is a link to another place; Quillet writes only into a real folder");
    case Reason::AnotherExport:
        return tr("another export is writing into this folder");
    case Reason::NoFreeName:
        return tr("the device holds every numbered name up to this one");
    case Reason::NotConnected:
        return tr("no player is connected at that path");
    case Reason::NotAnswering:
        return tr("the player did not answer within %1 seconds; its file system may hang")
            .arg(std::chrono::duration_cast<std::chrono::seconds>(Limits::VolumeAnswer).count());
    case Reason::ChangedSinceExport:
        return tr("it was changed after the export, so it stays");
    case Reason::PlayerFull:
        return tr("the player is full");
    case Reason::NotARecord:
        return tr("it is not a record of Quillet's notes");
    case Reason::RecordTooLarge:
        return tr("it is larger than %1 MiB, which no record of Quillet's notes is").arg(m_line);
    case Reason::MalformedSettings:
        return tr("it does not hold the three settings");
    case Reason::FlagOutOfRange:
        return tr("its third setting, %1, is none of the box's values 0, 1 and 2").arg(m_line);
    case Reason::NotAFolder:
        return tr("it is not a folder");
    case Reason::SystemFolder:
        return tr("it lies below /usr or /opt, where installed programs keep their files");
    case Reason::OtherUsersFolder:
        return tr("it belongs to another user");
    case Reason::NameNotUtf8:
        return tr("its name is not valid UTF-8 text, so Quillet cannot open it by that name; "
                  "rename the file");
    case Reason::NotOneFileChosen:
        return tr("the Open dialog gave back %1 files where one was asked for").arg(m_line);
    case Reason::NoConverter:
        // One arg() call: the name comes from the program, but stays as it is.
        return tr("this system's converter (iconv) cannot read or write the character set %1")
            .arg(m_detail);
    case Reason::NoSettingsFolder:
        break;
    }
    return {};
}
