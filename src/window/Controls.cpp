#include "Controls.h"

#include <QKeyEvent>

CommandButton::CommandButton(const QString &name, const QString &caption, QWidget *parent)
    : QPushButton(caption, parent)
{
    setObjectName(name);
    // An auto-default button would become the default while it has the focus.
    setAutoDefault(false);
    setDefault(false);
}

void CommandButton::keyPressEvent(QKeyEvent *event)
{
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
        QPushButton::keyPressEvent(event);
        return;
    }
    // A key held down presses the button once.
    if (!event->isAutoRepeat())
        click();
    event->accept();
}

FlagCheckBox::FlagCheckBox(const QString &text, QWidget *parent) : QCheckBox(text, parent)
{
    // Qt numbers the states differently from the flag (1 is partially checked,
    // 2 is checked), hence the explicit mapping below.
    setTristate(true);
    setCheckState(Qt::Unchecked);
}

std::optional<Qt::CheckState> FlagCheckBox::checkStateOf(int flag)
{
    switch (flag) {
    case Unchecked:
        return Qt::Unchecked;
    case Checked:
        return Qt::Checked;
    case Grayed:
        return Qt::PartiallyChecked;
    default:
        return std::nullopt;
    }
}

int FlagCheckBox::flagOf(Qt::CheckState state)
{
    switch (state) {
    case Qt::Checked:
        return Checked;
    case Qt::PartiallyChecked:
        return Grayed;
    case Qt::Unchecked:
        break;
    }
    return Unchecked;
}

int FlagCheckBox::value() const
{
    return flagOf(checkState());
}

bool FlagCheckBox::setValue(int flag)
{
    const std::optional<Qt::CheckState> state = checkStateOf(flag);
    if (!state)
        return false;
    setCheckState(*state);
    return true;
}

void FlagCheckBox::nextCheckState()
{
    // A person only ever checks or unchecks; grayed turns into checked.
    setCheckState(checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
}
