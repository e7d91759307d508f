#include "SettingsStore.h"

#include "SettingsFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <unistd.h>

namespace {
// The record is one short line; anything much longer is not ours.
constexpr qint64 MaximumSize = 64 * 1024;

bool isBelowSystemFolder(const QString &canonicalPath)
{
    for (const QString &system : {QStringLiteral("/usr"), QStringLiteral("/opt")}) {
        if (canonicalPath == system || canonicalPath.startsWith(system + QLatin1Char('/')))
            return true;
    }
    return false;
}
} // namespace

SettingsStore::SettingsStore(QString workingFolder, QString programFolder, QString userFolder)
    : m_workingFolder(std::move(workingFolder)), m_programFolder(std::move(programFolder)),
      m_userFolder(std::move(userFolder))
{
}

SettingsStore SettingsStore::forThisProcess()
{
    return SettingsStore(QDir::currentPath(), QCoreApplication::applicationDirPath(),
                         QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
}

QString SettingsStore::fileIn(const QString &folder)
{
    return QDir(folder).filePath(QString::fromLatin1(SettingsFile::FileName));
}

bool SettingsStore::mayKeepSettingsIn(const QString &folder)
{
    const QFileInfo info(folder);
    if (folder.isEmpty() || !info.isDir() || !info.isWritable() ||
        isBelowSystemFolder(info.canonicalFilePath()) || info.ownerId() != ::geteuid())
        return false;
    const QFileInfo file(fileIn(folder));
    return !file.exists() || file.isWritable();
}

void SettingsStore::load(SettingsTarget &target) const
{
    for (const QString &folder : foldersToLoadFrom()) {
        QFile file(fileIn(folder));
        if (folder.isEmpty() || !file.exists())
            continue;
        if (!file.open(QIODevice::ReadOnly))
            return;
        const std::optional<SettingsRecord> record = SettingsFile::parse(file.read(MaximumSize));
        if (!record)
            return;
        target.setSourcePath(record->sourcePath);
        // The box matters most where the drive is absent: a player plugged in
        // later must get the same names as last time, not a second set.
        target.selectDrive(record->driveString);
        target.setExtensionFlag(record->extensionFlag);
        return;
    }
}

std::optional<QString> SettingsStore::save(const SettingsRecord &record) const
{
    QStringList errors;
    for (const QString &folder : foldersToSaveInto()) {
        const std::optional<QString> error = saveInto(folder, record);
        if (!error)
            return std::nullopt;
        errors.append(*error);
    }
    if (errors.isEmpty())
        return QCoreApplication::translate("SettingsStore",
                                           "Could not save the settings: the program's folder "
                                           "\"%1\" may not hold them and there is no per-user "
                                           "configuration folder.")
            .arg(QDir::toNativeSeparators(m_programFolder));
    return errors.join(QLatin1Char('\n'));
}

QStringList SettingsStore::foldersToSaveInto() const
{
    QStringList folders;
    if (mayKeepSettingsIn(m_programFolder))
        folders.append(m_programFolder);
    if (!m_userFolder.isEmpty())
        folders.append(m_userFolder);
    return folders;
}

// A save that could not use the program's folder went to the per-user folder,
// so that is where the last save is; an older quillet.dat left in the
// program's folder must not shadow it.
QStringList SettingsStore::foldersToLoadFrom() const
{
    if (mayKeepSettingsIn(m_programFolder))
        return {m_workingFolder, m_programFolder, m_userFolder};
    return {m_workingFolder, m_userFolder, m_programFolder};
}

// Written whole or not at all, so a failing disk never leaves half a record.
std::optional<QString> SettingsStore::saveInto(const QString &folder,
                                               const SettingsRecord &record) const
{
    // The per-user folder is made on the first save.
    QDir().mkpath(folder);
    QSaveFile file(fileIn(folder));
    if (file.open(QIODevice::WriteOnly) && file.write(SettingsFile::format(record)) >= 0 &&
        file.commit())
        return std::nullopt;
    return QCoreApplication::translate("SettingsStore",
                                       "Could not save the settings to \"%1\": %2.")
        .arg(QDir::toNativeSeparators(file.fileName()), file.errorString());
}
