#pragma once

#include <QString>

// Whatever shows the restored choices. The drive and the flag may be refused;
// a refusal stops the load there.
class SettingsTarget
{
public:
    virtual ~SettingsTarget() = default;
    virtual void setSourcePath(const QString &path) = 0;
    virtual bool selectDrive(const QString &driveString) = 0;
    virtual bool setExtensionFlag(int flag) = 0;
};
