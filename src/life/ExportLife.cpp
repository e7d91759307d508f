#include "ExportLife.h"

#include "Limits.h"

#include <utility>

namespace {
using State = ExportLife::State;
using Event = ExportLife::Event;

struct Transition
{
    State from;
    Event event;
    State to;
};

// Every change of state there is; any other event leaves the state as it is.
// Ended is left by none.
constexpr Transition Transitions[] = {
    {State::Idle, Event::ExportStarted, State::Exporting},
    {State::Idle, Event::EndAsked, State::Ended},
    {State::Idle, Event::TerminationAsked, State::Ended},

    {State::Exporting, Event::WorkEnded, State::Reporting},
    {State::Exporting, Event::EndAsked, State::Stopping},
    {State::Exporting, Event::TerminationAsked, State::Stopping},

    {State::Removing, Event::WorkEnded, State::Reporting},
    {State::Removing, Event::EndAsked, State::Stopping},
    {State::Removing, Event::TerminationAsked, State::Stopping},

    // Nothing is told of a stopped export and nothing is saved.
    {State::Stopping, Event::WorkEnded, State::Ended},
    {State::Stopping, Event::StopOverdue, State::WaitingOnPlayer},

    // Ending while the player holds a note is a person's choice alone: a
    // termination signal changes nothing here, and a logout ends the program
    // with the session's last signal.
    {State::WaitingOnPlayer, Event::WorkEnded, State::Ended},
    {State::WaitingOnPlayer, Event::EndAsked, State::AskingToEnd},

    // Ending now means ending without the work's thread, which the player
    // holds: the process ends at once, leaving what a kill leaves, which the
    // next export cleans up.
    {State::AskingToEnd, Event::WorkEnded, State::Ended},
    {State::AskingToEnd, Event::EndNowChosen, State::Ended},
    {State::AskingToEnd, Event::KeepWaitingChosen, State::WaitingOnPlayer},

    {State::Reporting, Event::RemovalChosen, State::Removing},
    {State::Reporting, Event::Reported, State::Idle},
    // A request that closes a message or the question ends the program
    // unsaved; a question closed so counts as Keep.
    {State::Reporting, Event::EndAsked, State::Ended},
    {State::Reporting, Event::TerminationAsked, State::Ended},
};

// The one life whose work runs; only the thread that drives the lives touches it.
ExportLife *running = nullptr;
} // namespace

ExportLife::State ExportLife::next(State state, Event event)
{
    for (const Transition &transition : Transitions) {
        if (transition.from == state && transition.event == event)
            return transition.to;
    }
    return state;
}

QString ExportLife::countText(qint64 notesSaved)
{
    return tr("Notes %1").arg(notesSaved);
}

ExportLife::ExportLife(std::chrono::milliseconds countInterval, QObject *parent) : QObject(parent)
{
    m_countTimer.setInterval(countInterval);
    m_countTimer.callOnTimeout(this, &ExportLife::tellLatestCount);
    m_stopWatch.setSingleShot(true);
    m_stopWatch.setInterval(Limits::VolumeAnswer);
    m_stopWatch.callOnTimeout(this, [this] { handle(Event::StopOverdue); });
    connect(this, &ExportLife::workDone, this, &ExportLife::endWork, Qt::QueuedConnection);
}

ExportLife::~ExportLife()
{
    if (running == this)
        running = nullptr;
    m_relay.requestStop();
}

void ExportLife::startExport(ExportJob job)
{
    if (!leadsOn(Event::ExportStarted))
        return;
    m_told = -1;
    run([this, job = std::move(job)] { m_exportResult = job(m_relay); });
    m_countTimer.start();
    enter(State::Exporting);
}

void ExportLife::startRemoval(RemovalJob job)
{
    if (!leadsOn(Event::RemovalChosen))
        return;
    run([this, job = std::move(job)] { m_removalResult = job(m_relay); });
    enter(State::Removing);
}

// Work starts only where the table leaves the state for another, and never
// beside work that runs: its thread would be joined while it may wait.
bool ExportLife::leadsOn(Event event) const
{
    return next(m_state, event) != m_state && !working();
}

void ExportLife::handle(Event event)
{
    Q_ASSERT(event != Event::ExportStarted && event != Event::RemovalChosen &&
             event != Event::WorkEnded);
    if (const State to = next(m_state, event); to != m_state)
        enter(to);
}

void ExportLife::enter(State state)
{
    m_state = state;
    if (state == State::Stopping) {
        m_relay.requestStop();
        m_stopWatch.start();
    } else {
        m_stopWatch.stop();
    }
    emit stateChanged(state);
}

void ExportLife::run(std::function<void()> job)
{
    m_relay.reset();
    m_thread = std::jthread([this, job = std::move(job)] {
        job();
        m_jobDone.release();
        emit workDone(QPrivateSignal());
    });
    running = this;
}

void ExportLife::endWork()
{
    m_thread.join();
    // Released once per job; taken here so that the next job can release it.
    m_jobDone.acquire();
    running = nullptr;
    m_countTimer.stop();
    tellLatestCount();
    const std::optional<ExportResult> exported = std::exchange(m_exportResult, std::nullopt);
    const std::optional<RemovalResult> removed = std::exchange(m_removalResult, std::nullopt);
    // Told even where the state stays: with the work over, an ended life lets
    // the program end.
    enter(next(m_state, Event::WorkEnded));
    if (exported)
        emit exportEnded(*exported);
    if (removed)
        emit removalEnded(*removed);
}

void ExportLife::tellLatestCount()
{
    const qint64 latest = m_relay.latest();
    if (latest < 0 || latest == m_told)
        return;
    m_told = latest;
    emit notesSaved(latest);
}

void ExportLife::finishBeforeExit()
{
    if (!running)
        return;
    running->m_relay.requestStop();
    // A thread held up longer, by a player that does not answer, ends with
    // the process.
    if (running->m_jobDone.try_acquire_for(ExitPatience))
        running->m_thread.join();
    running = nullptr;
}

void ExportLife::Relay::notesSaved(qint64 count)
{
    m_latest.store(count, std::memory_order_relaxed);
}

bool ExportLife::Relay::stopRequested()
{
    return m_stop.load(std::memory_order_relaxed);
}

void ExportLife::Relay::requestStop()
{
    m_stop.store(true, std::memory_order_relaxed);
}

qint64 ExportLife::Relay::latest() const
{
    return m_latest.load(std::memory_order_relaxed);
}

void ExportLife::Relay::reset()
{
    m_latest.store(-1, std::memory_order_relaxed);
    m_stop.store(false, std::memory_order_relaxed);
}
