#include "platform/wayland/waylandkeygrabber.h"

#include "platform/wayland/globalshortcutsportal.h"

#include <xkbcommon/xkbcommon.h>

#include <algorithm>

WaylandKeyGrabber::WaylandKeyGrabber(GlobalShortcutsPortal *portal, QObject *parent)
    : KeyGrabber(parent)
    , m_portal(portal)
{
    if (!m_portal)
        return;
    connect(m_portal, &GlobalShortcutsPortal::activated, this, &WaylandKeyGrabber::onActivated);
    connect(m_portal, &GlobalShortcutsPortal::refused, this, &WaylandKeyGrabber::refused);
}

QString WaylandKeyGrabber::shortcutId(int id)
{
    return id == 0 ? QStringLiteral("popup") : QStringLiteral("hotkey-%1").arg(id);
}

bool WaylandKeyGrabber::grab(int id, std::uint32_t keysym, std::uint8_t modifiers)
{
    // A bare Escape (stopping a paste run) stays with the windows: a portal
    // binding would take it from every window for the rest of the session.
    if (!m_portal || (keysym == XKB_KEY_Escape && modifiers == 0))
        return true;
    const QString trigger = GlobalShortcutsPortal::triggerText(keysym, modifiers);
    Hotkey &hotkey = m_hotkeys[id];
    hotkey.armed = true;
    if (hotkey.trigger == trigger)
        return true;
    hotkey.trigger = trigger;
    // The portal binds for the whole session and has no way to let go of one
    // shortcut: an ungrab only mutes it, and a changed key binds them all again.
    QList<int> ids = m_hotkeys.keys();
    std::sort(ids.begin(), ids.end());
    QList<PortalShortcut> shortcuts;
    for (const int each : std::as_const(ids)) {
        const QString description = each == 0 ? QStringLiteral("Open Scrapkeeper's pop-up list")
                                              : QStringLiteral("Scrapkeeper hotkey %1").arg(each);
        shortcuts << PortalShortcut{shortcutId(each),
                                    {{QStringLiteral("description"), description},
                                     {QStringLiteral("preferred_trigger"), m_hotkeys.value(each).trigger}}};
    }
    m_portal->setShortcuts(shortcuts);
    return true;
}

void WaylandKeyGrabber::ungrab(int id)
{
    const auto found = m_hotkeys.find(id);
    if (found != m_hotkeys.end())
        found->armed = false;
}

void WaylandKeyGrabber::onActivated(const QString &shortcut)
{
    for (auto it = m_hotkeys.cbegin(); it != m_hotkeys.cend(); ++it) {
        if (shortcutId(it.key()) == shortcut && it->armed)
            emit activated(it.key());
    }
}
