#pragma once

#include "ExportProgress.h"
#include "ExportResult.h"

#include <QString>

// One export: reads the memo export, writes every memo as a note into the
// notes folder of the destination, and flushes the device at the end.
class ExportRun
{
public:
    static constexpr int ExtensionChecked = 1;

    ExportRun(QString sourcePath, QString driveString, int extensionFlag);
    ExportResult run(ExportProgress &progress);

private:
    QString m_sourcePath;
    QString m_driveString;
    QString m_extension;
};
