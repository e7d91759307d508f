#include "PaintedCaptions.h"

#include <QEvent>

PaintedCaptions::PaintedCaptions(QAbstractButton &button) : m_button(button)
{
    button.installEventFilter(this);
}

bool PaintedCaptions::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &m_button && event->type() == QEvent::Paint) {
        const QString caption = m_button.text();
        if (m_captions.isEmpty() || m_captions.last() != caption)
            m_captions.append(caption);
    }
    return false;
}
