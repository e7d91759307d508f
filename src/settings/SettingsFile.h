#pragma once

#include "SettingsRecord.h"

#include <QByteArray>
#include <QByteArrayView>
#include <optional>

// The one-line record of "quillet.dat": "SOURCE","DRIVE",FLAG followed by CR LF.
class SettingsFile
{
public:
    static constexpr const char *FileName = "quillet.dat";

    static QByteArray format(const SettingsRecord &record);
    // Nothing when the content does not hold three well-formed fields.
    static std::optional<SettingsRecord> parse(QByteArrayView content);
};
