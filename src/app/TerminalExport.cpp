#include "TerminalExport.h"

#include "FileSystem.h"

#include <chrono>
#include <cstdio>

namespace {

// At most ten times a second: a terminal is slower than the export.
constexpr std::chrono::milliseconds CountInterval{100};

void print(std::FILE *stream, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

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
        m_result =
            ExportRun(Path::typed(m_request.source), destination, m_request.addTxt).run(*this);
        if (m_result.succeeded() && m_request.removeGone && !m_result.goneNotes.isEmpty())
            m_removal = ExportRun::removeGoneNotes(destination, m_result.goneNotes);
        QMetaObject::invokeMethod(this, &TerminalExport::finished, Qt::QueuedConnection);
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
        print(stderr, m_result.message() + u'\n');
        return 1;
    case ExportResult::Outcome::Stopped:
        print(stderr,
              tr("The export was stopped: %1 memos saved to %2\n")
                  .arg(QString::number(m_result.noteCount), m_result.notesFolder.toFolderString()));
        return 128 + m_signal;
    case ExportResult::Outcome::Completed:
        break;
    }
    print(stdout, m_result.message() + u'\n');
    const qint64 gone = m_result.goneNotes.size();
    if (gone == 1 && !m_removal)
        print(stdout, tr("1 note of a memo no longer in the export remains; --remove-gone "
                         "removes it.\n"));
    else if (gone > 1 && !m_removal)
        print(stdout, tr("%1 notes of memos no longer in the export remain; --remove-gone "
                         "removes them.\n")
                          .arg(gone));
    if (m_removal) {
        print(stdout, m_removal->removed == 1
                          ? tr("1 note of a memo no longer in the export was removed.\n")
                          : tr("%1 notes of memos no longer in the export were removed.\n")
                                .arg(m_removal->removed));
        for (const Error &failure : m_removal->failures)
            print(stderr, failure.message() + u'\n');
        if (m_removal->error)
            print(stderr, m_removal->error->message() + u'\n');
    }
    return 0;
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
    print(stderr, u'\r' + tr("Notes %1").arg(latest));
    m_shown = latest;
}

void TerminalExport::clearCount()
{
    m_count.stop();
    if (m_shown >= 0)
        print(stderr, QStringLiteral("\r\033[K"));
    m_shown = -1;
}
