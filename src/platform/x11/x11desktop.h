#pragma once

#include "platform/x11/accessibledesktop.h"

#include <QElapsedTimer>
#include <QList>

#include <memory>
#include <optional>

class ActiveWindowWatch;

// The desktop of an X11 session (also XWayland).
class X11Desktop : public AccessibleDesktop
{
public:
    X11Desktop();
    ~X11Desktop() override;
    ForeignFocus foreignFocus() override;
    void bringToFront(quint64 window) override;
    QStringList windowClass(quint64 window) override;
    QPoint pointerPosition() const override;

    void delay(int milliseconds) override;
    quint64 activeWindow() override;
    bool beginDelivery(quint64 window) override;
    void endDelivery() override;
    bool modifiersHeld() override;
    void releaseModifiers() override;
    void pressKey(Key key) override;
    void sendCtrlV() override;
    void sendCtrlShiftV() override;
    bool typeCharacter(char32_t character) override;
    void prepareTyping(const QString &text) override;
    void finishTyping() override;
    bool capsLockOn() override;

private:
    // The bus gives the caret in screen coordinates.
    QPoint caretOrigin(const ForeignFocus &) const override { return {}; }
    // How long the hotkey's key may be held while we look for the focused
    // control, and how long the application has to call it focused again
    // once the key is let go.
    static constexpr int kFocusPatienceMs = 2000;
    static constexpr int kFocusAfterReleaseMs = 300;
    static bool keyHeld();
    static void waitForOthers(int milliseconds);

    // Characters no key produces are lent a spare key (its plain or its
    // shifted level) for the length of a typing run; each keeps its
    // character until the run ends, so a repeated character costs no remap.
    struct SpareSlot
    {
        unsigned char keycode;
        int level;
        char32_t character;
        quint64 lastUse;
    };
    QList<SpareSlot> m_spareSlots;
    bool m_spareKeysFound = false;
    quint64 m_typed = 0;
    void remapSpareKey(unsigned char keycode);
    bool typeOnSpareKey(char32_t character);
    void findSpareKeys();
    bool hasKey(unsigned long keysym);
    // The key and shift level that give the keysym in the active group.
    bool keyFor(unsigned long keysym, unsigned char &keycode, bool &shifted);
    struct _XkbDesc *keyboardMap();
    void dropKeyboardMap();
    struct _XkbDesc *m_xkb = nullptr;
    bool m_inTypingRun = false;
    // In a typing run the keys keep the pace over the run: each is due one
    // pause after the one before was due, so the time spent sending a key and
    // checking its target, and a wait that overslept, fall inside the pace.
    qint64 untilNextKey(int milliseconds);
    void waitFor(qint64 nanoseconds);
    QElapsedTimer m_runClock;
    long m_savedTimerSlack = 0;
    qint64 m_keyDue = -1;  // when the last key was due, in ns on m_runClock; -1 before the first
    bool m_deliveryGrab = false;  // the server is held while keys go to this window
    quint64 m_deliveryWindow = 0;
    // In a typing run one look at the target serves a short burst of keys,
    // the server held all the while.
    void releaseServer();
    bool m_heldAcrossKeys = false;
    int m_keysInHold = 0;
    qint64 m_holdStarted = 0;  // ns on m_runClock
    // The keyboard's state read at the start of the delivery under way.
    bool m_deliveryStateKnown = false;
    unsigned m_deliveryMods = 0;
    int m_deliveryGroup = 0;
    // Where the last full look found the input focus, for the window keys
    // went to; later looks ask only whether the focus is still there.
    quint64 m_lookedWindow = 0;
    quint32 m_lookedFocus = 0;
    quint64 activeWindowWithFocus(quint32 focus);
    // Tells of every new active window the window manager announces.
    std::unique_ptr<ActiveWindowWatch> m_activeWatch;
};
