#pragma once

#include "platform/keygrabber.h"

#include <QHash>

class GlobalShortcutsPortal;

// A Wayland client cannot grab keys. Where the desktop portal offers global
// shortcuts, the hotkeys are bound there; elsewhere the hotkey is a binding
// in the compositor that runs the program's popup command. Every grab is
// taken as granted, so no "already registered" error blames another program;
// a refusal by the portal is announced instead.
class WaylandKeyGrabber : public KeyGrabber
{
    Q_OBJECT
public:
    // Without a portal (nullptr) grabs do nothing.
    explicit WaylandKeyGrabber(GlobalShortcutsPortal *portal = nullptr, QObject *parent = nullptr);

    bool grab(int id, std::uint32_t keysym, std::uint8_t modifiers) override;
    void ungrab(int id) override;

    static QString shortcutId(int id);

signals:
    void refused(const QString &why);

private:
    void onActivated(const QString &shortcutId);

    GlobalShortcutsPortal *m_portal = nullptr;
    struct Hotkey
    {
        QString trigger;
        bool armed = false;
    };
    QHash<int, Hotkey> m_hotkeys;
};
