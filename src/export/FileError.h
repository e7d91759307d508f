#pragma once

#include <QString>

// What went wrong on the disk, in words for the user.
struct FileError
{
    // The translated sentence, with the path as %1 and the reason as %2: for
    // example 'Could not create the note "%1": %2.'
    QString sentence;
    QString path;
    QString reason; // the system's reason, or why the program would not

    QString message() const;
};
