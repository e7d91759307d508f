#pragma once

#include <QString>

// One entry of the drive list: the folder it stands for and the drive string
// shown, exported to and stored in the settings ("/media/me/IPOD [IPOD]").
struct DriveEntry
{
    QString folder;
    QString driveString;

    bool operator==(const DriveEntry &) const = default;
};
