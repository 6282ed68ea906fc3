#include "tray/traymenulook.h"

#include "settings/options.h"

TrayMenuLook TrayMenuLook::fromOptions(const Options &options)
{
    TrayMenuLook look;
    look.barWidth = options.flag(Option::MenuMarginBar) ? BarWidth : 0;
    if (options.flag(Option::MenuHighlight))
        look.selection = options.number(Option::MenuHighlightStyle) == 1 ? Selection::Lowered : Selection::Raised;
    return look;
}
