#pragma once

#include <QPoint>
#include <QString>

// The accessibility bus view of the application in front: its focused
// control, the caret on screen and a combo box's edit selection. The bus is
// probed before first use and every call is bounded, because the library
// ends the whole process when it meets a bus that does not answer.
class AtspiFocus
{
public:
    struct Result
    {
        bool found = false;
        quint64 handle = 0;
        bool caretKnown = false;
        QPoint caret;
        bool inCombo = false;
        int selStart = -1;
        int selEnd = -1;
    };

    AtspiFocus() = default;
    ~AtspiFocus();
    AtspiFocus(const AtspiFocus &) = delete;
    AtspiFocus &operator=(const AtspiFocus &) = delete;

    // `rootProperty` is the bus address an X session publishes on its root window, if any.
    bool available(const QString &rootProperty);
    // The focused control of the application with this process id.
    Result focusedIn(quint32 pid);
    // The object behind a handle from the latest lookup (an AtspiAccessible*), or null.
    void *accessible(quint64 handle) const;

    // Operations on the control behind a handle; false when it cannot do them.
    bool grabFocus(quint64 handle);
    bool setSelection(quint64 handle, int start, int end);
    // Replaces the selection with the text at the caret, and checks that the
    // text really changed (some toolkits report success for nothing).
    bool insertText(quint64 handle, const QString &text);

private:
    void forget();

    enum class State { Unknown, Ready, Unavailable };
    State m_state = State::Unknown;
    void *m_focused = nullptr;
    quint64 m_handle = 0;
};
