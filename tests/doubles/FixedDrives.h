#pragma once

#include "DriveSource.h"

// A drive list made of given folders, for running the window against folders
// of one's choosing (tests, the benchmark) instead of the machine's volumes.
class FixedDrives : public DriveSource
{
public:
    explicit FixedDrives(QList<DriveEntry> drives = {});
    // Each folder becomes an entry whose drive string is the folder itself.
    static FixedDrives ofFolders(const QStringList &folders);

    QList<DriveEntry> drives() const override;
    void setDrives(QList<DriveEntry> drives);

private:
    QList<DriveEntry> m_drives;
};
