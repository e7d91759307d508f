#include "FixedDrives.h"

#include <QStringList>

FixedDrives::FixedDrives(QList<DriveEntry> drives) : m_drives(std::move(drives)) {}

FixedDrives FixedDrives::ofFolders(const QStringList &folders)
{
    QList<DriveEntry> drives;
    for (const QString &folder : folders)
        drives.append({folder, folder});
    return FixedDrives(drives);
}

QList<DriveEntry> FixedDrives::drives() const
{
    const std::lock_guard lock(m_mutex);
    return m_drives;
}

void FixedDrives::setDrives(QList<DriveEntry> drives)
{
    const std::lock_guard lock(m_mutex);
    m_drives = std::move(drives);
}

bool FixedDrives::isStillMounted(const DriveEntry &volume) const
{
    std::function<void()> hook;
    {
        const std::lock_guard lock(m_mutex);
        hook = m_mountCheckHook;
    }
    if (hook)
        hook();
    const std::lock_guard lock(m_mutex);
    return !m_unplugged.contains(volume.folder);
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
