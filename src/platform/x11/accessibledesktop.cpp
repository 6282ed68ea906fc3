#include "platform/x11/accessibledesktop.h"

#include <QElapsedTimer>

void AccessibleDesktop::refocus(const ForeignFocus &target)
{
    // Activating the window gives its focused control the focus back with
    // caret and selection as they were. Grabbing the focus on the control
    // would make GTK select its whole text, and the paste replace it.
    QElapsedTimer clock;
    clock.start();
    if (target.window && activeWindow() != target.window) {
        bringToFront(target.window);
        while (activeWindow() != target.window && clock.elapsed() < kActivationWaitMs)
            delay(10);
    }
    m_atspi.bringBackFocus(target.accessible, target.caretOffset, target.selectionStart, target.selectionEnd,
                           kRefocusWaitMs, [this](int milliseconds) { delay(milliseconds); });
}

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
