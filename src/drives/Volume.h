#pragma once

#include <QString>

// What the drive list needs to know of one mounted volume.
struct Volume
{
    QString rootPath;
    QString fileSystemType;
    QString label;
    bool ready = true;
    bool isFolder = true;           // some mounts are single files (bind-mounted configs)
    bool holdsPlayerFolder = false; // an "iPod_Control" folder at its top
    QString device = {};            // for example "/dev/sdb1"
};
