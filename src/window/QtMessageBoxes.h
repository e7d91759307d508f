#pragma once

#include "MessageBoxes.h"

class QtMessageBoxes : public MessageBoxes
{
public:
    void inform(QWidget *parent, const QString &text) override;
};
