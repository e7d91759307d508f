#include "ExportWorker.h"

#include <QAbstractButton>
#include <QObject>

namespace {
// The one worker whose thread runs; only the thread that makes and ends the
// workers touches it.
ExportWorker *running = nullptr;
} // namespace

template <typename Job, typename Result>
void ExportWorker::start(QObject &context, Job job, std::function<void(const Result &)> ended)
{
    // A context that goes while the call is pending drops it.
    QObject::connect(
        &m_workEnded, &WorkEnded::ended, &context,
        [this] {
            if (m_thread.joinable())
                m_thread.join();
            // The call may end this worker.
            const std::function<void()> tellEnd = std::move(m_tellEnd);
            tellEnd();
        },
        Qt::QueuedConnection);
    m_thread = std::jthread([this, job = std::move(job), ended = std::move(ended)]() mutable {
        const Result result = job();
        m_tellEnd = [ended = std::move(ended), result] { ended(result); };
        m_jobDone.release();
        emit m_workEnded.ended();
    });
    running = this;
}

ExportWorker::ExportWorker(ExportRun run, QAbstractButton &exportButton, QObject &context,
                           Ended ended)
    : m_caption(exportButton)
{
    start(
        context, [this, run = std::move(run)]() mutable { return run.run(m_caption); },
        std::move(ended));
}

ExportWorker::ExportWorker(Removal removal, QAbstractButton &exportButton, QObject &context,
                           RemovalEnded ended)
    : m_caption(exportButton)
{
    start(
        context, [this, removal = std::move(removal)] { return removal(m_caption); },
        std::move(ended));
}

ExportWorker::~ExportWorker()
{
    if (running == this)
        running = nullptr;
    requestStop();
}

void ExportWorker::finishBeforeExit()
{
    if (!running)
        return;
    running->requestStop();
    // A thread held up longer, by a player that does not answer, ends with
    // the process.
    if (running->m_jobDone.try_acquire_for(ExitPatience))
        running->m_thread.join();
    running = nullptr;
}

void ExportWorker::requestStop()
{
    m_caption.requestStop();
}

void ExportWorker::showFinalCount()
{
    m_caption.showLatest();
}

ButtonCaption::ButtonCaption(QAbstractButton &button) : m_button(button)
{
    m_timer.callOnTimeout([this] { showLatest(); });
    m_timer.start(Interval);
}

QString ButtonCaption::captionFor(qint64 notesSaved)
{
    return tr("Notes %1").arg(notesSaved);
}

void ButtonCaption::notesSaved(qint64 count)
{
    m_latest.store(count, std::memory_order_relaxed);
}

bool ButtonCaption::stopRequested()
{
    return m_stop.load(std::memory_order_relaxed);
}

void ButtonCaption::requestStop()
{
    m_stop.store(true, std::memory_order_relaxed);
}

void ButtonCaption::showLatest()
{
    const qint64 latest = m_latest.load(std::memory_order_relaxed);
    if (latest < 0 || latest == m_shown)
        return;
    m_button.setText(captionFor(latest));
    m_shown = latest;
}
