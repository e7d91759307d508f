#pragma once

#include <QObject>

class QAbstractButton;

// While it exists, every keyboard, mouse, touch and drop event of the
// application is discarded, except those for one button that stays live (Exit:
// clicked, or pressed with the keyboard while it has the focus). Events the
// window system sends for painting, moving or closing still arrive. Unlike
// QEventLoop::ExcludeUserInputEvents, which only defers input, nothing is
// replayed once the blocker is gone.
class InputBlocker : public QObject
{
    Q_OBJECT
public:
    explicit InputBlocker(const QAbstractButton &live);
    ~InputBlocker() override;

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    static bool isUserInput(const QEvent &event);
    bool isForLiveButton(const QObject *watched, const QEvent &event) const;

    const QAbstractButton &m_live;
};
