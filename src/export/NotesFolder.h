#pragma once

#include "Expected.h"
#include "FileError.h"
#include "FileSystem.h"
#include "NotePath.h"

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>
#include <deque>

// What became of a note given to the notes folder.
enum class NoteOutcome {
    Written,           // created, or an older note replaced
    Unchanged,         // an older note held exactly these bytes already and was left as it is
    NameTaken,         // the device holds a folder, or a note of this run, under that name
    FolderTaken,       // the device holds something other than a folder of this category
                       // under the category's folder name: a file or a link, for example
    NameTooLong,       // the device refuses the note's name as too long
    FolderNameTooLong, // the device refuses the category's folder name as too long
};

// The "Notes" folder on the player and everything written into it. The only
// part of the export that touches the destination.
//
// Nothing below the notes folder is ever reached through a symbolic link, and
// the notes folder itself must be a real folder. One export at a time writes
// into it: a run holds a lock on it from start to end, and first removes what
// a run that was cut off (killed, unplugged) left behind.
//
// What the folders held before the run is listed once, so that a note or
// folder that the device finds already there can be told apart: left by an
// earlier run (a note is replaced, a folder used) or made by this run under a
// name the device takes as the same (FAT's short names, other case rules),
// which must never be replaced.
class NotesFolder
{
public:
    explicit NotesFolder(const QString &destinationFolder);

    // Display form of the folder: destination + "/Notes/".
    QString displayPath() const { return m_path + QLatin1Char('/'); }
    // Display form of a note's path.
    QString pathOf(const NotePath &note) const { return displayPath() + note.relativePath(); }
    // Whether a name is one of the temporary files a note's new text is
    // written into before it replaces the older note. No memo gives a note
    // such a name: it ends in ".tmp" and is longer than any title.
    static bool isTemporaryName(QByteArrayView name);
    // Why a note or its folder (`refusal` says which) cannot be made where the
    // device refuses every name short enough to try.
    FileError nameTooLong(const NotePath &note, NoteOutcome refusal) const;

    // Creates the notes folder if it is missing (one level: the destination
    // must exist), opens it and takes its lock.
    Expected<void, FileError> prepare();
    // Writes one note whole or not at all: an older note is replaced only by a
    // complete one, a new note that fails is removed.
    Expected<NoteOutcome, FileError> write(const NotePath &note, const QByteArray &text);
    // Commits everything written so far to the device, once for the whole run.
    Expected<void, FileError> flush();
    // Every note file below the notes folder, older ones included.
    qint64 countNoteFiles() const;

private:
    struct Folder
    {
        QByteArray name; // below the notes folder, in the system's form; empty for itself
        QString path;    // for messages, with a trailing separator
        FileSystem::Descriptor descriptor; // closed while the folder is not among the open ones
        QSet<QString> earlierNames;        // case keys of what it held before the run
    };

    Expected<void, FileError> listEarlierNames(Folder &folder);
    // Nothing when the device will not give the folder under this name:
    // `refusal` then says why.
    Expected<Folder *, FileError> categoryFolder(const QString &name, NoteOutcome &refusal);
    Folder *keepOpen(Folder &&folder);
    void countOpen(Folder &folder);
    Expected<int, FileError> descriptorOf(Folder &folder);
    Expected<NoteOutcome, FileError> writeNew(const Folder &folder, int at, const QByteArray &name,
                                              const QByteArray &text);
    Expected<NoteOutcome, FileError>
    writeOverEarlier(const Folder &folder, int at, const QByteArray &name, const QByteArray &text);
    bool holdsExactly(const FileSystem::Descriptor &file, const QByteArray &text);
    Expected<NoteOutcome, FileError> replace(const Folder &folder, int at, const QByteArray &name,
                                             const QByteArray &text, qint64 olderSize);
    Expected<void, int> replaceThroughTemporary(int at, const QByteArray &name,
                                                const QByteArray &text);

    QString m_path;                    // without trailing separator
    std::deque<Folder> m_folders;      // the notes folder first, once prepared; entries never move
    QHash<QString, Folder *> m_byName; // "" is the notes folder
    // Category folders with an open descriptor, oldest first. An export of
    // thousands of categories must not run out of descriptors.
    std::deque<Folder *> m_openFolders;
    QByteArray m_name; // of the note being written, in the system's form
    QByteArray m_readBuffer;
    qint64 m_temporaryCounter = 0;
};
