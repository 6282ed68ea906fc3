#pragma once

#include "store/pastechoices.h"

#include <QString>

#include <cstdint>

struct CategorySettings
{
    static constexpr int ExtraTextCapacity = 255;

    std::int32_t limit = 0;  // 0 = no limit
    bool lockAtLimit = false;  // refuse items once the limit is reached
    AfterPasteAction action = AfterPasteAction::None;
    PasteMethod pasteMethod = PasteMethod::NoCategoryMethod;
    std::int32_t actionCount = 0;
    QString extraText;

    void setExtraText(const QString &text);
    bool isLockedAndFull(int itemCount) const { return lockAtLimit && itemCount == limit; }
};
