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
    return m_drives;
}

void FixedDrives::setDrives(QList<DriveEntry> drives)
{
    m_drives = std::move(drives);
}

bool FixedDrives::isStillMounted(const DriveEntry &volume) const
{
    if (m_mountCheckHook)
        m_mountCheckHook();
    return !m_unplugged.contains(volume.folder);
}

void FixedDrives::unplug(const QString &folder)
{
    m_unplugged.insert(folder);
}

void FixedDrives::onMountCheck(std::function<void()> hook)
{
    m_mountCheckHook = std::move(hook);
}
