#pragma once

#include "platform/desktop.h"

#include <QPoint>
#include <QString>

#include <functional>

// The accessibility bus view of the application in front: its focused
// control, the caret on screen and in the text, the selection, and the
// control after it in focus order. The bus is probed before first use and
// every call is bounded, because the library ends the whole process when it
// meets a bus that does not answer.
class AtspiFocus
{
public:
    struct Result
    {
        bool found = false;
        quint64 handle = 0;
        bool caretKnown = false;
        QPoint caret;
        // Character offsets in the control's text; -1 without a text interface.
        int caretOffset = -1;
        int selectionStart = -1;
        int selectionEnd = -1;
        bool inCombo = false;
    };

    AtspiFocus() = default;
    ~AtspiFocus();
    AtspiFocus(const AtspiFocus &) = delete;
    AtspiFocus &operator=(const AtspiFocus &) = delete;

    // `rootProperty` is the bus address an X session publishes on its root window, if any.
    bool available(const QString &rootProperty);
    // The focused control of the application with this process id. While our
    // hotkey's grab lasts, the application may call no control focused: as
    // long as `keepWaiting()` lets time pass and says so, the lookup asks
    // again.
    Result focusedIn(quint32 pid, const std::function<bool()> &keepWaiting);
    // The object behind a handle from the latest lookup (an AtspiAccessible*), or null.
    void *accessible(quint64 handle) const;

    // Operations on the control behind a handle; false when it cannot do them.
    bool isFocused(quint64 handle);
    bool grabFocus(quint64 handle);
    bool setSelection(quint64 handle, int start, int end);
    // Puts back a caret and selection (character offsets) recorded earlier.
    bool restoreCaret(quint64 handle, int caretOffset, int selectionStart, int selectionEnd);
    // Gives the application up to `patienceMs` (waiting through `wait`) to
    // call the control focused again once its window is active; past that,
    // moves the focus there and puts back the caret and selection.
    void bringBackFocus(quint64 handle, int caretOffset, int selectionStart, int selectionEnd, int patienceMs,
                        const std::function<void(int milliseconds)> &wait);
    // Replaces the selection with the text at the caret. True when the
    // control's text changed; false only when it did not.
    bool insertText(quint64 handle, const QString &text);
    // Focuses the next focusable control after the one behind the handle, in
    // the tree order of its window, and returns it; not found when none.
    Result focusNext(quint64 handle);
    // The same, as a target in the window of `target`; an empty target when none.
    ForeignFocus focusNextIn(const ForeignFocus &target, QPoint caretOrigin);

    // Records a control found on the bus in a target. The bus gives the caret
    // relative to `caretOrigin` (the screen's corner on X11, the window's on Wayland).
    static void adopt(ForeignFocus &focus, const Result &inside, QPoint caretOrigin);

private:
    void forget();
    enum class Lookup { NotOnBus, NothingFocused, Found };
    Lookup lookUp(quint32 pid, Result &result);
    Result adopt(void *object);

    enum class State { Unknown, Ready, Unavailable };
    State m_state = State::Unknown;
    void *m_focused = nullptr;
    quint64 m_handle = 0;
};
