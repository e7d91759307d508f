#pragma once

#include "FileNameRules.h"
#include "FileSystem.h"
#include "Path.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <deque>

// One folder of a run's notes: the notes folder itself, or a category's. The
// namer gives it its name and the names of the notes in it; the notes folder
// makes or finds it on the device and keeps what it held before the run.
struct NoteFolder
{
    QString name; // below the notes folder; empty for the notes folder itself
    quint64 key = FileNameRules::fingerprint(u""); // of its name, as the player compares names

    // Fingerprint of each name given out in it, with the last number given to
    // a name built on it.
    QHash<quint64, int> given;

    bool onDevice = false;             // made or found by the notes folder
    FileSystem::Descriptor descriptor; // open while among the open ones
    QSet<quint64> earlier;             // fingerprints of the names it held before the run
};

// Where a note goes: its folder and its name there.
struct NotePath
{
    NoteFolder *folder = nullptr;
    QString fileName;
    // FileNameRules::fingerprint of the name: a run compares names by it
    // many times, and the namer has it at no cost.
    quint64 key = 0;
    // The notes folder named it in the journal ahead of writing it.
    bool journaled = false;

    // Below the notes folder: "Work/Plan".
    Path relativePath() const { return Path(folder->name) / fileName; }
};

// The folders of one run, each tracked here and only here, the notes folder
// first. Entries never move, so a NotePath stays valid for the whole run.
class NoteFolders
{
public:
    NoteFolders() { m_folders.emplace_back(); }
    NoteFolders(const NoteFolders &) = delete;
    NoteFolders &operator=(const NoteFolders &) = delete;

    NoteFolder &notesFolder() { return m_folders.front(); }
    NoteFolder &add(QString name, quint64 key)
    {
        NoteFolder &folder = m_folders.emplace_back();
        folder.name = std::move(name);
        folder.key = key;
        return folder;
    }

private:
    std::deque<NoteFolder> m_folders;
};
