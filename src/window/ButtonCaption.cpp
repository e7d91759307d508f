#include "ButtonCaption.h"

#include <QAbstractButton>

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
