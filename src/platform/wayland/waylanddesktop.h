#pragma once

#include "platform/wayland/layoutmapping.h"
#include "platform/wayland/swayipc.h"
#include "platform/wayland/remotedesktopkeyboard.h"
#include "platform/wayland/virtualkeyboard.h"
#include "platform/x11/accessibledesktop.h"

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QPoint>
#include <QStringList>

#include <functional>
#include <memory>

class QWidget;

// The desktop of a Wayland session, put together from parts: the window in
// front and its place from the compositor's window-manager socket where it
// has one (sway), the focused control and its caret from the accessibility
// bus (shared with X11), and keys through the virtual-keyboard protocol.
// Where the compositor has no such socket, the window in front is known only
// as "not one of ours".
// Where the program asked its windows to stand, and at what size. Qt's
// Wayland platform forgets the place once a window is shown (the compositor
// places windows), and a tiling compositor hands the window a size of its
// own, so both are noted as each window of ours is about to be shown.
class RequestedPlaces : public QObject
{
public:
    // `shown` is called a moment after a frameless window of ours (the list,
    // the preview) is shown, so it can be kept out of the compositor's tiling.
    explicit RequestedPlaces(std::function<void(const QWidget &)> shown);
    QRect of(const QWidget &window) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::function<void(const QWidget &)> m_shown;
    QHash<const QObject *, QRect> m_places;
};

class WaylandDesktop : public AccessibleDesktop
{
public:
    WaylandDesktop();

    // What this session cannot do, one plain sentence each, for the user.
    QStringList shortcomings() const;
    QString hotkeyAdvice() const override;
    // The hotkey is bound through the desktop portal's global shortcuts.
    void setHotkeysThroughPortal(bool through) { m_hotkeysThroughPortal = through; }
    bool canMinimiseWindows() const override { return false; }
    // Keys through the desktop portal, where the compositor has no virtual
    // keyboard for clients but the portal offers remote control; else null.
    RemoteDesktopKeyboard *portalKeyboard() const { return m_portalKeyboard.get(); }
    bool passOnKey(std::uint32_t keysym, std::uint8_t modifiers) override;

    ForeignFocus foreignFocus() override;
    void bringToFront(quint64 window) override;
    QStringList windowClass(quint64 window) override;
    QPoint pointerPosition() const override;

    void delay(int milliseconds) override;
    quint64 activeWindow() override;
    bool beginDelivery(quint64 window) override;
    void endDelivery() override {}
    // The virtual keyboard's modifiers are its own: what the user holds on
    // another keyboard does not mix into its keys.
    bool modifiersHeld() override { return false; }
    void releaseModifiers() override {}
    void pressKey(Key key) override;
    ForeignFocus nextControl(const ForeignFocus &target) override;
    void sendCtrlV() override;
    void sendCtrlShiftV() override;
    bool typeCharacter(char32_t character) override;
    void prepareTyping(const QString &text) override;
    void finishTyping() override {}
    bool capsLockOn() override { return false; }  // the virtual keyboard has no locks

    // Without the compositor's socket, the one foreign window we can name.
    static constexpr quint64 kSomeForeignWindow = 1;

private:
    // The window's corner in the compositor's coordinates, which the bus counts from.
    QPoint caretOrigin(const ForeignFocus &target) const override;
    static constexpr int kShowWaitMs = 500;
    static constexpr int kResizeAttempts = 3;
    static constexpr int kResizeSettleMs = 100;
    quint64 ownActiveWindow() const;
    LayoutMapping layoutMapping() const;
    // Floats a window of ours at the place it asked for when shown, at `qtSize`.
    void placeOwnWindow(const QWidget &widget, QSize qtSize, bool focus);
    void floatOwnWindow(const QWidget &widget);

    SwayIpc m_ipc;
    VirtualKeyboard m_keyboard;
    std::unique_ptr<RemoteDesktopKeyboard> m_portalKeyboard;
    KeyOutput &keys();
    RequestedPlaces m_places{[this](const QWidget &widget) { floatOwnWindow(widget); }};
    QString m_lastAppId;  // of the last window looked at
    qint64 m_lastWindow = 0;
    bool m_hotkeysThroughPortal = false;
    QElapsedTimer m_lastPassedOn;
    static constexpr int kPassOnQuietMs = 1000;
};
