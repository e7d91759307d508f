#pragma once

#include <QString>

// Where a note goes below the notes folder.
struct NotePath
{
    QString folder; // below the notes folder; empty: the notes folder itself
    QString fileName;

    QString relativePath() const;
};
