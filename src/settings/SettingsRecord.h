#pragma once

#include <QString>

// The user's three choices, remembered from one use to the next.
struct SettingsRecord
{
    QString sourcePath;
    QString driveString;
    qint16 extensionFlag = 0; // 0 unchecked, 1 checked, 2 grayed

    bool operator==(const SettingsRecord &) const = default;
};
