#include "ExportWorker.h"

#include <QObject>

ExportWorker::ExportWorker(ExportRun run, QAbstractButton &exportButton, QObject &context,
                           Ended ended)
    : m_caption(exportButton)
{
    m_thread = std::jthread([this, run = std::move(run), &context,
                             ended = std::move(ended)]() mutable {
        const ExportResult result = run.run(m_caption);
        // A context that goes while the call is pending drops it.
        QMetaObject::invokeMethod(
            &context, [ended = std::move(ended), result] { ended(result); }, Qt::QueuedConnection);
    });
}

ExportWorker::~ExportWorker()
{
    requestStop();
}

void ExportWorker::requestStop()
{
    m_caption.requestStop();
}

void ExportWorker::showFinalCount()
{
    m_caption.showLatest();
}
