#include "WindowExport.h"

#include "Controls.h"
#include "FixedDrives.h"
#include "MainWindow.h"
#include "ScriptedFileDialog.h"
#include "ScriptedMessageBoxes.h"
#include "SettingsStore.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QWindow>
#include <algorithm>
#include <memory>

namespace {
// An offscreen application for the length of one call, where the caller has none.
std::unique_ptr<QApplication> applicationIfNone()
{
    if (QCoreApplication::instance())
        return nullptr;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "quillet-bench";
    static char *argv[] = {name, nullptr};
    auto application = std::make_unique<QApplication>(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quillet"));
    return application;
}

// The longest stretch without a paint of one widget, from start() on.
class PaintGaps : public QObject
{
public:
    PaintGaps(QWidget &widget, const QElapsedTimer &clock) : m_widget(widget), m_clock(clock)
    {
        widget.installEventFilter(this);
    }
    void start() { m_lastPaint = m_clock.nsecsElapsed(); }
    // Counts the stretch from the last paint to now as well.
    double longestSeconds() const
    {
        return static_cast<double>(std::max(m_longest, m_clock.nsecsElapsed() - m_lastPaint)) / 1e9;
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == &m_widget && event->type() == QEvent::Paint && m_lastPaint >= 0) {
            const qint64 now = m_clock.nsecsElapsed();
            m_longest = std::max(m_longest, now - m_lastPaint);
            m_lastPaint = now;
        }
        return false;
    }

private:
    QWidget &m_widget;
    const QElapsedTimer &m_clock;
    qint64 m_lastPaint = -1;
    qint64 m_longest = 0;
};

// The count from "N memos saved to ROOT/Notes/", the one message of a good run.
qint64 countFrom(const QStringList &messages)
{
    static const QRegularExpression completion(QStringLiteral("^(\\d+) memos saved to "));
    if (messages.size() != 1)
        return -1;
    const QRegularExpressionMatch match = completion.match(messages.first());
    return match.hasMatch() ? match.captured(1).toLongLong() : -1;
}
} // namespace

WindowExport exportThroughWindow(const QString &sourcePath, const QString &destinationFolder,
                                 bool txt)
{
    const std::unique_ptr<QApplication> application = applicationIfNone();
    const QTemporaryDir settingsFolder;
    if (!settingsFolder.isValid())
        return {};
    const FixedDrives drives = FixedDrives::ofFolders({destinationFolder});
    ScriptedMessageBoxes messages;
    ScriptedFileDialog files;
    const Path settings(settingsFolder.path());
    MainWindow window(SettingsStore(settings, settings, settings), drives, messages, files);
    window.show();
    window.findChild<QLineEdit *>(QStringLiteral("sourceEdit"))->setText(sourcePath);
    window.findChild<FlagCheckBox *>(QStringLiteral("txtCheckBox"))
        ->setValue(txt ? FlagCheckBox::Checked : FlagCheckBox::Unchecked);
    // The window's first paint is not part of the export.
    while (!window.windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QCoreApplication::processEvents();

    auto *exportButton = window.findChild<QPushButton *>(QStringLiteral("exportButton"));
    WindowExport result;
    QElapsedTimer timer;
    PaintGaps paints(*exportButton, timer);
    QEventLoop untilMessage;
    // The message ends the run as the person sees it.
    messages.onNextMessage([&](const QString &) {
        result.secondsFromClick = static_cast<double>(timer.nsecsElapsed()) / 1e9;
        result.longestPaintGapSeconds = paints.longestSeconds();
        untilMessage.quit();
    });
    timer.start();
    paints.start();
    exportButton->click();
    // The export runs on its own thread; the message comes through the event loop.
    if (messages.texts().isEmpty())
        untilMessage.exec();
    result.notes = countFrom(messages.texts());
    return result;
}
