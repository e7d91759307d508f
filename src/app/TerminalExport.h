#pragma once

#include "CommandLine.h"
#include "ExportLife.h"
#include "ExportResult.h"

#include <QObject>
#include <optional>

// The export from a terminal or a script: the same export as the window's,
// driven through the same life, while the program's thread shows the count,
// when a person watches standard error, and hears termination signals.
// Standard output gets the window's final message, standard error what failed.
class TerminalExport : public QObject
{
    Q_OBJECT

public:
    explicit TerminalExport(CommandLine::Export request);

    // Starts the export; finished() follows on this thread.
    void start();
    // The export stops once the note being written is whole, flushes what was
    // written and says how many memos were saved; the program then ends with
    // 128 and the signal's number.
    void stop(int signal);
    // 0 completed, 1 failed (the export, or the removal that followed it), 128
    // + the signal's number for a stop. Prints what the person is told.
    int report();

signals:
    void finished();

private:
    void exportEnded(const ExportResult &result);
    void removalEnded(const RemovalResult &removal);
    int reportRemoval(const RemovalResult &removal);
    void showCount(qint64 count);
    void clearCount();

    CommandLine::Export m_request;
    int m_signal = 0;
    bool m_countShown = false;
    ExportResult m_result;
    std::optional<RemovalResult> m_removal;
    ExportLife m_life; // last: its work is stopped and joined before what it tells goes
};
