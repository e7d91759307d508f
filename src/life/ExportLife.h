#pragma once

#include "ExportResult.h"
#include "ExportRun.h"

#include <QObject>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <functional>
#include <optional>
#include <semaphore>
#include <thread>

// The life of an export, from Export (or --export) to the program's end or the
// next export, as the window and the command line both drive it; its states
// and what leads from one to the next are all in next(). The export, and the
// removal of the notes of memos that are gone that may follow it, run on a
// thread of their own, so that the thread that drives the life keeps hearing
// the person and the termination signals while notes are written and flushed.
// Both are given one relay as their ExportProgress: the count goes one way, a
// stop the other.
//
// A second Ctrl-C is not an event here: it must end a program whose event
// loop is stuck, so TerminationSignal ends the process at once where it hears
// it.
class ExportLife : public QObject
{
    Q_OBJECT
public:
    enum class State {
        Idle,      // nothing runs
        Exporting, // the export runs
        Removing,  // the removal of the notes of memos that are gone runs
        // Asked to end: the work stops once the note at hand is whole, or
        // removed, and what was written is flushed.
        Stopping,
        // The stop has not come within Limits::VolumeAnswer: a player that does
        // not answer holds the work inside a system call, where no stop reaches.
        WaitingOnPlayer,
        AskingToEnd, // a person is asked whether to end without waiting
        // The work has ended: the person is told how it went and may be asked
        // whether to remove the notes of memos that are gone.
        Reporting,
        Ended, // the program ends, saving nothing, once the work is over
    };
    Q_ENUM(State)

    enum class Event {
        ExportStarted, // startExport()
        RemovalChosen, // startRemoval()
        WorkEnded,     // the export's or the removal's thread is done
        Reported,      // the end was told and the choices are saved
        EndAsked,      // Exit, or the close box
        // SIGTERM, SIGINT or SIGHUP, or the desktop going away; unlike a
        // person, it never asks whether to end without waiting.
        TerminationAsked,
        StopOverdue, // Limits::VolumeAnswer after Stopping began
        EndNowChosen,
        KeepWaitingChosen,
    };
    Q_ENUM(Event)

    using ExportJob = std::function<ExportResult(ExportProgress &)>;
    using RemovalJob = std::function<RemovalResult(ExportProgress &)>;

    // Where `event` leads from `state`.
    static State next(State state, Event event);
    // What the Export button and a terminal show as the count grows: "Notes N".
    static QString countText(qint64 notesSaved);

    // The count is told at most once per `countInterval`: showing it costs far
    // more than writing a note.
    explicit ExportLife(std::chrono::milliseconds countInterval, QObject *parent = nullptr);
    // Asks the work to stop after the note at hand, and waits for its thread.
    ~ExportLife() override;

    State state() const { return m_state; }
    // Whether the export's or the removal's thread runs.
    bool working() const { return m_thread.joinable(); }
    // Whether the program may end now: no work runs, and none is being told of.
    bool mayEnd() const
    {
        return (m_state == State::Idle || m_state == State::Ended) && !working();
    }

    // Run the job on a thread of their own where the table leads to Exporting,
    // or Removing; do nothing elsewhere.
    void startExport(ExportJob job);
    void startRemoval(RemovalJob job);
    // Any event but the three the life brings itself (ExportStarted,
    // RemovalChosen, WorkEnded).
    void handle(Event event);

    // For std::atexit, on the thread that drives the life. Where the program
    // ends without going back to the event loop, as when the display's
    // connection is lost at the end of a session and Qt calls exit(): asks the
    // running work, if any, to stop after the note at hand and waits, at most
    // ExitPatience, until what was written is flushed.
    static void finishBeforeExit();
    static constexpr std::chrono::seconds ExitPatience{10};

signals:
    void stateChanged(ExportLife::State state);
    // The latest count, if it is not told yet: once per interval while the
    // export runs, and once more when it ends.
    void notesSaved(qint64 count);
    // Once WorkEnded has led to the next state.
    void exportEnded(const ExportResult &result);
    void removalEnded(const RemovalResult &result);
    // From the work's thread. A signal, not a functor handed to invokeMethod:
    // one made there could be freed there after this thread ran it, an order
    // ThreadSanitizer cannot see inside Qt.
    void workDone(QPrivateSignal);

private:
    // Single atomics, so that the work never waits for the thread that shows
    // the count.
    class Relay : public ExportProgress
    {
    public:
        void notesSaved(qint64 count) override;
        bool stopRequested() override;
        void requestStop();
        qint64 latest() const;
        // Only while no work runs.
        void reset();

    private:
        std::atomic<qint64> m_latest{-1}; // notes saved; none told yet
        std::atomic<bool> m_stop{false};
    };

    bool leadsOn(Event event) const;
    void enter(State state);
    void run(std::function<void()> job);
    void endWork();
    void tellLatestCount();

    State m_state = State::Idle;
    Relay m_relay;
    QTimer m_countTimer;
    QTimer m_stopWatch;
    qint64 m_told = -1;
    // Written by the work's thread, read once it is joined.
    std::optional<ExportResult> m_exportResult;
    std::optional<RemovalResult> m_removalResult;
    std::binary_semaphore m_jobDone{0};
    std::jthread m_thread; // last: joined before what it uses goes
};
