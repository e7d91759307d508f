#pragma once

#include "ButtonCaption.h"
#include "ExportResult.h"
#include "ExportRun.h"

#include <functional>
#include <thread>

class QAbstractButton;
class QObject;

// Runs one export, or the removal of the notes of memos that are gone that may
// follow it, on a thread of its own, so that the window keeps painting and
// hearing Exit while notes are written or removed and flushed. An export's
// count is shown on the Export button as it goes; the result comes back as a
// call of `ended` through the event loop of the context's thread. The thread is
// always joined before the worker goes.
class ExportWorker
{
public:
    using Ended = std::function<void(const ExportResult &)>;
    using Removal = std::function<RemovalResult()>;
    using RemovalEnded = std::function<void(const RemovalResult &)>;

    // Starts the run at once. The button and the context live on the calling
    // thread and outlive the worker.
    ExportWorker(ExportRun run, QAbstractButton &exportButton, QObject &context, Ended ended);
    // Starts the removal at once. It cannot be stopped half-way; the button
    // keeps what it shows.
    ExportWorker(Removal removal, QAbstractButton &exportButton, QObject &context,
                 RemovalEnded ended);
    // Asks an export to stop, then waits for the thread.
    ~ExportWorker();

    // An export stops once the note being written is whole and flushes what
    // was written; `ended` is still called. A removal runs to its end.
    void requestStop();
    // Shows the count the run ended with, which the caption may not show yet.
    void showFinalCount();

private:
    template <typename Job, typename Result>
    void start(QObject &context, Job job, std::function<void(const Result &)> ended);

    ButtonCaption m_caption;
    std::jthread m_thread; // last: started after the caption exists, joined before it goes
};
