#pragma once

#include <QString>

// What went wrong on the disk, in words for the user.
struct FileError
{
    QString action; // for example "create the category folder"
    QString path;
    QString reason; // the system's reason

    QString message() const;
};
