#pragma once

#include <cstdint>

// How an item reaches the target: numbered alike for items, categories and
// the global setting (the data file stores the number).
enum class PasteMethod : std::int8_t {
    SimulateCtrlV = 0,
    EnterKeystrokes = 1,
    InsertAtCursor = 2,
    NoCategoryMethod = 3,  // a category without a method of its own
};

// What follows a paste, repeated its count of times.
enum class AfterPasteAction : std::int8_t {
    None = 0,
    PressTab = 1,
    PressEnter = 2,
    PressSpace = 3,
    JumpToNextControl = 4,
    TypeExtraText = 5,
};
