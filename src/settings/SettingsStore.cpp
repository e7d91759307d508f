#include "SettingsStore.h"

#include "FileSystem.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

namespace {
// The record is one short line; anything much longer is not ours.
constexpr qsizetype MaximumSize = qsizetype{64} * 1024;

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

Path SettingsStore::fileIn(const QString &folder)
{
    return Path(folder) / QString::fromLatin1(SettingsFile::FileName);
}

bool SettingsStore::mayKeepSettingsIn(const QString &folder)
{
    if (folder.isEmpty())
        return false;
    const Path path(folder);
    const Result<Path> canonical = FileSystem::canonical(path);
    if (!FileSystem::isFolder(path) || !FileSystem::checkWritable(path) || !canonical ||
        isBelowSystemFolder(canonical->toString()) || !FileSystem::isOwnedByUser(path))
        return false;
    const Result<void> file = FileSystem::checkWritable(fileIn(folder));
    return file || file.error().is(Error::Condition::Missing);
}

// The first folder that holds a quillet.dat decides: one that cannot be read
// or holds no record changes nothing, as no file at all does.
void SettingsStore::load(SettingsTarget &target) const
{
    for (const QString &folder : foldersToLoadFrom()) {
        if (folder.isEmpty())
            continue;
        const Result<SettingsRecord> record = loadFrom(folder);
        if (!record && record.error().is(Error::Condition::Missing))
            continue;
        if (!record)
            return;
        target.setSourcePath(record->sourcePath);
        // The box matters most where the drive is absent: a player plugged in
        // later must get the same names as last time, not a second set.
        target.selectDrive(record->driveString);
        target.setExtensionFlag(record->extensionFlag);
        target.setCharacterSet(record->characterSet);
        return;
    }
}

Result<SettingsRecord> SettingsStore::loadFrom(const QString &folder) const
{
    const Result<QByteArray> content = FileSystem::readStart(fileIn(folder), MaximumSize);
    if (!content)
        return content.error().during(Error::Action::ReadSettings, fileIn(folder));
    return SettingsFile::parse(*content);
}

Result<void> SettingsStore::save(const SettingsRecord &record) const
{
    std::optional<Error> failure;
    for (const QString &folder : foldersToSaveInto()) {
        const Result<void> saved = saveInto(folder, record);
        if (saved)
            return {};
        failure = failure ? failure->followedBy(saved.error()) : saved.error();
    }
    if (failure)
        return *failure;
    return Error(Error::Reason::NoSettingsFolder)
        .during(Error::Action::FindSettingsFolder, Path(m_programFolder));
}

QList<QString> SettingsStore::foldersToSaveInto() const
{
    QList<QString> folders;
    if (mayKeepSettingsIn(m_programFolder))
        folders.append(m_programFolder);
    if (!m_userFolder.isEmpty())
        folders.append(m_userFolder);
    return folders;
}

// A save that could not use the program's folder went to the per-user folder,
// so that is where the last save is; an older quillet.dat left in the
// program's folder must not shadow it.
QList<QString> SettingsStore::foldersToLoadFrom() const
{
    if (mayKeepSettingsIn(m_programFolder))
        return {m_workingFolder, m_programFolder, m_userFolder};
    return {m_workingFolder, m_userFolder, m_programFolder};
}

// Written whole or not at all, so a failing disk never leaves half a record.
// The per-user folder is made on the first save.
Result<void> SettingsStore::saveInto(const QString &folder, const SettingsRecord &record)
{
    Result<void> saved = FileSystem::makePath(Path(folder));
    if (saved)
        saved = FileSystem::replaceWhole(fileIn(folder), SettingsFile::format(record));
    if (!saved)
        return saved.error().during(Error::Action::SaveSettings, fileIn(folder));
    return {};
}
