#include "TerminalExport.h"

#include "FileSystem.h"
#include "Printed.h"

#include <chrono>

namespace {

// At most ten times a second: a terminal is slower than the export.
constexpr std::chrono::milliseconds CountInterval{100};

} // namespace

TerminalExport::TerminalExport(CommandLine::Export request)
    : m_request(std::move(request)), m_life(CountInterval)
{
    if (FileSystem::standardErrorIsTerminal())
        connect(&m_life, &ExportLife::notesSaved, this, &TerminalExport::showCount);
    connect(&m_life, &ExportLife::exportEnded, this, &TerminalExport::exportEnded);
    connect(&m_life, &ExportLife::removalEnded, this, &TerminalExport::removalEnded);
    connect(&m_life, &ExportLife::stateChanged, this, [this] {
        if (m_life.mayEnd())
            emit finished();
    });
}

void TerminalExport::start()
{
    ExportRun run(Path::typed(m_request.source), Path::typed(m_request.folder), m_request.addTxt);
    run.setCharacterSet(m_request.characterSet);
    m_life.startExport([run](ExportProgress &progress) mutable { return run.run(progress); });
}

void TerminalExport::stop(int signal)
{
    if (m_signal == 0)
        m_signal = signal;
    m_life.handle(ExportLife::Event::TerminationAsked);
}

// Without a person to ask, --remove-gone is the answer.
void TerminalExport::exportEnded(const ExportResult &result)
{
    m_result = result;
    const bool removalAsked =
        result.succeeded() && m_request.removeGone && !result.goneNotes.isEmpty();
    if (removalAsked && m_life.state() == ExportLife::State::Reporting) {
        const Path destination = Path::typed(m_request.folder);
        m_life.startRemoval([destination, notes = result.goneNotes](ExportProgress &progress) {
            return ExportRun::removeGoneNotes(destination, notes, progress);
        });
        return;
    }
    // A stop that came as the export completed leaves every note of a memo
    // that is gone in place, as a removal stopped before its first note does.
    if (removalAsked) {
        m_removal = RemovalResult();
        m_removal->stopped = true;
    }
    m_life.handle(ExportLife::Event::Reported);
}

void TerminalExport::removalEnded(const RemovalResult &removal)
{
    m_removal = removal;
    m_life.handle(ExportLife::Event::Reported);
}

int TerminalExport::report()
{
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

// "Notes N", written over itself.
void TerminalExport::showCount(qint64 count)
{
    Printed::toError(u'\r' + ExportLife::countText(count));
    m_countShown = true;
}

void TerminalExport::clearCount()
{
    if (m_countShown)
        Printed::toError(QStringLiteral("\r\033[K"));
    m_countShown = false;
}
