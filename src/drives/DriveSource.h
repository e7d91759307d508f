#pragma once

#include "Path.h"
#include "Result.h"

#include <QList>
#include <QString>
#include <functional>
#include <memory>

// One entry of the drive list: the folder it stands for and the drive string
// shown, exported to and stored in the settings ("/media/me/IPOD [IPOD]").
struct DriveEntry
{
    Path folder;
    QString driveString;
    // The device of the volume the list found mounted at the folder, for
    // example "/dev/sdb1"; empty where the entry is a plain folder (home).
    QString device = {};
    // An "iPod_Control" folder at the volume's top when the list was read.
    bool isPlayer = false;
    // False for a drive that was chosen, or restored from the settings, but is
    // not among the drives mounted now.
    bool connected = true;
    // False for a mounted volume that did not answer in time when the list was
    // read (a hung FUSE driver, a network mount that is gone): nothing is
    // exported to it.
    bool answering = true;

    bool isVolume() const { return !device.isEmpty(); }
    bool operator==(const DriveEntry &) const = default;
};

// The drives the list shows now.
struct DriveListing
{
    QList<DriveEntry> entries;
    // Volumes are still to answer: asked again shortly, drives() tells more.
    bool awaitingAnswers = false;
};

// Where the drive list gets its entries from, each time it is opened, and
// whether a volume it listed is still there. Nothing here waits on the
// window's thread for a volume, which may never answer.
class DriveSource
{
public:
    virtual ~DriveSource() = default;
    // The window's thread, each time the list is opened: asks the volumes
    // mounted now about themselves, without waiting for their answers.
    virtual void askAgain() const = 0;
    // The window's thread: the drives as far as their volumes have answered.
    // A volume whose answer is awaited shows what it said last time, or is
    // left out until it answers; one that did not answer in time is listed as
    // not answering.
    virtual DriveListing drives() const = 0;
    // Whether the entry's folder is still the mount point of the volume the
    // list showed there, and the volume answers: Error::Reason::NotConnected
    // where it is not mounted there (an unplugged player leaves its empty
    // folder behind), Error::Reason::NotAnswering where it did not answer in
    // time. Called on the export's own thread, right before the notes folder
    // is made, while the window's thread may call the others: it must be safe
    // to call from another thread at the same time, and touch no widget. It
    // waits for the volume, as long as Limits::VolumeAnswer at most. An entry
    // the list has not seen mounted (a saved player still to answer at start)
    // is asked about all the same, by its folder and drive string.
    virtual Result<void> checkMounted(const DriveEntry &volume) const = 0;

    // What the export asks on its own thread, right before it makes the notes
    // folder, and the removal before it removes a note: whether the entry may
    // be written to now, or why not. None for a plain folder, such as home.
    // The check uses this source, which must outlive it.
    std::function<Result<void>()> connectionCheck(const DriveEntry &drive) const;
};

// The drives of this machine, as mounted right now. The mount table is read
// without touching the volumes; each volume is asked about itself on a thread
// of its own (VolumeQuestions).
class SystemDrives : public DriveSource
{
public:
    SystemDrives();
    ~SystemDrives() override;

    void askAgain() const override;
    DriveListing drives() const override;
    Result<void> checkMounted(const DriveEntry &volume) const override;

private:
    struct State;
    std::unique_ptr<State> m_state;
};
