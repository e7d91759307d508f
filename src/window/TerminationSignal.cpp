#include "TerminationSignal.h"

#include <QSocketNotifier>
#include <cerrno>
#include <cstring>
#include <pthread.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
// All the handler touches.
volatile std::sig_atomic_t writeEnd = -1;
// Before the event loop listens no note is being written, and a second request
// while the first waits unheard means the window's thread is stuck: a signal
// then ends the program at once, as it would without a handler.
volatile std::sig_atomic_t listening = 0;
volatile std::sig_atomic_t unheard = 0;
} // namespace

TerminationSignal::TerminationSignal()
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, m_sockets) != 0) {
        qWarning("Could not prepare for termination signals: socketpair failed: %s",
                 std::strerror(errno));
        return;
    }
    writeEnd = m_sockets[1];

    struct sigaction action = {};
    action.sa_handler = &TerminationSignal::handle;
    sigemptyset(&action.sa_mask);
    // A note being written when the signal comes is written on undisturbed.
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < Signals.size(); ++i) {
        if (::sigaction(Signals[i], nullptr, &m_previous[i]) != 0)
            continue;
        // A signal the program was started to ignore stays ignored: "nohup
        // quillet &" is meant to outlive its terminal.
        if (m_previous[i].sa_handler == SIG_IGN)
            continue;
        if (::sigaction(Signals[i], &action, nullptr) != 0)
            qWarning("Could not install the handler of signal %d: %s", Signals[i],
                     std::strerror(errno));
    }
}

TerminationSignal::~TerminationSignal()
{
    if (m_sockets[0] < 0)
        return;
    for (std::size_t i = 0; i < Signals.size(); ++i)
        ::sigaction(Signals[i], &m_previous[i], nullptr);
    writeEnd = -1;
    listening = 0;
    unheard = 0;
    delete m_notifier;
    ::close(m_sockets[0]);
    ::close(m_sockets[1]);
}

void TerminationSignal::listen()
{
    if (m_sockets[0] < 0 || m_notifier)
        return;
    // Level-triggered: a byte written before now is seen at once.
    m_notifier = new QSocketNotifier(m_sockets[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignal::drain);
    listening = 1;
}

void TerminationSignal::blockInThisThread()
{
    sigset_t blocked;
    sigemptyset(&blocked);
    for (const int signal : Signals)
        sigaddset(&blocked, signal);
    ::pthread_sigmask(SIG_BLOCK, &blocked, nullptr);
}

void TerminationSignal::handle(int signal)
{
    if (!listening || unheard) {
        // The default action follows as soon as the handler returns.
        ::signal(signal, SIG_DFL);
        ::raise(signal);
        return;
    }
    unheard = 1;
    const int savedErrno = errno;
    const char byte = 1;
    // A full socket already holds a request, so a failed write loses nothing.
    [[maybe_unused]] const ssize_t written = ::write(writeEnd, &byte, 1);
    errno = savedErrno;
}

void TerminationSignal::drain()
{
    char bytes[64];
    while (::read(m_sockets[0], bytes, sizeof bytes) > 0) {
    }
    unheard = 0;
    emit received();
}
