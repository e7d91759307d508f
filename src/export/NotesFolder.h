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
#include <optional>

// What became of a note given to the notes folder.
enum class NoteOutcome {
    Written,     // created, or an older note replaced
    Unchanged,   // an older note held exactly these bytes already and was left as it is
    NameTaken,   // the device holds a folder, or a note of this run, under that name
    FolderTaken, // the device holds something other than a folder of this category
                 // under the category's folder name
};

// The "Notes" folder on the player and everything written into it. The only
// part of the export that touches the destination.
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

    // Creates the notes folder if it is missing (one level: the destination
    // must exist).
    std::optional<FileError> prepare();
    // Writes one note whole or not at all: an older note is replaced only by a
    // complete one, a new note that fails is removed.
    Expected<NoteOutcome, FileError> write(const NotePath &note, const QByteArray &text);
    // Commits everything written so far to the device, once for the whole run.
    std::optional<FileError> flush();
    // Every note file below the notes folder, older ones included.
    qint64 countNoteFiles() const;

private:
    struct Folder
    {
        FileSystem::Descriptor descriptor;
        QString path;               // for messages, with a trailing separator
        QSet<QString> earlierNames; // case keys of what it held before the run
    };

    static std::optional<FileError> listEarlierNames(Folder &folder);
    // Nothing when the device holds something else under the folder's name.
    Expected<Folder *, FileError> categoryFolder(const QString &name);
    Expected<NoteOutcome, FileError> writeNew(const Folder &folder, const QByteArray &name,
                                              const QByteArray &text);
    Expected<NoteOutcome, FileError> writeOverEarlier(const Folder &folder, const QByteArray &name,
                                                      const QByteArray &text);
    bool holdsExactly(const FileSystem::Descriptor &file, const QByteArray &text);
    Expected<NoteOutcome, FileError> replace(const Folder &folder, const QByteArray &name,
                                             const QByteArray &text);

    QString m_path;                    // without trailing separator
    std::deque<Folder> m_folders;      // the notes folder first, once prepared; entries never move
    QHash<QString, Folder *> m_byName; // "" is the notes folder
    QByteArray m_name;                 // of the note being written, in the system's form
    QByteArray m_readBuffer;
    qint64 m_temporaryCounter = 0;
};
