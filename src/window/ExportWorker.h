#pragma once

#include "ExportResult.h"
#include "ExportRun.h"

#include <QCoreApplication>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <functional>
#include <semaphore>
#include <thread>

class QAbstractButton;
class QObject;

// Shows the export's progress on the Export button. The export tells the count
// after each note, on the thread that runs it; the button's thread shows the
// latest count once per interval, because painting costs far more than writing
// a note. A stop request goes back the same way. Both directions are single
// atomics, so that the export never waits for the window.
class ButtonCaption : public ExportProgress
{
    Q_DECLARE_TR_FUNCTIONS(ButtonCaption)

public:
    static constexpr std::chrono::milliseconds Interval{50};

    // Made on the button's thread, whose event loop shows the count.
    explicit ButtonCaption(QAbstractButton &button);

    // What the Export button shows while `notesSaved` notes are saved: "Notes N".
    static QString captionFor(qint64 notesSaved);

    // Any thread.
    void notesSaved(qint64 count) override;
    bool stopRequested() override;
    void requestStop();

    // The button's thread: shows the latest count, if it is not shown yet.
    void showLatest();

private:
    QAbstractButton &m_button;
    QTimer m_timer;
    std::atomic<qint64> m_latest{-1}; // notes saved; none reported yet
    std::atomic<bool> m_stop{false};
    qint64 m_shown = -1;
};

// Carries the end of the work from its thread to the window's as a queued
// signal. A functor handed to invokeMethod on the work's thread could be freed
// there after the window's thread ran it, an order ThreadSanitizer cannot see
// inside Qt.
class WorkEnded : public QObject
{
    Q_OBJECT
signals:
    void ended();
};

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
    using Removal = std::function<RemovalResult(ExportProgress &)>;
    using RemovalEnded = std::function<void(const RemovalResult &)>;

    // Starts the run at once. The button and the context live on the calling
    // thread and outlive the worker.
    ExportWorker(ExportRun run, QAbstractButton &exportButton, QObject &context, Ended ended);
    // Starts the removal at once. The button keeps what it shows.
    ExportWorker(Removal removal, QAbstractButton &exportButton, QObject &context,
                 RemovalEnded ended);
    // Asks the work to stop, then waits for the thread.
    ~ExportWorker();

    // An export stops once the note being written is whole and flushes what
    // was written, a removal once the note being removed is gone, and the
    // record is kept; `ended` is still called.
    void requestStop();
    // Shows the count the run ended with, which the caption may not show yet.
    void showFinalCount();

    // For std::atexit, on the thread that made the workers. Where the program
    // ends without going back to the event loop, as when the display's
    // connection is lost at the end of a session and Qt calls exit(): asks the
    // running export, if any, to stop after the note being written and waits,
    // at most ExitPatience, until what was written is flushed.
    static void finishBeforeExit();
    static constexpr std::chrono::seconds ExitPatience{10};

private:
    template <typename Job, typename Result>
    void start(QObject &context, Job job, std::function<void(const Result &)> ended);

    ButtonCaption m_caption;
    WorkEnded m_workEnded;
    std::function<void()> m_tellEnd; // made by the work's thread, called once it is joined
    std::binary_semaphore m_jobDone{0};
    std::jthread m_thread; // last: started after the caption exists, joined before it goes
};
