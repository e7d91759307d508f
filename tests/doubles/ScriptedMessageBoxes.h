#pragma once

#include "MessageBoxes.h"

#include <QStringList>
#include <functional>

// Messages answered at once without a person: each text is recorded, and an
// optional hook sees the window as it is while the message would be open.
class ScriptedMessageBoxes : public MessageBoxes
{
public:
    using Hook = std::function<void(const QString &text)>;

    void inform(QWidget *parent, const QString &text) override;
    void onNextMessage(Hook hook);

    QStringList texts() const { return m_texts; }

private:
    QStringList m_texts;
    Hook m_hook;
};
