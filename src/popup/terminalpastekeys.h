#pragma once

#include <QStringList>

// How a window takes what is on the clipboard. Ctrl+V is most programs'
// paste key, but in a terminal it belongs to the program running there (the
// shell's "insert the next character literally"): terminals paste with
// Ctrl+Shift+V, and the oldest of them have no clipboard key at all, so only
// typing reaches them.
enum class PasteKey { CtrlV, CtrlShiftV, None };

class TerminalPasteKeys
{
public:
    // The paste key of a window, from the names of its window class (the
    // instance and the class name, as the window gives them). A window that
    // is no known terminal pastes with Ctrl+V.
    static PasteKey forWindowClass(const QStringList &names);
};
