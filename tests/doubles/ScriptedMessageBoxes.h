#pragma once

#include "MessageBoxes.h"

#include <QStringList>
#include <functional>

// Messages and questions answered at once without a person: each text is
// recorded, questions get the answer set last (no, the default, until one is
// set), and an optional hook sees the window as it is while the next message
// or the next question would be open.
class ScriptedMessageBoxes : public MessageBoxes
{
public:
    using Hook = std::function<void(const QString &text)>;

    void inform(QWidget *parent, const QString &text) override;
    bool ask(QWidget *parent, const QString &text, const QString &yes, const QString &no) override;
    void onNextMessage(Hook hook);
    void onNextQuestion(Hook hook);
    void setAnswer(bool yes);

    QStringList texts() const { return m_texts; }
    QStringList questions() const { return m_questions; }

private:
    QStringList m_texts;
    QStringList m_questions;
    bool m_answer = false;
    Hook m_hook;
    Hook m_questionHook;
};
