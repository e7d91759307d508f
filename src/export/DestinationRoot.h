#pragma once

#include <QString>

// The prefix every path of an export begins with, taken from the drive string.
// With drive letters it is the letter and its colon ("e:"); elsewhere the drive
// string is a folder, optionally followed by " [LABEL]", and the root is that
// folder without trailing separators ("/" gives "").
class DestinationRoot
{
public:
    static QString fromDriveString(const QString &driveString);
};
