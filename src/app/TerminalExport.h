#pragma once

#include "CommandLine.h"
#include "ExportResult.h"
#include "ExportRun.h"

#include <QCoreApplication>
#include <QObject>
#include <QTimer>
#include <atomic>
#include <optional>
#include <thread>

// The export from a terminal or a script: the same export as the window's, on
// a thread of its own, while the program's thread shows the count, when a
// person watches standard error, and hears termination signals. Standard
// output gets the window's final message, standard error what failed.
class TerminalExport : public QObject, private ExportProgress
{
    Q_OBJECT

public:
    explicit TerminalExport(CommandLine::Export request);
    ~TerminalExport() override;

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
    void notesSaved(qint64 count) override;
    bool stopRequested() override;
    int reportRemoval(const RemovalResult &removal);
    void showCount();
    void clearCount();

    CommandLine::Export m_request;
    std::atomic<qint64> m_latest{-1}; // notes saved; none reported yet
    std::atomic<bool> m_stop{false};
    int m_signal = 0;
    qint64 m_shown = -1;
    QTimer m_count;
    ExportResult m_result;
    std::optional<RemovalResult> m_removal;
    std::jthread m_thread; // last: joined before what it uses goes
};
