#pragma once

#include "SettingsRecord.h"
#include "SettingsTarget.h"

#include <QString>
#include <QStringList>
#include <optional>

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
    // The error message when the record could not be saved anywhere.
    std::optional<QString> save(const SettingsRecord &record) const;

private:
    static QString fileIn(const QString &folder);
    QStringList foldersToSaveInto() const;
    QStringList foldersToLoadFrom() const;
    std::optional<QString> saveInto(const QString &folder, const SettingsRecord &record) const;

    QString m_workingFolder;
    QString m_programFolder;
    QString m_userFolder;
};
