#pragma once

#include "SettingsRecord.h"
#include "SettingsTarget.h"

#include <QString>

#include <optional>

// Finds, loads and saves "quillet.dat". Loading looks in the working folder the
// program started in, then the program's folder, then the per-user
// configuration folder. Saving writes into the program's folder, or into the
// per-user folder where the program's folder cannot be written (an installed
// program).
class SettingsStore
{
public:
    SettingsStore(QString workingFolder, QString programFolder, QString userFolder);
    // The folders of this process, taken when called: call it at start-up.
    static SettingsStore forThisProcess();

    // Silent: a missing or bad file leaves the target as it was.
    void load(SettingsTarget &target) const;
    // The error message when the record could not be saved anywhere.
    std::optional<QString> save(const SettingsRecord &record) const;

private:
    QString fileIn(const QString &folder) const;
    std::optional<QString> saveInto(const QString &folder, const SettingsRecord &record) const;

    QString m_workingFolder;
    QString m_programFolder;
    QString m_userFolder;
};
