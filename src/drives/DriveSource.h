#pragma once

#include <QList>
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
    // while the window's thread may call drives(): it must be safe to call from
    // another thread at the same time, and touch no widget.
    virtual bool isStillMounted(const DriveEntry &volume) const = 0;
};

// The drives of this machine, as mounted right now.
class SystemDrives : public DriveSource
{
public:
    QList<DriveEntry> drives() const override;
    bool isStillMounted(const DriveEntry &volume) const override;
};
