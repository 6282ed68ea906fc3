#pragma once

#include "platform/qt/desktopbasics.h"
#include "platform/x11/atspifocus.h"

// What every desktop does through the accessibility bus, which X11 and
// Wayland sessions share: bringing the target's control back, its
// selection, inserting at the cursor and moving to the next control.
class AccessibleDesktop : public DesktopBasics
{
public:
    void refocus(const ForeignFocus &target) override;
    void setSelection(const ForeignFocus &target, int start, int end) override;
    bool insertText(const ForeignFocus &target, const QString &text) override;
    ForeignFocus nextControl(const ForeignFocus &target) override;

protected:
    // Where the bus's caret places are counted from: the screen's corner
    // (X11) or the window's (Wayland tells no client where windows are).
    virtual QPoint caretOrigin(const ForeignFocus &target) const = 0;

    AtspiFocus m_atspi;

private:
    static constexpr int kActivationWaitMs = 500;
    static constexpr int kRefocusWaitMs = 300;
};
