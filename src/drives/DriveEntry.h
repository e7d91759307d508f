#pragma once

#include <QString>

// One entry of the drive list: the folder it stands for and the drive string
// shown, exported to and stored in the settings ("/media/me/IPOD [IPOD]").
struct DriveEntry
{
    QString folder;
    QString driveString;
    // The device of the volume the list found mounted at the folder, for
    // example "/dev/sdb1"; empty where the entry is a plain folder (home).
    QString device = {};
    // An "iPod_Control" folder at the volume's top when the list was read.
    bool isPlayer = false;
    // False for a drive that was chosen, or restored from the settings, but is
    // not among the drives mounted now.
    bool connected = true;

    bool isVolume() const { return !device.isEmpty(); }
    bool operator==(const DriveEntry &) const = default;
};
