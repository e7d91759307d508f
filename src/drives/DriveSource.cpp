#include "DriveSource.h"

#include "DriveCatalog.h"
#include "FileSystem.h"
#include "Limits.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

namespace {
QList<Volume> mountedVolumes()
{
    QList<Volume> volumes;
    for (const QStorageInfo &storage : QStorageInfo::mountedVolumes()) {
        const QString root = storage.rootPath();
        const QFileInfo top(root);
        volumes.append({root, QString::fromUtf8(storage.fileSystemType()), storage.name(),
                        storage.isValid() && storage.isReady(), top.isDir(),
                        FileSystem::isFolder(Path(root) / Player::ControlFolder),
                        QString::fromUtf8(storage.device())});
    }
    return volumes;
}
} // namespace

QList<DriveEntry> SystemDrives::drives() const
{
    return DriveCatalog::folderEntries(QDir::homePath(), mountedVolumes());
}

bool SystemDrives::isStillMounted(const DriveEntry &volume) const
{
    // Asks the mount table afresh: a folder left behind by an unplugged player
    // belongs to the volume it sits on, whose root is another folder. Safe on
    // the export's thread: QStorageInfo is reentrant, and this one is its own.
    const QStorageInfo storage(volume.folder);
    return storage.isValid() && storage.isReady() &&
           QDir::cleanPath(storage.rootPath()) == QDir::cleanPath(volume.folder) &&
           QString::fromUtf8(storage.device()) == volume.device;
}
