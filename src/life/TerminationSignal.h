#pragma once

#include <QObject>
#include <array>
#include <atomic>
#include <csignal>
#include <pthread.h>

class QSocketNotifier;

// Turns SIGTERM (logout, shutdown), SIGINT (Ctrl-C in the terminal that started
// the program) and SIGHUP (that terminal closed) into received() on the event
// loop, so that the program ends between two notes and never in the middle of
// one. main makes it before anything else, before any other thread: it blocks
// the signals in the calling thread, so that every thread made later (Qt's own
// and the export's) inherits the block and is never interrupted by them, and a
// thread of its own waits for them and tells the window's thread through a
// socket. A thread that was running before (where a test makes it after the
// window) takes them in a handler that does the same. Until listen() is
// called, a signal ends the program at once with the signal's default action:
// nothing is being written before the window is there. So does a second
// SIGINT, heard or not: Ctrl-C pressed twice must end a window that hangs, or
// an export that waits on a player that does not answer. Any other mix, such
// as SIGTERM then SIGHUP at the end of a session, is heard as one more
// request. A
// signal the program was started to ignore stays ignored. One may exist at a
// time. It goes on the thread that made it, and restores the previous handling
// and that thread's signal mask. A process started from a thread made while it
// exists starts with the signals blocked (QProcess passes the mask on), so
// start none there.
class TerminationSignal : public QObject
{
    Q_OBJECT
public:
    TerminationSignal();
    ~TerminationSignal() override;

    // Starts delivering received(); needs the application object.
    void listen();

signals:
    // `signal` is the signal's number.
    void received(int signal);

private:
    static constexpr std::array<int, 3> Signals{SIGTERM, SIGINT, SIGHUP};

    int firstWaited() const;
    bool startWaiting();
    void installHandler() const;
    void closeSockets();
    void waitForSignals();
    void drain();

    int m_sockets[2] = {-1, -1}; // read end, write end; open while the waiting thread runs
    std::array<struct sigaction, Signals.size()> m_previous = {};
    sigset_t m_waited = {};
    sigset_t m_previousMask = {};
    pthread_t m_waiter = {};
    std::atomic<bool> m_stopping{false};
    QSocketNotifier *m_notifier = nullptr;
};
