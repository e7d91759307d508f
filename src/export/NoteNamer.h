#pragma once

#include "Memo.h"
#include "NotePath.h"

#include <QHash>
#include <QSet>
#include <QString>

// Turns memo titles and categories into names a FAT player accepts and keeps
// the notes and folders of one run from taking each other's names, compared
// ignoring case as FAT does: whichever comes second gets " (2)", " (3)", ...
class NoteNamer
{
public:
    explicit NoteNamer(QString extension);

    static QString cleanTitle(const QString &title);
    static QString cleanCategory(const QString &category);
    // The form in which FAT compares names.
    static QString caseKey(const QString &name);

    // A path not yet given out in this run. Asked again for the same memo, it
    // gives the next free number: the device had the last one taken already.
    NotePath name(const Memo &memo);
    // The device holds something else under the category's folder name: the
    // category moves to the next free numbered folder for the rest of the run.
    void moveCategory(const QString &category);

private:
    static QString replaceUnsafeCharacters(const QString &name);

    QString folderFor(const QString &category);
    // `stem`, or else `stem (N)`, followed by `suffix`, with the first N that
    // leaves the path free in `folder`; the path is then taken.
    QString takeFree(const QString &folder, const QString &stem, const QString &suffix);

    QString m_extension;
    QSet<QString> m_taken; // case keys of every path given out, folders included
    QHash<QString, int> m_lastNumber;
    QHash<QString, QString> m_folders; // case key of a cleaned category: its folder
};
