#include "DriveCatalog.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

namespace {
Volume volume(const QString &root, const QString &type, const QString &label = {})
{
    return {root, type, label};
}

QStringList driveStrings(const QList<DriveEntry> &entries)
{
    QStringList strings;
    for (const DriveEntry &entry : entries)
        strings.append(entry.driveString);
    return strings;
}

TEST(DriveCatalog, ListsHomeThenPlayersThenOtherVolumesWithTheirLabelsEachOnce)
{
    Volume player = volume("/media/me/IPOD", "vfat", "IPOD");
    player.holdsPlayerFolder = true;
    Volume fusePlayer = volume("/media/me/Second", "fuseblk");
    fusePlayer.holdsPlayerFolder = true;
    const QList<Volume> volumes{volume("/home/me", "ext4"),
                                volume("/", "ext4"),
                                volume("/media/me/STICK", "vfat", "STICK"),
                                player,
                                volume("/mnt/fat", "fuse.fusefat"),
                                fusePlayer};

    const QList<DriveEntry> entries = DriveCatalog::folderEntries("/home/me", volumes);
    EXPECT_EQ(driveStrings(entries),
              (QStringList{"/home/me", "/media/me/IPOD [IPOD]", "/media/me/Second", "/",
                           "/media/me/STICK [STICK]", "/mnt/fat"}));
    QList<bool> players;
    for (const DriveEntry &entry : entries)
        players.append(entry.isPlayer);
    EXPECT_EQ(players, (QList<bool>{false, true, true, false, false, false}));
}

TEST(DriveCatalog, LeavesOutSystemVolumesUnreadyVolumesAndSingleFileMounts)
{
    QList<Volume> volumes;
    for (const char *type :
         {"proc",     "sysfs",           "cgroup",     "cgroup2",    "devpts",
          "devtmpfs", "tmpfs",           "overlay",    "squashfs",   "autofs",
          "mqueue",   "debugfs",         "tracefs",    "securityfs", "pstore",
          "bpf",      "hugetlbfs",       "configfs",   "fusectl",    "binfmt_misc",
          "nsfs",     "fuse.gvfsd-fuse", "fuse.portal"})
        volumes.append(volume(QStringLiteral("/sys/") + type, type));
    Volume unready = volume("/media/cdrom", "iso9660");
    unready.ready = false;
    Volume fileMount = volume("/etc/hosts", "ext4");
    fileMount.isFolder = false;
    volumes += {unready, fileMount, volume("/data", "xfs")};

    EXPECT_EQ(driveStrings(DriveCatalog::folderEntries("/home/me", volumes)),
              (QStringList{"/home/me", "/data"}));
}

TEST(DriveCatalog, FindsTheEntryHoldingAFolderByTheLongestMatchingPathElseTheFirst)
{
    const QList<DriveEntry> entries{{"/home/me", "/home/me"},
                                    {"/", "/"},
                                    {"/media/me/IPOD", "/media/me/IPOD [IPOD]"},
                                    {"/media/me/IPOD2", "/media/me/IPOD2"}};
    const struct
    {
        const char *folder;
        qsizetype entry;
    } cases[] = {
        {"/home/me/notes", 0},  {"/home/me", 0},         {"/home/melody", 1},
        {"/usr/bin", 1},        {"/media/me/IPOD/x", 2}, {"/media/me/IPOD2/Notes", 3},
        {"/media/me/IPOD/", 2}, {"relative/path", 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.folder);
        EXPECT_EQ(DriveCatalog::entryHolding(entries, c.folder), c.entry);
    }
}

} // namespace
