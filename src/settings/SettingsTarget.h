#pragma once

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
};
