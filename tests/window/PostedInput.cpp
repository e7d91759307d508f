#include "PostedInput.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

void PostedInput::click(QWidget &control)
{
    QWindow *window = control.window()->windowHandle();
    const QPointF centre = control.mapTo(control.window(), control.rect().center());
    const QPointF global = control.mapToGlobal(control.rect().center());
    QCoreApplication::postEvent(window,
                                new QMouseEvent(QEvent::MouseButtonPress, centre, global,
                                                Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
    QCoreApplication::postEvent(window,
                                new QMouseEvent(QEvent::MouseButtonRelease, centre, global,
                                                Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
}

void PostedInput::key(QWidget &window, Qt::Key key, Qt::KeyboardModifiers modifiers,
                      const QString &text)
{
    for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease})
        QCoreApplication::postEvent(window.window()->windowHandle(),
                                    new QKeyEvent(type, key, modifiers, text));
}

void PostedInput::space(QWidget &window)
{
    key(window, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
}
