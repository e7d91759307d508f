#pragma once

#include <QPushButton>

// A command button of the window. Return and keypad Enter press it while it
// has the focus, as Space does; it never becomes the window's default button,
// so neither key presses a button that does not have the focus.
class CommandButton : public QPushButton
{
    Q_OBJECT
public:
    CommandButton(const QString &caption, QWidget *parent);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
