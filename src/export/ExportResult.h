#pragma once

#include <QString>

struct ExportResult
{
    bool succeeded = false;
    qint64 noteCount = 0;
    QString notesFolder;  // root + "/Notes/"
    QString errorMessage; // what failed, where, why, and how far the run got

    // "N memos saved to ROOT/Notes/"
    QString completionMessage() const;
};
