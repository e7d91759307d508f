#pragma once

#include "DriveEntry.h"

#include <QList>

// Where the drive list gets its entries from, each time it is opened.
class DriveSource
{
public:
    virtual ~DriveSource() = default;
    virtual QList<DriveEntry> drives() const = 0;
};
