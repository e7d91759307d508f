#include "InputBlocker.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWindow>

InputBlocker::InputBlocker(QAbstractButton &live) : m_live(live)
{
    m_live.setFocus();
    QCoreApplication::instance()->installEventFilter(this);
}

InputBlocker::~InputBlocker()
{
    QCoreApplication::instance()->removeEventFilter(this);
}

bool InputBlocker::eventFilter(QObject *watched, QEvent *event)
{
    if (!isUserInput(*event))
        return false;
    return !isForLiveButton(watched, *event) || handledAsLiveKey(watched, *event);
}

bool InputBlocker::handledAsLiveKey(const QObject *watched, const QEvent &event)
{
    if (watched != &m_live ||
        (event.type() != QEvent::KeyPress && event.type() != QEvent::KeyRelease))
        return false;
    const auto &key = static_cast<const QKeyEvent &>(event);
    switch (key.key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // A push button outside a dialog takes no Return of its own.
        if (event.type() == QEvent::KeyPress && !key.isAutoRepeat())
            m_live.click();
        return true;
    default:
        return false;
    }
}

bool InputBlocker::isUserInput(const QEvent &event)
{
    if (event.isInputEvent())
        return true;
    switch (event.type()) {
    case QEvent::Shortcut:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

// The window system hands input to the window first, which passes it on to
// the control under the mouse (or still holding it down) or with the focus.
bool InputBlocker::isForLiveButton(const QObject *watched, const QEvent &event) const
{
    if (watched == &m_live)
        return true;
    const QWidget *window = m_live.window();
    if (watched != window->windowHandle())
        return false;
    switch (event.type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
        return m_live.isDown() ||
               window->childAt(static_cast<const QMouseEvent &>(event).position().toPoint()) ==
                   &m_live;
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        return QApplication::focusWidget() == &m_live;
    default:
        return false;
    }
}
