#include "ButtonCaption.h"

#include <QAbstractButton>
#include <QCoreApplication>

ButtonCaption::ButtonCaption(QAbstractButton &button, StopQuestion stopWanted, qint64 intervalMs)
    : m_button(button), m_stopWanted(std::move(stopWanted)), m_intervalMs(intervalMs)
{
}

bool ButtonCaption::stopRequested()
{
    return m_stopWanted && m_stopWanted();
}

void ButtonCaption::captionChanged(const QString &caption)
{
    m_latest = caption;
    if (!m_sinceShown.isValid() || m_sinceShown.elapsed() >= m_intervalMs)
        show(caption);
}

void ButtonCaption::showLatest()
{
    if (!m_latest.isEmpty() && m_button.text() != m_latest)
        show(m_latest);
}

void ButtonCaption::show(const QString &caption)
{
    m_button.setText(caption);
    // Lets the window paint (and the window system talk to it) in the middle of
    // the run; user input other than Exit is kept away by an InputBlocker.
    QCoreApplication::processEvents();
    m_sinceShown.start();
}
