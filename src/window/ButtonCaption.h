#pragma once

#include "ExportRun.h"

#include <QElapsedTimer>
#include <functional>

class QAbstractButton;

// Shows the export's progress on the Export button. Painting the window costs
// far more than writing a note, so the caption is shown at most once per
// interval; the latest count is kept and shown by showLatest(). Showing a caption
// is also when the window hears of Exit or the close box; the export asks
// stopWanted after each note.
class ButtonCaption : public ExportProgress
{
public:
    static constexpr qint64 DefaultIntervalMs = 30;
    using StopQuestion = std::function<bool()>;

    explicit ButtonCaption(QAbstractButton &button, StopQuestion stopWanted = {},
                           qint64 intervalMs = DefaultIntervalMs);

    void notesSaved(qint64 count) override;
    bool stopRequested() override;
    void showLatest();

private:
    void show();

    QAbstractButton &m_button;
    StopQuestion m_stopWanted;
    qint64 m_intervalMs;
    QElapsedTimer m_sinceShown;
    qint64 m_latest = -1; // notes saved; none reported yet
};
