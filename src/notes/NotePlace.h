#pragma once

#include "Path.h"

#include <QString>
#include <QStringView>
#include <optional>

// A note's place below the notes folder: its category folder ("" for the
// notes folder itself) and its name there. Quillet writes nothing deeper, so a
// place holds at most these two names, and neither is empty, "." or "..", nor
// holds a "/" or a NUL: whatever a place names lies inside the notes folder.
class NotePlace
{
public:
    NotePlace() = default;
    // Names as the namer gives them, which always keep to the rule above.
    NotePlace(QString folder, QString name);

    // A place as the record and the journal write it, "Work/Plan" or "Plan";
    // nothing for text that would name anything else: an absolute path, a
    // "..", a deeper path.
    static std::optional<NotePlace> parse(QStringView text);

    const QString &folder() const { return m_folder; }
    const QString &name() const { return m_name; }
    // "Work/Plan", as the record writes it and a person reads it.
    QString toString() const;
    // Where it is: "/media/me/IPOD/Notes/Work/Plan" in that notes folder.
    Path in(const Path &notesFolder) const;
    // The place as the player compares places: FAT ignores case, and a Mac
    // volume the form in which an accented letter is written. Two places with
    // one key are one note there.
    quint64 key() const;
    // The same of a place whose folder's and name's fingerprints
    // (FileNameRules::fingerprint) are known.
    static quint64 keyOf(quint64 folder, quint64 name);

    bool operator==(const NotePlace &) const = default;

private:
    QString m_folder;
    QString m_name;
};
