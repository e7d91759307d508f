#pragma once

#include "Path.h"
#include "Result.h"
#include "SettingsFile.h"

#include <QList>
#include <QString>

// Whatever shows the restored choices. The drive is shown even where it is not
// there now (a player not plugged in); the flag may be refused, which is all
// the store needs to know of it.
class SettingsTarget
{
public:
    virtual ~SettingsTarget() = default;
    virtual void setSourcePath(const QString &path) = 0;
    virtual void selectDrive(const QString &driveString) = 0;
    virtual bool setExtensionFlag(int flag) = 0;
    virtual void setCharacterSet(CharacterSet characters) = 0;
};

// Finds, loads and saves "quillet.dat". Saving writes into the program's
// folder, or into the per-user configuration folder where the program may not
// keep it (an installed program). Loading looks in the working folder the
// program started in first, then where the save writes, then in the other one.
class SettingsStore
{
public:
    SettingsStore(Path workingFolder, Path programFolder, Path userFolder);
    // The folders of this process, taken when called: call it at start-up.
    static SettingsStore forThisProcess();

    // Whether quillet.dat may be written into the folder: one the user owns and
    // can write, with a quillet.dat there that can be replaced, and not below
    // /usr or /opt, where a package's files live and root could still write;
    // why not, where it may not.
    static Result<void> mayKeepSettingsIn(const Path &folder);

    // Restores the choices of the first quillet.dat there is; none where there
    // is none. A file that cannot be read or holds no record restores nothing,
    // and a flag the target refuses is left out: why, where either happens.
    Result<void> load(SettingsTarget &target) const;
    // Why the record could not be saved anywhere: each folder's failure, the
    // program's folder first, with why it may not hold them.
    Result<void> save(const SettingsRecord &record) const;

private:
    static Path fileIn(const Path &folder);
    QList<Path> foldersToLoadFrom() const;
    Result<SettingsRecord> loadFrom(const Path &folder) const;
    static Result<void> saveInto(const Path &folder, const SettingsRecord &record);

    Path m_workingFolder;
    Path m_programFolder;
    Path m_userFolder;
};
