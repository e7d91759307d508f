#include "ExportLife.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QMetaEnum>
#include <algorithm>
#include <atomic>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <semaphore>

namespace {
using State = ExportLife::State;
using Event = ExportLife::Event;

// Long enough for a loaded machine; the tests wait for things to happen.
constexpr int PatienceMs = 60'000;

bool waitUntil(const std::function<bool()> &done)
{
    const QDeadlineTimer deadline(PatienceMs);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    return done();
}

template <typename Enum> std::string nameOf(Enum value)
{
    return QMetaEnum::fromType<Enum>().valueToKey(int(value));
}

// Work that tells a count and then waits on its thread, as an export waits on
// a player, until the test lets it end; it says whether a stop had reached it
// by then.
class HeldWork
{
public:
    ExportLife::ExportJob exportJob()
    {
        return [this](ExportProgress &progress) {
            progress.notesSaved(7);
            waitForTheTest(progress);
            ExportResult result;
            result.outcome = ExportResult::Outcome::Completed;
            return result;
        };
    }
    ExportLife::RemovalJob removalJob()
    {
        return [this](ExportProgress &progress) {
            waitForTheTest(progress);
            return RemovalResult();
        };
    }
    void letGo(int jobs = 1) { m_go.release(jobs); }
    bool stopSeen() const { return m_stopSeen; }

private:
    void waitForTheTest(ExportProgress &progress)
    {
        m_go.acquire();
        m_stopSeen = progress.stopRequested();
    }

    std::counting_semaphore<2> m_go{0};
    std::atomic<bool> m_stopSeen{false};
};

// A new life brought to `state` by the events that lead there, its work held
// where some runs.
void bringTo(ExportLife &life, HeldWork &work, State state)
{
    switch (state) {
    case State::Idle:
        return;
    case State::Exporting:
        life.startExport(work.exportJob());
        return;
    case State::Removing:
        bringTo(life, work, State::Reporting);
        life.startRemoval(work.removalJob());
        return;
    case State::Stopping:
        bringTo(life, work, State::Exporting);
        life.handle(Event::EndAsked);
        return;
    case State::WaitingOnPlayer:
        bringTo(life, work, State::Stopping);
        life.handle(Event::StopOverdue);
        return;
    case State::AskingToEnd:
        bringTo(life, work, State::WaitingOnPlayer);
        life.handle(Event::EndAsked);
        return;
    case State::Reporting:
        bringTo(life, work, State::Exporting);
        work.letGo();
        waitUntil([&life] { return !life.working(); });
        return;
    case State::Ended:
        life.handle(Event::TerminationAsked);
        return;
    }
}

void bring(ExportLife &life, HeldWork &work, Event event)
{
    switch (event) {
    case Event::ExportStarted:
        life.startExport(work.exportJob());
        return;
    case Event::RemovalChosen:
        life.startRemoval(work.removalJob());
        return;
    case Event::WorkEnded:
        work.letGo();
        waitUntil([&life] { return !life.working(); });
        return;
    default:
        life.handle(event);
    }
}

// Each event that can come in each state, driven through a life whose work
// runs on its thread: where it leads, and whether a stop reaches the work. A
// stop comes once, and only a person ends the program while the player holds
// the work; nothing starts once the life has ended.
TEST(ExportLifeTest, EachEventLeadsWhereItShouldAndAStopReachesTheWork)
{
    const struct
    {
        State from;
        Event event;
        State to;
        bool stopped; // the work sees a stop
    } cases[] = {
        {State::Idle, Event::ExportStarted, State::Exporting, false},
        {State::Idle, Event::EndAsked, State::Ended, false},
        {State::Idle, Event::TerminationAsked, State::Ended, false},
        {State::Exporting, Event::WorkEnded, State::Reporting, false},
        {State::Exporting, Event::EndAsked, State::Stopping, true},
        {State::Exporting, Event::TerminationAsked, State::Stopping, true},
        {State::Exporting, Event::ExportStarted, State::Exporting, false},
        {State::Removing, Event::WorkEnded, State::Reporting, false},
        {State::Removing, Event::EndAsked, State::Stopping, true},
        {State::Removing, Event::TerminationAsked, State::Stopping, true},
        {State::Stopping, Event::WorkEnded, State::Ended, true},
        {State::Stopping, Event::StopOverdue, State::WaitingOnPlayer, true},
        {State::Stopping, Event::EndAsked, State::Stopping, true},
        {State::Stopping, Event::TerminationAsked, State::Stopping, true},
        {State::WaitingOnPlayer, Event::WorkEnded, State::Ended, true},
        {State::WaitingOnPlayer, Event::EndAsked, State::AskingToEnd, true},
        {State::WaitingOnPlayer, Event::TerminationAsked, State::WaitingOnPlayer, true},
        {State::AskingToEnd, Event::WorkEnded, State::Ended, true},
        {State::AskingToEnd, Event::EndNowChosen, State::Ended, true},
        {State::AskingToEnd, Event::KeepWaitingChosen, State::WaitingOnPlayer, true},
        {State::AskingToEnd, Event::EndAsked, State::AskingToEnd, true},
        {State::AskingToEnd, Event::TerminationAsked, State::AskingToEnd, true},
        {State::Reporting, Event::RemovalChosen, State::Removing, false},
        {State::Reporting, Event::Reported, State::Idle, false},
        {State::Reporting, Event::EndAsked, State::Ended, false},
        {State::Reporting, Event::TerminationAsked, State::Ended, false},
        {State::Ended, Event::ExportStarted, State::Ended, false},
        {State::Ended, Event::RemovalChosen, State::Ended, false},
        {State::Ended, Event::Reported, State::Ended, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(nameOf(c.from) + " + " + nameOf(c.event));
        HeldWork work;
        ExportLife life(std::chrono::milliseconds(50));
        bringTo(life, work, c.from);
        ASSERT_EQ(life.state(), c.from);
        bring(life, work, c.event);
        EXPECT_EQ(nameOf(life.state()), nameOf(c.to));
        // At most an export and a removal are held.
        work.letGo(2);
        ASSERT_TRUE(waitUntil([&life] { return !life.working(); }));
        EXPECT_EQ(work.stopSeen(), c.stopped);
    }
}

// The count, told on the work's thread, reaches the life's thread; the last
// one before the work's end is told before the end is.
TEST(ExportLifeTest, TellsTheLatestCountThenTheEnd)
{
    ExportLife life(std::chrono::milliseconds(50));
    QList<qint64> told;
    std::optional<qint64> toldAtEnd;
    QObject::connect(&life, &ExportLife::notesSaved, [&told](qint64 count) { told << count; });
    QObject::connect(&life, &ExportLife::exportEnded,
                     [&](const ExportResult &) { toldAtEnd = told.isEmpty() ? -1 : told.last(); });
    life.startExport([](ExportProgress &progress) {
        for (qint64 count = 0; count <= 500; ++count)
            progress.notesSaved(count);
        return ExportResult();
    });
    ASSERT_TRUE(waitUntil([&toldAtEnd] { return toldAtEnd.has_value(); }));
    EXPECT_EQ(toldAtEnd, 500);
    EXPECT_TRUE(std::is_sorted(told.begin(), told.end()));
    EXPECT_EQ(ExportLife::countText(500), "Notes 500");
}
} // namespace
