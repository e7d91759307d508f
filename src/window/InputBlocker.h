#pragma once

#include <QObject>

// While it exists, every keyboard, mouse, touch and drop event of the
// application is discarded. Events the window system sends for painting,
// moving or closing still arrive. Unlike QEventLoop::ExcludeUserInputEvents,
// which only defers input, nothing is replayed once the blocker is gone.
class InputBlocker : public QObject
{
    Q_OBJECT
public:
    InputBlocker();
    ~InputBlocker() override;

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    static bool isUserInput(const QEvent &event);
};
