#include "SettingsStore.h"

#include "SettingsFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>

namespace {
// The record is one short line; anything much longer is not ours.
constexpr qint64 MaximumSize = 64 * 1024;
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

QString SettingsStore::fileIn(const QString &folder) const
{
    return QDir(folder).filePath(QString::fromLatin1(SettingsFile::FileName));
}

void SettingsStore::load(SettingsTarget &target) const
{
    for (const QString &folder : {m_workingFolder, m_programFolder, m_userFolder}) {
        QFile file(fileIn(folder));
        if (folder.isEmpty() || !file.exists())
            continue;
        if (!file.open(QIODevice::ReadOnly))
            return;
        const std::optional<SettingsRecord> record = SettingsFile::parse(file.read(MaximumSize));
        if (!record)
            return;
        target.setSourcePath(record->sourcePath);
        if (target.selectDrive(record->driveString))
            target.setExtensionFlag(record->extensionFlag);
        return;
    }
}

std::optional<QString> SettingsStore::save(const SettingsRecord &record) const
{
    const std::optional<QString> programError = saveInto(m_programFolder, record);
    if (!programError)
        return std::nullopt;
    if (m_userFolder.isEmpty() || !QDir().mkpath(m_userFolder))
        return programError;
    const std::optional<QString> userError = saveInto(m_userFolder, record);
    if (!userError)
        return std::nullopt;
    return *programError + QLatin1Char('\n') + *userError;
}

// Written whole or not at all, so a failing disk never leaves half a record.
std::optional<QString> SettingsStore::saveInto(const QString &folder,
                                               const SettingsRecord &record) const
{
    QSaveFile file(fileIn(folder));
    if (file.open(QIODevice::WriteOnly) && file.write(SettingsFile::format(record)) >= 0 &&
        file.commit())
        return std::nullopt;
    return QStringLiteral("Could not save the settings to \"%1\": %2.")
        .arg(QDir::toNativeSeparators(file.fileName()), file.errorString());
}
