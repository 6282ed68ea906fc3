#pragma once

#include <QStringList>

class Options;

// The global paste method as the menus offer it: one of the three methods,
// or "Disable". Both the tray menu and the pop-up list's menu go through
// here, so the two always agree.
class GlobalPasteChoice
{
public:
    static constexpr int Disabled = -1;

    // The methods' captions in menu order; the position is the stored method.
    static const QStringList &methodCaptions();
    static QString disableCaption();

    // The method's position while global pasting is on, else Disabled.
    static int current(const Options &options);
    static void choose(Options &options, int choice);
};
