#include "TerminalExport.h"

#include "FileSystem.h"
#include "Printed.h"

#include <chrono>

namespace {

// At most ten times a second: a terminal is slower than the export.
constexpr std::chrono::milliseconds CountInterval{100};

} // namespace

TerminalExport::TerminalExport(CommandLine::Export request) : m_request(std::move(request))
{
    m_count.callOnTimeout(this, &TerminalExport::showCount);
}

TerminalExport::~TerminalExport()
{
    m_stop.store(true, std::memory_order_relaxed);
}

void TerminalExport::start()
{
    if (FileSystem::standardErrorIsTerminal())
        m_count.start(CountInterval);
    m_thread = std::jthread([this] {
        const Path destination = Path::typed(m_request.folder);
        ExportRun run(Path::typed(m_request.source), destination, m_request.addTxt);
        run.setCharacterSet(m_request.characterSet);
        m_result = run.run(*this);
        if (m_result.succeeded() && m_request.removeGone && !m_result.goneNotes.isEmpty())
            m_removal = ExportRun::removeGoneNotes(destination, m_result.goneNotes, *this);
        // Queued to this object's thread. Emitted, not handed to invokeMethod:
        // a functor made here could be freed here after that thread ran it,
        // an order ThreadSanitizer cannot see inside Qt.
        emit finished();
    });
}

void TerminalExport::stop(int signal)
{
    if (m_signal == 0)
        m_signal = signal;
    m_stop.store(true, std::memory_order_relaxed);
}

int TerminalExport::report()
{
    m_thread.join();
    clearCount();
    switch (m_result.outcome) {
    case ExportResult::Outcome::Failed:
        Printed::toError(m_result.message() + u'\n');
        return 1;
    case ExportResult::Outcome::Stopped:
        Printed::toError(
            tr("The export was stopped: %n memos saved to %1\n", nullptr, int(m_result.noteCount))
                .arg(m_result.notesFolder.toFolderString()));
        return 128 + m_signal;
    case ExportResult::Outcome::Completed:
        break;
    }
    Printed::toOutput(m_result.message() + u'\n');
    const auto gone = int(m_result.goneNotes.size());
    if (gone > 0 && !m_removal)
        Printed::toOutput(tr("%n notes of memos no longer in the export remain; --remove-gone "
                             "removes them.\n",
                             nullptr, gone));
    if (m_removal)
        return reportRemoval(*m_removal);
    return 0;
}

// The notes are written whatever became of the removal: a removal that was
// stopped ends as a stopped export does, one that failed with 1.
int TerminalExport::reportRemoval(const RemovalResult &removal)
{
    Printed::toOutput(tr("%n notes of memos no longer in the export were removed.\n", nullptr,
                         int(removal.removed)));
    for (const Error &failure : removal.failures)
        Printed::toError(failure.message() + u'\n');
    if (removal.error)
        Printed::toError(removal.error->message() + u'\n');
    if (removal.stopped) {
        Printed::toError(tr("The removal was stopped; the other notes of memos no longer in the "
                            "export remain and are offered again by the next export.\n"));
        return 128 + m_signal;
    }
    return removal.succeeded() ? 0 : 1;
}

void TerminalExport::notesSaved(qint64 count)
{
    m_latest.store(count, std::memory_order_relaxed);
}

bool TerminalExport::stopRequested()
{
    return m_stop.load(std::memory_order_relaxed);
}

// "Notes N", written over itself.
void TerminalExport::showCount()
{
    const qint64 latest = m_latest.load(std::memory_order_relaxed);
    if (latest < 0 || latest == m_shown)
        return;
    Printed::toError(u'\r' + tr("Notes %1").arg(latest));
    m_shown = latest;
}

void TerminalExport::clearCount()
{
    m_count.stop();
    if (m_shown >= 0)
        Printed::toError(QStringLiteral("\r\033[K"));
    m_shown = -1;
}
