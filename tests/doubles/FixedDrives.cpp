#include "FixedDrives.h"

#include <QStringList>
#include <algorithm>

FixedDrives::FixedDrives(QList<DriveEntry> drives) : m_drives(std::move(drives)) {}

FixedDrives FixedDrives::ofFolders(const QStringList &folders)
{
    QList<DriveEntry> drives;
    for (const QString &folder : folders)
        drives.append({Path(folder), folder});
    return FixedDrives(drives);
}

DriveListing FixedDrives::drives() const
{
    const std::lock_guard lock(m_mutex);
    return {m_drives, m_awaiting};
}

void FixedDrives::setAwaitingAnswers(bool awaiting)
{
    const std::lock_guard lock(m_mutex);
    m_awaiting = awaiting;
}

void FixedDrives::setDrives(QList<DriveEntry> drives)
{
    const std::lock_guard lock(m_mutex);
    m_drives = std::move(drives);
}

Result<void> FixedDrives::checkMounted(const DriveEntry &volume) const
{
    std::function<void()> hook;
    {
        const std::lock_guard lock(m_mutex);
        hook = m_mountCheckHook;
    }
    if (hook)
        hook();
    const std::lock_guard lock(m_mutex);
    if (m_unplugged.contains(volume.folder.toString()))
        return Error(Error::Reason::NotConnected);
    if (m_silent.contains(volume.folder.toString()))
        return Error(Error::Reason::NotAnswering);
    const bool listed =
        std::any_of(m_drives.cbegin(), m_drives.cend(), [&volume](const DriveEntry &drive) {
            return drive.driveString == volume.driveString;
        });
    if (!listed)
        return Error(Error::Reason::NotConnected);
    return {};
}

void FixedDrives::silence(const QString &folder)
{
    const std::lock_guard lock(m_mutex);
    m_silent.insert(folder);
}

void FixedDrives::unplug(const QString &folder)
{
    const std::lock_guard lock(m_mutex);
    m_unplugged.insert(folder);
}

void FixedDrives::onMountCheck(std::function<void()> hook)
{
    const std::lock_guard lock(m_mutex);
    m_mountCheckHook = std::move(hook);
}
