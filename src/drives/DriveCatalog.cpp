#include "DriveCatalog.h"

#include <QHash>
#include <QSet>
#include <algorithm>
#include <cctype>

namespace {
// A volume that does not answer is listed all the same, so that a person sees
// why the player is not there as it should be.
bool isUsable(const Volume &volume)
{
    return (!volume.answers || (volume.ready && volume.isFolder)) &&
           !DriveCatalog::isSystemFileSystem(volume.fileSystemType);
}

// The kernel writes a space, a tab, a line end and a backslash in a mount
// table's field as "\040", "\011", "\012" and "\134".
QByteArray unescaped(const QByteArray &field)
{
    QByteArray bytes;
    bytes.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        const QByteArray code = field.mid(i + 1, 3);
        if (field[i] == '\\' && code.size() == 3 &&
            std::all_of(code.begin(), code.end(), [](char c) { return c >= '0' && c <= '7'; })) {
            bytes += char(code.toInt(nullptr, 8));
            i += 3;
        } else {
            bytes += field[i];
        }
    }
    return bytes;
}

} // namespace

QList<DriveEntry> DriveCatalog::folderEntries(const Path &homeFolder, const QList<Volume> &volumes)
{
    QList<DriveEntry> players;
    QList<DriveEntry> others;
    for (const Volume &volume : volumes) {
        if (!isUsable(volume))
            continue;
        DriveEntry entry{volume.rootPath, driveStringOf(volume), volume.device,
                         volume.holdsPlayerFolder};
        entry.answering = volume.answers;
        (volume.holdsPlayerFolder ? players : others).append(entry);
    }
    QList<DriveEntry> entries{{homeFolder, homeFolder.toString()}};
    QSet<QString> seen{homeFolder.toString()};
    for (const DriveEntry &entry : players + others) {
        if (!seen.contains(entry.driveString)) {
            seen.insert(entry.driveString);
            entries.append(entry);
        }
    }
    return entries;
}

qsizetype DriveCatalog::firstChoice(const QList<DriveEntry> &entries, const Path &workingFolder)
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

qsizetype DriveCatalog::entryHolding(const QList<DriveEntry> &entries, const Path &folder)
{
    const Path inner = folder.cleaned();
    qsizetype best = 0;
    qsizetype bestLength = -1;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const Path candidate = entries[i].folder.cleaned();
        const bool holds = inner == candidate || inner.hasAncestor(candidate);
        if (holds && candidate.toString().size() > bestLength) {
            best = i;
            bestLength = candidate.toString().size();
        }
    }
    return best;
}

QString DriveCatalog::driveStringOf(const Volume &volume)
{
    if (volume.label.isEmpty())
        return volume.rootPath.toString();
    return volume.rootPath.toString() + QStringLiteral(" [") + volume.label + u']';
}

// Only a label that itself holds " [" is cut wrongly, which is rare: the
// string is then only shown, never written to.
Path DriveCatalog::folderOf(const QString &driveString)
{
    const qsizetype label = driveString.lastIndexOf(QStringLiteral(" ["));
    if (label <= 0 || !driveString.endsWith(u']'))
        return Path(driveString);
    return Path(driveString.left(label));
}

QList<Volume> DriveCatalog::mountsIn(QByteArrayView table)
{
    QList<Volume> mounts;
    QHash<QString, qsizetype> atFolder;
    // A line the table was cut off in, without its line end, is left out.
    for (qsizetype start = 0, end = 0; (end = table.indexOf('\n', start)) >= 0; start = end + 1) {
        // "36 35 98:0 /root /mount/point options [optional fields] - type device options"
        const QList<QByteArray> fields = table.sliced(start, end - start).toByteArray().split(' ');
        const qsizetype separator = fields.indexOf("-", 6);
        if (separator < 0 || separator + 2 >= fields.size())
            continue;
        Volume mount{Path(QString::fromUtf8(unescaped(fields[4]))),
                     QString::fromUtf8(unescaped(fields[separator + 1])),
                     {}};
        mount.device = QString::fromUtf8(unescaped(fields[separator + 2]));
        const QString &folder = mount.rootPath.toString();
        if (const auto found = atFolder.constFind(folder); found != atFolder.cend()) {
            mounts[*found] = mount;
        } else {
            atFolder.insert(folder, mounts.size());
            mounts.append(mount);
        }
    }
    return mounts;
}

QString DriveCatalog::labelOfLink(QByteArrayView name)
{
    const auto isHexDigit = [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); };
    QByteArray label;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (i + 3 < name.size() && name[i] == '\\' && name[i + 1] == 'x' &&
            isHexDigit(name[i + 2]) && isHexDigit(name[i + 3])) {
            label += char(name.sliced(i + 2, 2).toByteArray().toInt(nullptr, 16));
            i += 3;
        } else {
            label += name[i];
        }
    }
    return QString::fromUtf8(label);
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
