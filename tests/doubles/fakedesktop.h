#pragma once

#include "platform/desktop.h"

#include <QList>
#include <QStringList>

#include <functional>
#include <map>
#include <stdexcept>

// A scripted desktop for tests: a foreign focus, a caret, a keyboard layout
// and a virtual clock. It records what the program asked of it, in order, as
// readable lines ("wait 200", "key ctrl+v", "type a", "insert abc", ...).
class FakeDesktop : public Desktop
{
public:
    bool trayAvailable() const override { return tray; }
    TrayKind trayKind() const override { return kind; }
    bool canMinimiseWindows() const override { return minimises; }
    bool openDocument(const QUrl &url) override
    {
        opened.append(url);
        return openSucceeds;
    }
    void beep() override { ++beeps; }
    void playSound(const QString &file) override { sounds.append(file); }
    ForeignFocus foreignFocus() override { return focus; }
    void bringToFront(quint64 window) override
    {
        foregrounded.append(window);
        if (!refuseActivation)
            active = window;
    }
    QStringList windowClass(quint64) override { return windowClassNames; }
    QPoint pointerPosition() const override { return pointer; }
    QRect screenGeometry(QPoint at) const override
    {
        for (const QRect &monitor : monitors) {
            if (monitor.contains(at))
                return monitor;
        }
        return monitors.isEmpty() ? screen : monitors.first();
    }

    void delay(int milliseconds) override
    {
        log << QStringLiteral("wait %1").arg(milliseconds);
        const qint64 until = now + milliseconds;
        // Scripted events (an Esc press, say) happen when their time comes.
        while (!at.empty() && at.begin()->first <= until) {
            auto event = at.begin()->second;
            now = at.begin()->first;
            at.erase(at.begin());
            event();
        }
        now = until;
    }
    bool passOnKey(std::uint32_t keysym, std::uint8_t modifiers) override
    {
        if (passesKeysOn)
            log << QStringLiteral("pass on %1 %2").arg(keysym, 0, 16).arg(modifiers);
        return passesKeysOn;
    }
    quint64 activeWindow() override { return active; }
    void refocus(const ForeignFocus &target) override
    {
        log << QStringLiteral("focus %1").arg(target.window);
        if (whileRefocusing)
            whileRefocusing();
    }
    bool beginDelivery(quint64 window) override { return active == window; }
    void endDelivery() override {}
    bool modifiersHeld() override { return held; }
    void releaseModifiers() override
    {
        log << QStringLiteral("release modifiers");
        held = false;
    }
    void pressKey(Key key) override
    {
        static const char *const names[] = {"tab", "enter", "space", "capslock"};
        log << QStringLiteral("key %1").arg(QLatin1String(names[int(key)]));
        if (key == Key::CapsLock)
            caps = !caps;
    }
    void sendCtrlV() override
    {
        if (failCtrlV)
            throw std::runtime_error("the display went away");
        log << QStringLiteral("key ctrl+v");
    }
    void sendCtrlShiftV() override { log << QStringLiteral("key ctrl+shift+v"); }
    bool typeCharacter(char32_t character) override
    {
        if (failTyping)
            throw std::runtime_error("the display went away");
        if (unmapped.contains(character))
            return false;
        log << QStringLiteral("type %1").arg(QString::fromUcs4(&character, 1));
        return true;
    }
    void prepareTyping(const QString &) override { ++openTypingRuns; }
    void finishTyping() override { --openTypingRuns; }
    bool capsLockOn() override { return caps; }
    void setSelection(const ForeignFocus &target, int start, int end) override
    {
        log << QStringLiteral("select %1 %2-%3").arg(target.window).arg(start).arg(end);
    }
    bool insertText(const ForeignFocus &, const QString &text) override
    {
        if (!editable)
            return false;
        log << QStringLiteral("insert %1").arg(text);
        return true;
    }
    ForeignFocus nextControl(const ForeignFocus &target) override
    {
        ForeignFocus next = target;
        next.accessible = target.accessible + 1;
        log << QStringLiteral("next control %1").arg(next.accessible);
        return next;
    }

    // What happens while the focus is brought back (a desktop that waits
    // for the window manager lets events through meanwhile).
    std::function<void()> whileRefocusing;
    // Runs `event` when the virtual clock reaches `time`.
    void schedule(qint64 time, std::function<void()> event) { at.emplace(time, std::move(event)); }

    bool tray = true;
    TrayKind kind = TrayKind::XEmbed;
    bool minimises = true;
    bool openSucceeds = true;
    QList<QUrl> opened;
    int beeps = 0;
    QStringList sounds;
    ForeignFocus focus;
    QList<quint64> foregrounded;
    QStringList windowClassNames;  // the class of every window
    QPoint pointer{100, 100};
    QRect screen{0, 0, 1280, 800};
    QList<QRect> monitors;  // several monitors; empty: `screen` alone
    bool held = false;      // the user holds a modifier
    quint64 active = 0;
    bool refuseActivation = false;
    bool passesKeysOn = false;  // a desktop that binds the hotkey itself (Wayland)
    bool failTyping = false;
    int openTypingRuns = 0;  // begun by prepareTyping and not yet finished
    bool failCtrlV = false;  // a delivery that fails with an error  // the window manager never activates what we ask for
    bool caps = false;
    bool editable = true;
    QList<char32_t> unmapped;
    QStringList log;
    qint64 now = 0;
    std::multimap<qint64, std::function<void()>> at;
};
