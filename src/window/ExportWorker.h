#pragma once

#include "ButtonCaption.h"
#include "ExportResult.h"
#include "ExportRun.h"

#include <functional>
#include <thread>

class QAbstractButton;
class QObject;

// Runs one export on a thread of its own, so that the window keeps painting
// and hearing Exit while notes are written and flushed. The count is shown on
// the Export button as the run goes; the result comes back as a call of
// `ended` through the event loop of the context's thread. The thread is
// always joined before the worker goes.
class ExportWorker
{
public:
    using Ended = std::function<void(const ExportResult &)>;

    // Starts the run at once. The button and the context live on the calling
    // thread and outlive the worker.
    ExportWorker(ExportRun run, QAbstractButton &exportButton, QObject &context, Ended ended);
    // Asks the run to stop, then waits for it.
    ~ExportWorker();

    // The run stops once the note being written is whole and flushes what
    // was written; `ended` is still called.
    void requestStop();
    // Shows the count the run ended with, which the caption may not show yet.
    void showFinalCount();

private:
    ButtonCaption m_caption;
    std::jthread m_thread; // last: started after the caption exists, joined before it goes
};
