#include "ScriptedMessageBoxes.h"

#include <utility>

void ScriptedMessageBoxes::inform(QWidget *, const QString &text)
{
    m_texts.append(text);
    if (m_hook)
        std::exchange(m_hook, nullptr)(text);
}

void ScriptedMessageBoxes::onNextMessage(Hook hook)
{
    m_hook = std::move(hook);
}
