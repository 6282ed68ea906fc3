#pragma once

#include "common/messageboxservice.h"

// Message boxes on screen, owned by the active window when there is one.
class QtMessageBoxService : public MessageBoxService
{
public:
    Button show(Icon icon, const QString &title, const QString &text, Buttons buttons) override;
};
