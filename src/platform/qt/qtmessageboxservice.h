#pragma once

#include "common/messageboxservice.h"

// Message boxes on screen, owned by the active window when there is one.
class QtMessageBoxService : public MessageBoxService
{
public:
    Button show(Icon icon, const QString &title, const QString &text, Buttons buttons) override;

    // The display is gone: from now on messages go to standard error and
    // each question gets its cautious answer.
    void displayLost() { m_displayLost = true; }

private:
    bool m_displayLost = false;
};
