#pragma once

#include <QObject>
#include <csignal>

class QSocketNotifier;

// Turns SIGTERM, which the system sends at logout or shutdown, into received()
// on the event loop, so that the program ends between two notes and never in
// the middle of one. The handler only writes a byte to a socket, which is safe
// in a signal handler. One may exist at a time; it restores the previous
// handling when it goes.
class TerminationSignal : public QObject
{
    Q_OBJECT
public:
    TerminationSignal();
    ~TerminationSignal() override;

signals:
    void received();

private:
    static void handle(int signal);
    void drain();

    int m_sockets[2] = {-1, -1}; // read end, write end
    struct sigaction m_previous = {};
    QSocketNotifier *m_notifier = nullptr;
};
