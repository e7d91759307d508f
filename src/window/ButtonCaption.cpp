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

void ButtonCaption::notesSaved(qint64 count)
{
    m_latest = count;
    if (!m_sinceShown.isValid() || m_sinceShown.elapsed() >= m_intervalMs)
        show();
}

void ButtonCaption::showLatest()
{
    if (m_latest >= 0 && m_button.text() != captionFor(m_latest))
        show();
}

void ButtonCaption::show()
{
    m_button.setText(captionFor(m_latest));
    // Lets the window paint (and the window system talk to it) in the middle of
    // the run; user input other than Exit is kept away by an InputBlocker.
    QCoreApplication::processEvents();
    m_sinceShown.start();
}
