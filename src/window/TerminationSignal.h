#pragma once

#include <QObject>
#include <array>
#include <csignal>

class QSocketNotifier;

// Turns SIGTERM (logout, shutdown), SIGINT (Ctrl-C in the terminal that started
// the program) and SIGHUP (that terminal closed) into received() on the event
// loop, so that the program ends between two notes and never in the middle of
// one. The handler only writes a byte to a socket, which is safe in a signal
// handler. It is installed when the object is made, which main does before
// anything else. Until listen() is called, and while a request waits unheard,
// a signal ends the program at once: nothing is being written before the window
// is there, and a second Ctrl-C must still end a window that hangs. A signal
// the program was started to ignore stays ignored. One may exist at a time; it
// restores the previous handling when it goes.
class TerminationSignal : public QObject
{
    Q_OBJECT
public:
    TerminationSignal();
    ~TerminationSignal() override;

    // Starts delivering received(); needs the application object.
    void listen();
    // Keeps the signals from the calling thread, so that they are handled on
    // the window's thread and never interrupt a note being written here.
    static void blockInThisThread();

signals:
    void received();

private:
    static constexpr std::array<int, 3> Signals{SIGTERM, SIGINT, SIGHUP};

    static void handle(int signal);
    void drain();

    int m_sockets[2] = {-1, -1}; // read end, write end
    std::array<struct sigaction, Signals.size()> m_previous = {};
    QSocketNotifier *m_notifier = nullptr;
};
