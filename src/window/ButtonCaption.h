#pragma once

#include "ExportRun.h"

#include <QCoreApplication>
#include <QTimer>
#include <atomic>
#include <chrono>

class QAbstractButton;

// Shows the export's progress on the Export button. The export tells the count
// after each note, on the thread that runs it; the button's thread shows the
// latest count once per interval, because painting costs far more than writing
// a note. A stop request goes back the same way. Both directions are single
// atomics, so that the export never waits for the window.
class ButtonCaption : public ExportProgress
{
    Q_DECLARE_TR_FUNCTIONS(ButtonCaption)

public:
    static constexpr std::chrono::milliseconds Interval{50};

    // Made on the button's thread, whose event loop shows the count.
    explicit ButtonCaption(QAbstractButton &button);

    // What the Export button shows while `notesSaved` notes are saved: "Notes N".
    static QString captionFor(qint64 notesSaved);

    // Any thread.
    void notesSaved(qint64 count) override;
    bool stopRequested() override;
    void requestStop();

    // The button's thread: shows the latest count, if it is not shown yet.
    void showLatest();

private:
    QAbstractButton &m_button;
    QTimer m_timer;
    std::atomic<qint64> m_latest{-1}; // notes saved; none reported yet
    std::atomic<bool> m_stop{false};
    qint64 m_shown = -1;
};
