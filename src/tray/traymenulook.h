#pragma once

class Options;

// How the tray menu looks: the bar along its left edge and how the entry
// under the mouse is marked.
struct TrayMenuLook
{
    enum class Selection { Standard, Raised, Lowered };

    static constexpr int BarWidth = 18;
    static constexpr int EntryHeight = 18;
    static constexpr int SeparatorHeight = 8;

    int barWidth = BarWidth;  // 0: no bar
    Selection selection = Selection::Standard;

    static TrayMenuLook fromOptions(const Options &options);
    bool operator==(const TrayMenuLook &) const = default;
};
