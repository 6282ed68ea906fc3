#pragma once

#include <QString>

#include <cstdint>

struct CategorySettings
{
    static constexpr int ExtraTextCapacity = 255;
    static constexpr int NoCategoryMethod = 3;

    std::int32_t Limit = 0;        // 0 = no limit
    std::int32_t LockAtLimit = 0;  // 1 = refuse items once the limit is reached
    std::int32_t Action = 0;
    std::int32_t PasteMethod = NoCategoryMethod;
    std::int32_t ActionCount = 0;
    QString ExtraText;

    void setExtraText(const QString &text);
    bool isLockedAndFull(int itemCount) const { return LockAtLimit == 1 && itemCount == Limit; }
};
