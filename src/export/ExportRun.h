#pragma once

#include <QString>

// Told of the Export button's caption as the run goes: "Notes 0" once the notes
// folder is ready, then "Notes N" after each note.
class ExportProgress
{
public:
    virtual ~ExportProgress() = default;
    virtual void captionChanged(const QString &caption) = 0;
};

struct ExportResult
{
    bool succeeded = false;
    qint64 noteCount = 0;
    QString notesFolder;  // root + "/Notes/"
    QString errorMessage; // what failed, where, why, and how far the run got

    // "N memos saved to ROOT/Notes/"
    QString completionMessage() const;
};

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
