#include "SettingsStore.h"

#include "Files.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

namespace {
// The record is one short line; anything much longer is not ours.
constexpr qsizetype MaximumSize = qsizetype{64} * 1024;

bool isBelowSystemFolder(const Path &canonical)
{
    for (const QString &system : {QStringLiteral("/usr"), QStringLiteral("/opt")}) {
        if (canonical == Path(system) || canonical.hasAncestor(Path(system)))
            return true;
    }
    return false;
}
} // namespace

SettingsStore::SettingsStore(Path workingFolder, Path programFolder, Path userFolder)
    : m_workingFolder(std::move(workingFolder)), m_programFolder(std::move(programFolder)),
      m_userFolder(std::move(userFolder))
{
}

SettingsStore SettingsStore::forThisProcess()
{
    return SettingsStore(Path(QDir::currentPath()), Path(QCoreApplication::applicationDirPath()),
                         Path(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)));
}

Path SettingsStore::fileIn(const Path &folder)
{
    return folder / QString::fromLatin1(SettingsFile::FileName);
}

Result<void> SettingsStore::mayKeepSettingsIn(const Path &folder)
{
    const auto refused = [&folder](const Error &why) {
        return why.during(Error::Action::SaveSettings, folder);
    };
    const Result<FileSystem::Status> status = FileSystem::status(folder);
    if (!status)
        return refused(status.error());
    if (status->kind != FileSystem::Status::Kind::Folder)
        return refused(Error(Error::Reason::NotAFolder));
    const Result<Path> canonical = FileSystem::canonical(folder);
    if (!canonical)
        return refused(canonical.error());
    if (isBelowSystemFolder(*canonical))
        return refused(Error(Error::Reason::SystemFolder));
    if (!status->ownedByUser)
        return refused(Error(Error::Reason::OtherUsersFolder));
    if (const Result<void> writable = FileSystem::checkWritable(folder); !writable)
        return refused(writable.error());
    const Result<void> file = FileSystem::checkWritable(fileIn(folder));
    if (!file && !file.error().is(Error::Condition::Missing))
        return file.error().during(Error::Action::SaveSettings, fileIn(folder));
    return {};
}

// The first folder that holds a quillet.dat decides: one that cannot be read
// or holds no record changes nothing, as no file at all does.
Result<void> SettingsStore::load(SettingsTarget &target) const
{
    for (const Path &folder : foldersToLoadFrom()) {
        if (folder.isEmpty())
            continue;
        const Result<SettingsRecord> record = loadFrom(folder);
        if (!record && record.error().is(Error::Condition::Missing))
            continue;
        if (!record)
            return record.error();
        target.setSourcePath(record->sourcePath);
        // The box matters most where the drive is absent: a player plugged in
        // later must get the same names as last time, not a second set.
        target.selectDrive(record->driveString);
        const bool flagTaken = target.setExtensionFlag(record->extensionFlag);
        target.setCharacterSet(record->characterSet);
        if (!flagTaken)
            return Error(Error::Reason::FlagOutOfRange, record->extensionFlag)
                .during(Error::Action::ReadSettings, fileIn(folder));
        return {};
    }
    return {};
}

Result<SettingsRecord> SettingsStore::loadFrom(const Path &folder) const
{
    const Result<QByteArray> content = Files::readStart(fileIn(folder), MaximumSize);
    Result<SettingsRecord> record =
        content ? SettingsFile::parse(*content) : Result<SettingsRecord>(content.error());
    if (!record)
        return record.error().during(Error::Action::ReadSettings, fileIn(folder));
    return record;
}

// Into the program's folder where it may hold them, else into the per-user
// folder.
Result<void> SettingsStore::save(const SettingsRecord &record) const
{
    const Result<void> mayKeep = mayKeepSettingsIn(m_programFolder);
    const Result<void> saved = mayKeep ? saveInto(m_programFolder, record) : mayKeep;
    if (saved)
        return {};
    if (m_userFolder.isEmpty() && !mayKeep)
        return saved.error().followedBy(
            Error(Error::Reason::NoSettingsFolder)
                .during(Error::Action::FindSettingsFolder, m_programFolder));
    if (m_userFolder.isEmpty())
        return saved.error();
    if (const Result<void> savedForUser = saveInto(m_userFolder, record); !savedForUser)
        return saved.error().followedBy(savedForUser.error());
    return {};
}

// A save that could not use the program's folder went to the per-user folder,
// so that is where the last save is; an older quillet.dat left in the
// program's folder must not shadow it. Why the program's folder may not hold
// them matters only to a save, which says it.
QList<Path> SettingsStore::foldersToLoadFrom() const
{
    if (mayKeepSettingsIn(m_programFolder))
        return {m_workingFolder, m_programFolder, m_userFolder};
    return {m_workingFolder, m_userFolder, m_programFolder};
}

// Written whole or not at all, so a failing disk never leaves half a record.
// The per-user folder is made on the first save.
Result<void> SettingsStore::saveInto(const Path &folder, const SettingsRecord &record)
{
    Result<void> saved = Files::makePath(folder);
    if (saved)
        saved = Files::replaceWhole(fileIn(folder), SettingsFile::format(record));
    if (!saved)
        return saved.error().during(Error::Action::SaveSettings, fileIn(folder));
    return {};
}
