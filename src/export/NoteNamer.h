#pragma once

#include "Memo.h"
#include "NotePath.h"

#include <QHash>
#include <QString>
#include <QStringView>
#include <deque>
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

    explicit NoteNamer(QString extension);

    static QString cleanTitle(const QString &title);
    static QString cleanCategory(const QString &category);
    // The form in which FAT compares names, of `name` followed by `suffix`.
    static QString caseKey(QStringView name, QStringView suffix = {});
    // A 64-bit fingerprint of that form. Two names that differ share one with
    // a chance of about one in 10^10 in the largest export, and the second
    // then only gets a number it did not need; no name is ever lost by it.
    // Unlike the key itself, it needs no memory of its own, which matters at
    // tens of thousands of notes.
    static quint64 fingerprint(QStringView name, QStringView suffix = {});

    // A path not yet given out in this run. Asked again for the same memo, it
    // gives the next free number: the device had the last one taken already.
    NotePath name(const Memo &memo);
    // The device holds something else under the category's folder name: the
    // category moves to the next free numbered folder for the rest of the run.
    void moveCategory(const QString &category);
    // The device refused `name` as too long: no name given out from now on is
    // as long. False where names would have to be shorter than
    // ShortestNameBytes.
    bool refuseNamesAsLongAs(QStringView name);

private:
    // The names given out in one folder.
    struct Folder
    {
        QString name; // below the notes folder; empty for the notes folder itself
        // Fingerprint of each name given out, with the last number given to a
        // name built on it.
        QHash<quint64, int> taken;
    };

    static QString replaceUnsafeCharacters(QString name);
    static QString withoutTrailingSpacesAndDots(QString name);

    Folder &folderFor(const QString &category);
    // `stem`, or else `stem (N)`, followed by `suffix`, with the first N that
    // is free in the folder; the name is then taken.
    QString takeFree(Folder &folder, const QString &stem, const QString &suffix) const;
    QString numbered(const QString &stem, int number, const QString &suffix) const;
    // `stem` shortened until it and a suffix of `suffixBytes` fit into a name.
    QString fitted(const QString &stem, qsizetype suffixBytes) const;
    static std::optional<int> take(Folder &folder, quint64 fingerprint);

    QString m_extension;
    qsizetype m_nameBytes;            // the longest name the device takes, as far as known
    std::deque<Folder> m_folders;     // the notes folder first; entries never move
    QHash<QString, Folder *> m_byKey; // by case key of the cleaned category
    // By category as read, which spares cleaning it for every memo.
    QHash<QString, Folder *> m_byCategory;
};
