#include "PaintedCaptions.h"

#include <QEvent>
#include <utility>

PaintedCaptions::PaintedCaptions(QAbstractButton &button) : m_button(button)
{
    button.installEventFilter(this);
}

void PaintedCaptions::onFirstPaintOf(const QString &caption, std::function<void()> action)
{
    m_trigger = caption;
    m_action = std::move(action);
}

bool PaintedCaptions::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &m_button && event->type() == QEvent::Paint) {
        const QString caption = m_button.text();
        if (m_captions.isEmpty() || m_captions.last() != caption)
            m_captions.append(caption);
        if (m_action && caption == m_trigger)
            std::exchange(m_action, nullptr)();
    }
    return false;
}
