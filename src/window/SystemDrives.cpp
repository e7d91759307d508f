#include "SystemDrives.h"

#include "DriveCatalog.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

QList<DriveEntry> SystemDrives::drives() const
{
#ifdef Q_OS_WIN
    return DriveCatalog::letterEntries(mountedVolumes());
#else
    return DriveCatalog::folderEntries(QDir::homePath(), mountedVolumes());
#endif
}

QList<Volume> SystemDrives::mountedVolumes()
{
    QList<Volume> volumes;
    for (const QStorageInfo &storage : QStorageInfo::mountedVolumes()) {
        const QString root = storage.rootPath();
        const QFileInfo top(root);
        volumes.append({root, QString::fromUtf8(storage.fileSystemType()), storage.name(),
                        storage.isValid() && storage.isReady(), top.isDir(),
                        QFileInfo(QDir(root).filePath(QStringLiteral("iPod_Control"))).isDir()});
    }
    return volumes;
}
