#pragma once

#include <QString>

class QWidget;

// The program's messages: modal, OK only, titled with the program's name.
class MessageBoxes
{
public:
    virtual ~MessageBoxes() = default;
    // Returns once the person has closed the message.
    virtual void inform(QWidget *parent, const QString &text) = 0;
};

// The messages as Qt's message boxes show them.
class QtMessageBoxes : public MessageBoxes
{
public:
    void inform(QWidget *parent, const QString &text) override;
};
