#pragma once

#include "DriveEntry.h"
#include "Volume.h"

#include <QList>
#include <QString>

// Turns the machine's mounted volumes into the entries of the drive list.
class DriveCatalog
{
public:
    // Systems without drive letters: the home folder, then the volumes that hold
    // a player, then every other volume a person could write notes to.
    static QList<DriveEntry> folderEntries(const QString &homeFolder, const QList<Volume> &volumes);

    // The entry the list starts on when no drive was saved: the player when
    // exactly one is mounted, else the entry holding the working folder.
    static qsizetype firstChoice(const QList<DriveEntry> &entries, const QString &workingFolder);
    // The entry whose folder holds the given folder most closely, or 0.
    static qsizetype entryHolding(const QList<DriveEntry> &entries, const QString &folder);
    // The folder of a drive string made here: the string without the " [LABEL]"
    // a labelled volume's folder is followed by.
    static QString folderOf(const QString &driveString);

    // Kernel, container and desktop-helper file systems that hold no user files.
    static bool isSystemFileSystem(const QString &type);

private:
    static bool isUsable(const Volume &volume);
    static QString withLabel(const QString &name, const QString &label);
    static bool holds(const QString &outer, const QString &inner);
};
