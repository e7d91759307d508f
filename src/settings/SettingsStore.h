#pragma once

#include "Path.h"
#include "Result.h"
#include "SettingsFile.h"

#include <QList>
#include <QString>

// Whatever shows the restored choices. The drive is shown even where it is not
// there now (a player not plugged in); the flag may be refused.
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
    SettingsStore(QString workingFolder, QString programFolder, QString userFolder);
    // The folders of this process, taken when called: call it at start-up.
    static SettingsStore forThisProcess();

    // Whether quillet.dat may be written into the folder: one the user owns and
    // can write, with a quillet.dat there that can be replaced, and not below
    // /usr or /opt, where a package's files live and root could still write.
    static bool mayKeepSettingsIn(const QString &folder);

    // Silent: a missing or bad file leaves the target as it was.
    void load(SettingsTarget &target) const;
    // Why the record could not be saved anywhere: each folder's failure, the
    // program's folder first.
    Result<void> save(const SettingsRecord &record) const;

private:
    static Path fileIn(const QString &folder);
    QList<QString> foldersToSaveInto() const;
    QList<QString> foldersToLoadFrom() const;
    Result<SettingsRecord> loadFrom(const QString &folder) const;
    static Result<void> saveInto(const QString &folder, const SettingsRecord &record);

    QString m_workingFolder;
    QString m_programFolder;
    QString m_userFolder;
};
