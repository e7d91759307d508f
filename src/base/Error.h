#pragma once

#include "Path.h"

#include <QCoreApplication>
#include <QString>
#include <memory>

// Why something failed: what was being done, to which path, and why, as the
// system's error number or as a reason of the program's own, with the line or
// record of the source where one applies. Made where the failure happens, told in words
// only where it is shown: message() is the sentence a person reads.
class Error
{
    Q_DECLARE_TR_FUNCTIONS(Error)

public:
    // What was being done.
    enum class Action {
        None,
        OpenSource,
        ReadSource,
        CreateNotesFolder,
        OpenNotesFolder,
        WriteNotes,
        ListFolder,
        RemoveLeftover,
        CreateCategoryFolder,
        OpenCategoryFolder,
        CreateNote,
        WriteNote,
        ReplaceNote,
        ReadNote,
        NameNote,
        FlushNotes,
        ReadRecord,
        WriteRecord,
        RemoveNote,
        RemoveFolder,
        ReadSettings,
        SaveSettings,
        FindSettingsFolder,
        WriteOutput, // to standard output, which has no path
        // In the Open dialog, which showed the folder path().
        ChooseSource,
    };

    // Why, where the system's error number does not say it.
    enum class Reason {
        System, // errorNumber() says why
        IsFolder,
        NotRegularFile,
        NotText,
        ChangedWhileRead,
        MemoTooLong,     // from line(), the text never ends a memo
        RecordTooLong,   // the same, from record line() of a database
        NotCommaRecord,  // the record that starts on line() breaks the form
        NotTabRecord,    // the same, in a tab-separated export
        OtherDatabase,   // the organiser's database detail(), which holds no memos
        DamagedDatabase, // record line() of the memo database lies outside the file
        // Record line() of the memo database starts before the one listed before
        // it, holds no bytes, or has no NUL before the next record.
        RecordOutOfOrder,
        EmptyRecord,
        UnendedRecord,
        // The desktop program's memo file ends inside record line() (before its
        // first where line() is 0), or a field of record line() is of another
        // type; or the file is in a layout that is not read.
        DamagedMemoFile,
        MemoFileFieldType,
        OtherMemoFileLayout,
        // Entry line() of J-Pilot's changes runs past the end of their file, or is
        // not laid out as J-Pilot writes one.
        ChangesCutShort,
        ChangesEntryDamaged,
        NotesFolderIsLink,
        AnotherExport,
        NoFreeName,
        NotConnected,
        NotAnswering,       // the volume did not answer within Limits::VolumeAnswer
        ChangedSinceExport, // a note the person changed after the export offered to remove it
        PlayerFull,         // the device has no room for what was written, whatever it said
        NotARecord,         // the record of the notes is some other file
        RecordTooLarge,     // the record of the notes is larger than line() MiB
        NotOneFileChosen,   // the Open dialog gave line() files back, not one
        FlagOutOfRange,     // the settings' third field, line(), is none of the box's values
        NotAFolder,         // a folder to keep the settings in is something else
        SystemFolder,       // the same, below /usr or /opt, where a package's files live
        OtherUsersFolder,   // the same, of another user
        MalformedSettings,
        NoSettingsFolder,
        NameNotUtf8, // the name as given holds U+FFFD, standing for bytes that are not UTF-8
        NoConverter, // the system cannot convert the character set detail()
    };

    // The system's answers that callers act on, told apart by the file system
    // layer, which alone knows the error numbers.
    enum class Condition {
        Other,
        Exists,      // the name is taken
        Missing,     // nothing has the name
        NameTooLong, // the device refuses the name as too long
        OtherKind,   // the name holds something else than asked for: a file or a
                     // symbolic link where a folder is, a link where a file is
        NoRoom,      // the device is full
        Busy,        // a lock is held by someone else
        NotEmpty,    // a folder holds something
        IsFolder,    // a folder has the name of a file to remove
        // The device refuses: a read-only one, or a full one that says so
        // (fusefat).
        NotPermitted,
    };

    Error() = default;
    explicit Error(Reason reason, qint64 line = 0);
    Error(Reason reason, QString detail);
    // Made by the file system layer only.
    static Error fromSystem(int errorNumber, Condition condition);

    // The same failure, told as having happened while doing `action` to `path`.
    Error during(Action action, const Path &path) const;
    // The same failure, followed by another: cleaning up after it, or the next
    // place tried, failed too.
    Error followedBy(const Error &cleanup) const;

    Action action() const { return m_action; }
    Reason reason() const { return m_reason; }
    const Path &path() const { return m_path; }
    int errorNumber() const { return m_errorNumber; }
    bool is(Condition condition) const { return m_condition == condition; }
    qint64 line() const { return m_line; }
    const QString &detail() const { return m_detail; }

    // 'Could not create the note "/media/me/IPOD/Notes/Work/Plan": No space
    // left on device.', translated.
    QString message() const;

private:
    QString sentence() const;
    QString reasonText() const;

    Action m_action = Action::None;
    Reason m_reason = Reason::System;
    Path m_path;
    int m_errorNumber = 0;
    Condition m_condition = Condition::Other;
    qint64 m_line = 0;
    QString m_detail;
    std::shared_ptr<const Error> m_cleanup;
};
