#pragma once

#include "DriveEntry.h"

#include <QList>

// Where the drive list gets its entries from, each time it is opened, and
// whether a volume it listed is still there.
class DriveSource
{
public:
    virtual ~DriveSource() = default;
    // The window's thread, each time the list is opened.
    virtual QList<DriveEntry> drives() const = 0;
    // Whether the entry's folder is still the mount point of the volume the
    // list showed there. An unplugged player leaves its empty folder behind.
    // Called on the export's own thread, right before the notes folder is made,
    // while the window's thread may call drives(): it must be safe to call
    // from another thread at the same time.
    virtual bool isStillMounted(const DriveEntry &volume) const = 0;
};
