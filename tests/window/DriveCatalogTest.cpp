#include "DriveCatalog.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

namespace {
Volume volume(const QString &root, const QString &type, const QString &label = {})
{
    return {Path(root), type, label};
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

    const QList<DriveEntry> entries = DriveCatalog::folderEntries(Path("/home/me"), volumes);
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
    // Nothing is known of a volume that does not answer: it is listed, so that
    // a person sees why the player is not there as it should be.
    Volume silent = volume("/mnt/net", "nfs4");
    silent.ready = silent.isFolder = silent.answers = false;
    volumes += {unready, fileMount, volume("/data", "xfs"), silent};

    const QList<DriveEntry> entries = DriveCatalog::folderEntries(Path("/home/me"), volumes);
    EXPECT_EQ(driveStrings(entries), (QStringList{"/home/me", "/data", "/mnt/net"}));
    QList<bool> answering;
    for (const DriveEntry &entry : entries)
        answering.append(entry.answering);
    EXPECT_EQ(answering, (QList<bool>{true, true, false}));
}

// The mount table is read as the kernel writes it, without touching a volume.
TEST(DriveCatalog, ReadsTheMountTableAndTheLabelsOfLinksAsTheSystemEscapesThem)
{
    const QByteArray table =
        "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
        "30 22 8:17 / /media/me/MY\\040POD rw,nosuid shared:7 master:2 - vfat /dev/sdb1 rw\n"
        "31 22 0:40 / /mnt/back\\134slash rw - fuse.sshfs me@host:/x\\040y rw\n"
        "32 22 0:41 / /mnt/fat rw - fuse.fusefat /tmp/a.img rw\n"
        "33 22 0:42 / /mnt/fat rw - fuseblk /dev/loop0 rw\n"
        "34 22 0:43 / /broken rw no separator\n"
        "35 22 0:44 / /cut rw - ext4 /dev/sdc1";
    const QList<Volume> mounts = DriveCatalog::mountsIn(table);
    QStringList seen;
    for (const Volume &mount : mounts)
        seen << mount.rootPath.toString() + '|' + mount.fileSystemType + '|' + mount.device;
    EXPECT_EQ(seen, (QStringList{"/|ext4|/dev/sda1", "/media/me/MY POD|vfat|/dev/sdb1",
                                 "/mnt/back\\slash|fuse.sshfs|me@host:/x y",
                                 "/mnt/fat|fuseblk|/dev/loop0"}));

    const struct
    {
        const char *link;
        QString label;
    } cases[] = {
        {"IPOD", "IPOD"},       {"MY\\x20POD", "MY POD"}, {"Caf\\xc3\\xa9", "Caf\u00e9"},
        {"odd\\x2", "odd\\x2"}, {"odd\\xzz", "odd\\xzz"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.link);
        EXPECT_EQ(DriveCatalog::labelOfLink(c.link), c.label);
    }
}

TEST(DriveCatalog, FindsTheEntryHoldingAFolderByTheLongestMatchingPathElseTheFirst)
{
    const QList<DriveEntry> entries{{Path("/home/me"), "/home/me"},
                                    {Path("/"), "/"},
                                    {Path("/media/me/IPOD"), "/media/me/IPOD [IPOD]"},
                                    {Path("/media/me/IPOD2"), "/media/me/IPOD2"}};
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
        EXPECT_EQ(DriveCatalog::entryHolding(entries, Path(c.folder)), c.entry);
    }
}

} // namespace
