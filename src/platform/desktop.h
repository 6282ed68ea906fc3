#pragma once

#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>

// Where the keyboard focus is in the application in front: its top-level
// window, the focused control where the accessibility bus names one, the
// caret in screen coordinates when the application tells it, the caret and
// selection inside the control's text, and the edit selection of a combo box.
struct ForeignFocus
{
    quint64 window = 0;
    quint64 accessible = 0;  // opaque handle of the focused control; 0 = unknown
    bool ownWindow = false;  // the window is one of this program's
    bool caretKnown = false;
    QPoint caret;            // top-left of the caret, screen coordinates
    QPoint windowOrigin;     // the window's client origin on the screen
    // The control's caret and selection as character offsets, -1 when unknown;
    // put back when the focus has to be moved onto the control again.
    int caretOffset = -1;
    int selectionStart = -1;
    int selectionEnd = -1;
    bool inCombo = false;
    int comboSelStart = -1;
    int comboSelEnd = -1;
};

// The desktop seam: everything the program asks of the window system and the
// desktop session goes through this interface. The X11 implementation serves
// the real program; FakeDesktop serves tests.
class Desktop
{
public:
    virtual ~Desktop() = default;

    // Whether a notification area can host the tray icon.
    virtual bool trayAvailable() const = 0;
    // How the notification area hosts the icon: as an embedded X window that
    // gets the raw clicks (double clicks too), or as a StatusNotifierItem on
    // the session bus, whose host reports a plain activation and draws the
    // menu itself.
    enum class TrayKind { XEmbed, StatusNotifier };
    virtual TrayKind trayKind() const = 0;
    // Whether a window asked to minimise leaves the screen. Wayland leaves it
    // to the compositor, and some (sway) have no minimised state at all.
    virtual bool canMinimiseWindows() const { return true; }
    // Opens a document or folder with the user's preferred program.
    virtual bool openDocument(const QUrl &url) = 0;
    // Opens a document as openDocument does, and calls `notOpened` when no
    // program could open it: at once when the desktop says so, or later from
    // the event loop when the opener it started gives up (a desktop without
    // a browser starts the opener happily, and the opener then fails).
    virtual void openDocumentOr(const QUrl &url, std::function<void()> notOpened)
    {
        if (!openDocument(url) && notOpened)
            notOpened();
    }
    virtual void beep() = 0;
    virtual ForeignFocus foreignFocus() = 0;
    // Brings a window to the front and gives it the keyboard.
    virtual void bringToFront(quint64 window) = 0;
    // The names of a window's class as the window gives them (instance name,
    // class name); empty when it gives none.
    virtual QStringList windowClass(quint64 window) = 0;
    virtual QPoint pointerPosition() const = 0;
    // The screen (monitor) that holds the point, or the nearest one.
    virtual QRect screenGeometry(QPoint at) const = 0;

    // ---- delivering a paste to the focused control of another application ----
    enum class Key { Tab, Enter, Space, CapsLock };

    // A wait that keeps the program's event loop running (tests: virtual time).
    virtual void delay(int milliseconds) = 0;
    virtual quint64 activeWindow() = 0;
    // Gives the keyboard focus back to the target's control (its window at
    // least) without disturbing what the control holds: a control that has
    // the focus once its window is active is left alone; one that must be
    // focused again gets the caret and selection recorded in the target.
    virtual void refocus(const ForeignFocus &target) = 0;
    // Makes the look at the keyboard's destination and the keys that follow
    // one step: true when `window` (or a control inside it) has the keyboard,
    // and then nothing can take the keyboard away until endDelivery().
    virtual bool beginDelivery(quint64 window) = 0;
    virtual void endDelivery() = 0;
    // Whether the user holds Shift, Ctrl, Alt, Super or AltGr at this moment.
    virtual bool modifiersHeld() = 0;
    // Lets go of the modifiers the user holds, so a synthesised key carries
    // none the text did not ask for.
    virtual void releaseModifiers() = 0;
    virtual void pressKey(Key key) = 0;
    virtual void sendCtrlV() = 0;
    // The paste key of most terminals.
    virtual void sendCtrlShiftV() = 0;
    // Types one character with the key and shift level that produce it on the
    // current layout; false when no key can produce it.
    virtual bool typeCharacter(char32_t character) = 0;
    // Brackets a run of typeCharacter calls: characters no key produces can be
    // given keys for the run at once, and the keys are given back after it.
    virtual void prepareTyping(const QString &text) = 0;
    virtual void finishTyping() = 0;
    virtual bool capsLockOn() = 0;
    // Sets the edit selection of a combo box target.
    virtual void setSelection(const ForeignFocus &target, int start, int end) = 0;
    // Replaces the target's selection with the text. True when the control
    // took it (judged by what the control reports afterwards); false only
    // when its text is unchanged, so the caller can type it instead without
    // delivering it twice.
    virtual bool insertText(const ForeignFocus &target, const QString &text) = 0;
    // Moves the focus to the control after the target in focus order (the
    // accessibility bus's next focusable control where there is one, else a
    // Tab) and returns it; an empty target when none.
    virtual ForeignFocus nextControl(const ForeignFocus &target) = 0;

    // How the pop-up's hotkey reaches the program on this desktop, when the
    // program cannot take the key itself; empty where the hotkey above is all.
    virtual QString hotkeyAdvice() const { return {}; }
    // Where the desktop binds the hotkey to the program (Wayland), a press the
    // program does not take is sent on to the window in front, as the key
    // would have gone there unbound (Shift, Ctrl, Alt, Win bits as the key
    // grabber's). False where nothing was sent.
    virtual bool passOnKey(std::uint32_t, std::uint8_t) { return false; }

    // Starts playing a sound file and returns at once; a file that cannot be played stays silent.
    virtual void playSound(const QString &file) = 0;
};
