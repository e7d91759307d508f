#include "DriveCatalog.h"

#include <QDir>
#include <QSet>

namespace {
bool isUsable(const Volume &volume)
{
    return volume.ready && volume.isFolder &&
           !DriveCatalog::isSystemFileSystem(volume.fileSystemType);
}

QString withLabel(const QString &name, const QString &label)
{
    return label.isEmpty() ? name : name + QStringLiteral(" [") + label + u']';
}

bool holds(const QString &outer, const QString &inner)
{
    if (inner.compare(outer, Qt::CaseSensitive) == 0)
        return true;
    const QString prefix = outer.endsWith(u'/') ? outer : outer + u'/';
    return inner.startsWith(prefix);
}
} // namespace

QList<DriveEntry> DriveCatalog::folderEntries(const QString &homeFolder,
                                              const QList<Volume> &volumes)
{
    QList<DriveEntry> players;
    QList<DriveEntry> others;
    for (const Volume &volume : volumes) {
        if (!isUsable(volume))
            continue;
        DriveEntry entry{volume.rootPath, withLabel(volume.rootPath, volume.label), volume.device,
                         volume.holdsPlayerFolder};
        (volume.holdsPlayerFolder ? players : others).append(entry);
    }
    QList<DriveEntry> entries{{homeFolder, homeFolder}};
    QSet<QString> seen{homeFolder};
    for (const DriveEntry &entry : players + others) {
        if (!seen.contains(entry.driveString)) {
            seen.insert(entry.driveString);
            entries.append(entry);
        }
    }
    return entries;
}

qsizetype DriveCatalog::firstChoice(const QList<DriveEntry> &entries, const QString &workingFolder)
{
    qsizetype player = -1;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        if (!entries[i].isPlayer)
            continue;
        if (player >= 0)
            return entryHolding(entries, workingFolder);
        player = i;
    }
    return player >= 0 ? player : entryHolding(entries, workingFolder);
}

qsizetype DriveCatalog::entryHolding(const QList<DriveEntry> &entries, const QString &folder)
{
    qsizetype best = 0;
    qsizetype bestLength = -1;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const QString candidate = QDir::cleanPath(entries[i].folder);
        if (holds(candidate, QDir::cleanPath(folder)) && candidate.size() > bestLength) {
            best = i;
            bestLength = candidate.size();
        }
    }
    return best;
}

// Only a label that itself holds " [" is cut wrongly, which is rare: the
// string is then only shown, never written to.
QString DriveCatalog::folderOf(const QString &driveString)
{
    const qsizetype label = driveString.lastIndexOf(QStringLiteral(" ["));
    if (label <= 0 || !driveString.endsWith(u']'))
        return driveString;
    return driveString.left(label);
}

bool DriveCatalog::isSystemFileSystem(const QString &type)
{
    static const QSet<QString> systemTypes{"proc",
                                           "sysfs",
                                           "cgroup",
                                           "cgroup2",
                                           "devpts",
                                           "devtmpfs",
                                           "tmpfs",
                                           "ramfs",
                                           "overlay",
                                           "squashfs",
                                           "autofs",
                                           "mqueue",
                                           "debugfs",
                                           "tracefs",
                                           "securityfs",
                                           "pstore",
                                           "bpf",
                                           "hugetlbfs",
                                           "configfs",
                                           "fusectl",
                                           "binfmt_misc",
                                           "nsfs",
                                           "efivarfs",
                                           "rpc_pipefs",
                                           "selinuxfs",
                                           "nfsd",
                                           "fuse.gvfsd-fuse",
                                           "fuse.portal",
                                           "fuse.lxcfs",
                                           "fuse.snapfuse",
                                           "fuse.xdg-document-portal"};
    return systemTypes.contains(type);
}
