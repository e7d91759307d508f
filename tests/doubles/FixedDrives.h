#pragma once

#include "DriveSource.h"

#include <QSet>
#include <functional>
#include <mutex>

// A drive list made of given folders, for running the window against folders
// of one's choosing (tests, the benchmark) instead of the machine's volumes.
// The export asks checkMounted on its own thread while a test changes the
// drives on the window's, so every member is safe to call from any thread.
class FixedDrives : public DriveSource
{
public:
    explicit FixedDrives(QList<DriveEntry> drives = {});
    // Each folder becomes an entry whose drive string is the folder itself.
    static FixedDrives ofFolders(const QStringList &folders);

    void askAgain() const override {}
    DriveListing drives() const override;
    // A drive that is not listed now is not connected, as the mount table,
    // read afresh, says of a player that is gone.
    Result<void> checkMounted(const DriveEntry &volume) const override;
    void setDrives(QList<DriveEntry> drives);
    // While set, the drives are said to be still answering: the list looks
    // again until it is cleared.
    void setAwaitingAnswers(bool awaiting);
    // From now on the folder is no longer the mount point of its volume, as
    // when a player is unplugged and leaves its empty folder behind.
    void unplug(const QString &folder);
    // From now on the folder's volume does not answer when the export asks.
    void silence(const QString &folder);
    // Runs at the start of every checkMounted, on the thread that asks: the
    // export asks right before it makes the notes folder, so a test can hold
    // it there. It runs without the lock, so it may wait for the test's thread.
    void onMountCheck(std::function<void()> hook);

private:
    mutable std::mutex m_mutex;
    QList<DriveEntry> m_drives;
    QSet<QString> m_unplugged;
    QSet<QString> m_silent;
    bool m_awaiting = false;
    std::function<void()> m_mountCheckHook;
};
