#pragma once

#include "DriveSource.h"

#include <QSet>

// A drive list made of given folders, for running the window against folders
// of one's choosing (tests, the benchmark) instead of the machine's volumes.
class FixedDrives : public DriveSource
{
public:
    explicit FixedDrives(QList<DriveEntry> drives = {});
    // Each folder becomes an entry whose drive string is the folder itself.
    static FixedDrives ofFolders(const QStringList &folders);

    QList<DriveEntry> drives() const override;
    bool isStillMounted(const DriveEntry &volume) const override;
    void setDrives(QList<DriveEntry> drives);
    // From now on the folder is no longer the mount point of its volume, as
    // when a player is unplugged and leaves its empty folder behind.
    void unplug(const QString &folder);

private:
    QList<DriveEntry> m_drives;
    QSet<QString> m_unplugged;
};
