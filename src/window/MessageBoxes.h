#pragma once

#include <QString>

class QWidget;

// The program's messages and questions: modal, titled with the program's name.
class MessageBoxes
{
public:
    virtual ~MessageBoxes() = default;
    // OK only. Returns once the person has closed the message.
    virtual void inform(QWidget *parent, const QString &text) = 0;
    // Two buttons, `yes` and `no`; no is the default, and Escape and the close
    // box answer no too, so that only a deliberate choice says yes. True for
    // yes, once the person has answered.
    virtual bool ask(QWidget *parent, const QString &text, const QString &yes,
                     const QString &no) = 0;
};

// The messages as Qt's message boxes show them.
class QtMessageBoxes : public MessageBoxes
{
public:
    void inform(QWidget *parent, const QString &text) override;
    bool ask(QWidget *parent, const QString &text, const QString &yes, const QString &no) override;
};
