#include "ScriptedMessageBoxes.h"

#include <utility>

void ScriptedMessageBoxes::inform(QWidget *, const QString &text)
{
    m_texts.append(text);
    if (m_hook)
        std::exchange(m_hook, nullptr)(text);
}

bool ScriptedMessageBoxes::ask(QWidget *, const QString &text, const QString &, const QString &)
{
    m_questions.append(text);
    if (m_questionHook)
        std::exchange(m_questionHook, nullptr)(text);
    return m_answer;
}

void ScriptedMessageBoxes::onNextMessage(Hook hook)
{
    m_hook = std::move(hook);
}

void ScriptedMessageBoxes::onNextQuestion(Hook hook)
{
    m_questionHook = std::move(hook);
}

void ScriptedMessageBoxes::setAnswer(bool yes)
{
    m_answer = yes;
}
