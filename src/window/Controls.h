#pragma once

#include <QCheckBox>
#include <QPushButton>
#include <optional>

// The window's own controls.

// A command button of the window. Return and keypad Enter press it while it
// has the focus, as Space does; it never becomes the window's default button,
// so neither key presses a button that does not have the focus.
class CommandButton : public QPushButton
{
    Q_OBJECT
public:
    CommandButton(const QString &name, const QString &caption, QWidget *parent);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

// The extension check box. Its value is the extension flag as the export and the
// settings file know it: 0 unchecked, 1 checked, 2 grayed. Grayed can only be
// restored from the settings; a click toggles between checked and unchecked.
class FlagCheckBox : public QCheckBox
{
    Q_OBJECT
public:
    static constexpr int Unchecked = 0;
    static constexpr int Checked = 1;
    static constexpr int Grayed = 2;

    explicit FlagCheckBox(const QString &text, QWidget *parent = nullptr);

    // Nothing for a flag other than 0, 1 or 2.
    static std::optional<Qt::CheckState> checkStateOf(int flag);
    static int flagOf(Qt::CheckState state);

    int value() const;
    // Refuses (and keeps the box as it is) a flag other than 0, 1 or 2.
    bool setValue(int flag);

protected:
    void nextCheckState() override;
};
