#pragma once

#include "FileError.h"
#include "NoteNamer.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <optional>

// The "Notes" folder on the player and everything written into it. The only
// part of the export that touches the destination.
class NotesFolder
{
public:
    explicit NotesFolder(const QString &destinationFolder);

    // Display form of the folder: destination + "/Notes/".
    QString displayPath() const { return m_path + QLatin1Char('/'); }

    // Creates the notes folder if it is missing (one level: the root must exist).
    std::optional<FileError> prepare();
    // Writes one note whole or not at all: an existing note is replaced only by
    // a complete one, a new note that fails is removed.
    std::optional<FileError> write(const NotePath &note, const QByteArray &text);
    // Commits everything written so far to the device, once for the whole run.
    std::optional<FileError> flush();

private:
    std::optional<FileError> ensureCategory(const QString &category, QByteArray &folder);
    std::optional<FileError> writeNew(const QByteArray &path, const QByteArray &text, bool &exists);
    std::optional<FileError> replace(const QByteArray &folder, const QByteArray &path,
                                     const QByteArray &text);

    QString m_path; // without trailing separator
    QHash<QString, QByteArray> m_categoryFolders;
    qint64 m_temporaryCounter = 0;
};
