#pragma once

#include "DriveEntry.h"

#include <QList>

// Where the drive list gets its entries from, each time it is opened, and
// whether a volume it listed is still there.
class DriveSource
{
public:
    virtual ~DriveSource() = default;
    virtual QList<DriveEntry> drives() const = 0;
    // Whether the entry's folder is still the mount point of the volume the
    // list showed there. An unplugged player leaves its empty folder behind.
    virtual bool isStillMounted(const DriveEntry &volume) const = 0;
};
