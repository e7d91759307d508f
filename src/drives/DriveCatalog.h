#pragma once

#include "DriveSource.h"

#include <QByteArrayView>
#include <QList>
#include <QString>

// What the drive list needs to know of one mounted volume.
struct Volume
{
    Path rootPath;
    QString fileSystemType;
    QString label;
    bool ready = true;
    bool isFolder = true;           // some mounts are single files (bind-mounted configs)
    bool holdsPlayerFolder = false; // an "iPod_Control" folder at its top
    QString device = {};            // for example "/dev/sdb1"
    // False where the volume did not answer in time: ready, isFolder and
    // holdsPlayerFolder then say what it answered last time, if anything.
    bool answers = true;
};

// Turns the machine's mounted volumes into the entries of the drive list.
namespace DriveCatalog {
// The home folder, then the volumes that hold a player, then every other
// volume a person could write notes to.
QList<DriveEntry> folderEntries(const Path &homeFolder, const QList<Volume> &volumes);

// The entry the list starts on when no drive was saved: the player when
// exactly one is mounted, else the entry holding the working folder.
qsizetype firstChoice(const QList<DriveEntry> &entries, const Path &workingFolder);
// The entry whose folder holds the given folder most closely, or 0.
qsizetype entryHolding(const QList<DriveEntry> &entries, const Path &folder);
// What the list shows for a volume and the settings keep: its folder, followed
// by " [LABEL]" where it has a label.
QString driveStringOf(const Volume &volume);
// The folder of a drive string made here: the string without the " [LABEL]"
// a labelled volume's folder is followed by.
Path folderOf(const QString &driveString);

// The mounts of a mount table in the form of /proc/self/mountinfo, which is
// read without touching a volume: root path, file system type and device of
// each. Of mounts stacked on one folder only the last is there, which hides
// the others.
QList<Volume> mountsIn(QByteArrayView table);
// The label a link in /dev/disk/by-label is named after: udev writes "\x20"
// for a space, and so on.
QString labelOfLink(QByteArrayView name);

// Kernel, container and desktop-helper file systems that hold no user files.
bool isSystemFileSystem(const QString &type);
} // namespace DriveCatalog
