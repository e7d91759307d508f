#pragma once

#include <QObject>

class QAbstractButton;

// While it exists, every keyboard, mouse, touch and drop event of the
// application is discarded, except those for one button that stays live (Exit:
// clicked, or pressed with the keyboard). The live button takes the focus and
// keeps it: Tab and Shift+Tab would only lead to controls that take no input,
// and Return and Enter press it as Space does, so that a person at the
// keyboard can always reach it. Events the window system sends for painting,
// moving or closing still arrive. Unlike QEventLoop::ExcludeUserInputEvents,
// which only defers input, nothing is replayed once the blocker is gone.
class InputBlocker : public QObject
{
    Q_OBJECT
public:
    explicit InputBlocker(QAbstractButton &live);
    ~InputBlocker() override;

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    static bool isUserInput(const QEvent &event);
    bool isForLiveButton(const QObject *watched, const QEvent &event) const;
    // Whether the key is one the live button answers here instead of Qt.
    bool handledAsLiveKey(const QObject *watched, const QEvent &event);

    QAbstractButton &m_live;
};
