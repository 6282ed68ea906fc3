#include "platform/x11/accessibledesktop.h"

void AccessibleDesktop::setSelection(const ForeignFocus &target, int start, int end)
{
    m_atspi.setSelection(target.accessible, start, end);
}

bool AccessibleDesktop::insertText(const ForeignFocus &target, const QString &text)
{
    return m_atspi.insertText(target.accessible, text);
}

ForeignFocus AccessibleDesktop::nextControl(const ForeignFocus &target)
{
    if (!m_atspi.accessible(target.accessible)) {
        // Nothing on the accessibility bus: the next control is where Tab goes.
        pressKey(Key::Tab);
        delay(50);
        return foreignFocus();
    }
    // A Tab would be typed into a multi-line editor or a terminal: move the
    // focus through the bus instead.
    return m_atspi.focusNextIn(target, caretOrigin(target));
}
