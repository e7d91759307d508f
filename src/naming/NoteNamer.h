#pragma once

#include "NoteFolders.h"

#include <QHash>
#include <QString>
#include <QStringView>
#include <optional>

// Turns memo titles and categories into names a FAT player accepts and keeps
// the notes and folders of one run from taking each other's names, compared
// ignoring case as FAT does: whichever comes second gets " (2)", " (3)", ...
// Every name, with its number and extension, fits what the device takes: its
// stem is shortened, between characters, where it would not.
class NoteNamer
{
public:
    // Names shorter than this always fit; a device that refuses them cannot
    // hold notes at all.
    static constexpr qsizetype ShortestNameBytes = 16;

    NoteNamer(NoteFolders &folders, bool addTxt);

    // A path not yet given out in this run. Asked again for the same memo, it
    // gives the next free number: the device had the last one taken already.
    NotePath name(const QString &title, const QString &category);
    // Part `part` (2 or more) of the note at `note`, in its folder: its name
    // without the extension, then " (part N)", numbered like any other name
    // where it is taken. Asked again, it gives the next free number.
    NotePath namePart(const NotePath &note, int part);
    // The device holds something else under the name of `refused`, the
    // category's folder: the category moves to the next free numbered folder
    // for the rest of the run. Memos named before the move may still bring
    // the same refusal; the category then moves no further.
    void moveCategory(const QString &category, const NoteFolder &refused);
    // The device refused `name` as too long: no name given out from now on is
    // as long. False where names would have to be shorter than
    // ShortestNameBytes.
    bool refuseNamesAsLongAs(QStringView name);

private:
    NoteFolder &folderFor(const QString &category);
    NoteFolder &newFolderFor(const QString &clean);
    // `stem` and `tail`, or else those and ` (N)`, followed by `suffix`, with
    // the first N that is free in the folder; the name is then taken. Only the
    // stem is ever shortened. With the name's fingerprint.
    std::pair<QString, quint64> takeFree(NoteFolder &folder, const QString &stem,
                                         const QString &suffix, QStringView tail = {}) const;
    QString numbered(const QString &stem, QStringView tail, int number,
                     const QString &suffix) const;
    // `stem` shortened until it and a suffix of `suffixBytes` fit into a name.
    QString fitted(const QString &stem, qsizetype suffixBytes) const;
    static std::optional<int> take(NoteFolder &folder, quint64 fingerprint);

    NoteFolders &m_folders;
    QString m_extension;
    qsizetype m_nameBytes;                // the longest name the device takes, as far as known
    QHash<QString, NoteFolder *> m_byKey; // by case key of the cleaned category
    // By category as read, which spares cleaning it for every memo.
    QHash<QString, NoteFolder *> m_byCategory;
};
