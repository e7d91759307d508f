#pragma once

#include <QString>

// Where a note goes below the notes folder.
struct NotePath
{
    QString category; // empty: directly in the notes folder
    QString fileName;

    QString relativePath() const;
};
