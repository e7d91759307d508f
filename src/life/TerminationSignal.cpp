#include "TerminationSignal.h"

#include <QSocketNotifier>
#include <cerrno>
#include <sys/socket.h>
#include <unistd.h>

namespace {
// Shared by the waiting thread, the window's thread and the handler, which can
// run on any thread that does not block the signals.
std::atomic<int> writeEnd{-1};
// Before the event loop listens no note is being written: a signal then ends
// the program at once, as it would unhandled. So does a second Ctrl-C, heard
// or not: a person who presses it twice wants the program gone now, also when
// the window's thread is stuck or the export waits on a player that does not
// answer. Any other second request, such as the SIGHUP that follows SIGTERM
// when a session ends, is one more request to end after the note being
// written.
std::atomic<bool> listening{false};
std::atomic<bool> interrupted{false};
// Only lock-free atomics are safe in a signal handler.
static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free);

void endWithDefaultAction(int signal)
{
    ::signal(signal, SIG_DFL);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signal);
    // Unblocked in this thread alone, the signal raised here is delivered here at once.
    ::pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
    ::raise(signal);
}

// On the waiting thread, or as the handler on a thread that was running before
// the signals were blocked (Qt's painting threads, where a test makes the
// object after the window), so it does only what a signal handler may.
void deliver(int signal)
{
    if (!listening.load() || (signal == SIGINT && interrupted.exchange(true))) {
        endWithDefaultAction(signal);
        return;
    }
    const int savedErrno = errno;
    // One byte, the signal's number, per request. Once the socket is full the
    // requests already there say all that is needed.
    const char byte = char(signal);
    [[maybe_unused]] const ssize_t written = ::write(writeEnd.load(), &byte, 1);
    errno = savedErrno;
}
} // namespace

TerminationSignal::TerminationSignal()
{
    sigemptyset(&m_waited);
    for (std::size_t i = 0; i < Signals.size(); ++i) {
        // A signal the program was started to ignore stays ignored: "nohup
        // quillet &" is meant to outlive its terminal. It is not blocked either,
        // as Linux keeps a blocked signal pending even when it is ignored.
        if (::sigaction(Signals[i], nullptr, &m_previous[i]) == 0 &&
            m_previous[i].sa_handler != SIG_IGN)
            sigaddset(&m_waited, Signals[i]);
    }
    if (firstWaited() == 0)
        return;
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, m_sockets) != 0) {
        qWarning("Could not prepare for termination signals: socketpair failed: %s",
                 qPrintable(qt_error_string(errno)));
        return;
    }
    writeEnd.store(m_sockets[1]);
    if (!startWaiting())
        closeSockets();
}

TerminationSignal::~TerminationSignal()
{
    if (m_sockets[0] < 0)
        return;
    for (std::size_t i = 0; i < Signals.size(); ++i)
        ::sigaction(Signals[i], &m_previous[i], nullptr);
    m_stopping.store(true);
    // Wakes the waiting thread with a signal it waits for; it sees the flag and ends.
    ::pthread_kill(m_waiter, firstWaited());
    ::pthread_join(m_waiter, nullptr);
    writeEnd.store(-1);
    listening.store(false);
    interrupted.store(false);
    // A process started from this thread gets the signals as they were before:
    // QProcess passes the mask on.
    ::pthread_sigmask(SIG_SETMASK, &m_previousMask, nullptr);
    delete m_notifier;
    closeSockets();
}

void TerminationSignal::listen()
{
    if (m_sockets[0] < 0 || m_notifier)
        return;
    // Level-triggered: a byte written before now is seen at once.
    m_notifier = new QSocketNotifier(m_sockets[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignal::drain);
    listening.store(true);
}

int TerminationSignal::firstWaited() const
{
    for (const int signal : Signals)
        if (sigismember(&m_waited, signal) == 1)
            return signal;
    return 0;
}

bool TerminationSignal::startWaiting()
{
    // Every thread made from here on inherits the block, so the signals reach
    // only the thread that waits for them.
    ::pthread_sigmask(SIG_BLOCK, &m_waited, &m_previousMask);
    const int error = ::pthread_create(
        &m_waiter, nullptr,
        [](void *self) -> void * {
            static_cast<TerminationSignal *>(self)->waitForSignals();
            return nullptr;
        },
        this);
    if (error != 0) {
        qWarning("Could not prepare for termination signals: no thread to wait for them: %s",
                 qPrintable(qt_error_string(error)));
        ::pthread_sigmask(SIG_SETMASK, &m_previousMask, nullptr);
        return false;
    }
    installHandler();
    return true;
}

void TerminationSignal::installHandler() const
{
    struct sigaction action = {};
    action.sa_handler = &deliver;
    sigemptyset(&action.sa_mask);
    // A note being written on such a thread when the signal comes is written on
    // undisturbed.
    action.sa_flags = SA_RESTART;
    for (const int signal : Signals)
        if (sigismember(&m_waited, signal) == 1 && ::sigaction(signal, &action, nullptr) != 0)
            qWarning("Could not install the handler of signal %d: %s", signal,
                     qPrintable(qt_error_string(errno)));
}

void TerminationSignal::closeSockets()
{
    ::close(m_sockets[0]);
    ::close(m_sockets[1]);
    m_sockets[0] = m_sockets[1] = -1;
    writeEnd.store(-1);
}

void TerminationSignal::waitForSignals()
{
    while (!m_stopping.load()) {
        const int signal = ::sigwaitinfo(&m_waited, nullptr);
        if (signal > 0 && !m_stopping.load())
            deliver(signal);
    }
}

void TerminationSignal::drain()
{
    // A request that comes meanwhile writes a byte of its own, which this call
    // or the next reads.
    std::array<char, 16> bytes{};
    const ssize_t count = ::read(m_sockets[0], bytes.data(), bytes.size());
    for (ssize_t i = 0; i < count; ++i)
        emit received(static_cast<unsigned char>(bytes[std::size_t(i)]));
}
