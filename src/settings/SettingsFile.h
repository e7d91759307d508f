#pragma once

#include "Result.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The user's three choices, remembered from one use to the next.
struct SettingsRecord
{
    QString sourcePath;
    QString driveString;
    qint16 extensionFlag = 0; // 0 unchecked, 1 checked, 2 grayed

    bool operator==(const SettingsRecord &) const = default;
};

// The one-line record of "quillet.dat": "SOURCE","DRIVE",FLAG followed by CR LF.
namespace SettingsFile {

constexpr const char *FileName = "quillet.dat";

QByteArray format(const SettingsRecord &record);
// Error::Reason::MalformedSettings where the content does not hold three
// well-formed fields.
Result<SettingsRecord> parse(QByteArrayView content);

} // namespace SettingsFile
