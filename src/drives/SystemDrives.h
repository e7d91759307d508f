#pragma once

#include "DriveSource.h"
#include "Volume.h"

// The drives of this machine, as mounted right now.
class SystemDrives : public DriveSource
{
public:
    QList<DriveEntry> drives() const override;
    bool isStillMounted(const DriveEntry &volume) const override;

private:
    static QList<Volume> mountedVolumes();
};
