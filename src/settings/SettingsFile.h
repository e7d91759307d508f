#pragma once

#include "CharacterSet.h"
#include "Result.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The user's choices, remembered from one use to the next.
struct SettingsRecord
{
    QString sourcePath;
    QString driveString;
    qint16 extensionFlag = 0; // 0 unchecked, 1 checked, 2 grayed
    CharacterSet characterSet = CharacterSet::Western;

    bool operator==(const SettingsRecord &) const = default;
};

// The one-line record of "quillet.dat": "SOURCE","DRIVE",FLAG,"CHARACTERS"
// followed by CR LF, CHARACTERS the name of the memos' character set. A record
// of an earlier version, without it, is read as Western European; an earlier
// version reads the first three fields of this one.
namespace SettingsFile {

constexpr const char *FileName = "quillet.dat";

QByteArray format(const SettingsRecord &record);
// Error::Reason::MalformedSettings where the content does not hold the three
// first fields well-formed. A character set it does not know is Western
// European, as none is.
Result<SettingsRecord> parse(QByteArrayView content);

} // namespace SettingsFile
