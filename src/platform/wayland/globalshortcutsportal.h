#pragma once

#include "platform/wayland/desktopportal.h"

#include <QList>
#include <QObject>
#include <QVariantMap>

class QDBusArgument;
class QDBusMessage;

// One entry of the portal's shortcut lists: an id and its properties
// ("description", "preferred_trigger", "trigger_description").
struct PortalShortcut
{
    QString id;
    QVariantMap properties;
    friend bool operator==(const PortalShortcut &, const PortalShortcut &) = default;
};
Q_DECLARE_METATYPE(PortalShortcut)
QDBusArgument &operator<<(QDBusArgument &argument, const PortalShortcut &shortcut);
const QDBusArgument &operator>>(const QDBusArgument &argument, PortalShortcut &shortcut);

// The desktop's global shortcuts, through the desktop portal's
// GlobalShortcuts interface (KDE Plasma offers it): shortcuts the program
// asks for are bound for this session, the desktop may ask the user to
// confirm or change them, and each press is announced.
class GlobalShortcutsPortal : public QObject
{
    Q_OBJECT
public:
    static constexpr const char *kInterface = "org.freedesktop.portal.GlobalShortcuts";

    explicit GlobalShortcutsPortal(const QDBusConnection &bus = QDBusConnection::sessionBus(),
                                   QObject *parent = nullptr);

    // Whether the bus has a portal with this interface (asked with a short wait).
    static bool offeredOn(const QDBusConnection &bus);

    // Binds these shortcuts, replacing what was asked before; nothing is
    // asked again when they are what the desktop already has.
    void setShortcuts(const QList<PortalShortcut> &shortcuts);

    // The XDG shortcut text of a key and Shift/Ctrl/Alt/Win bits, as "CTRL+SHIFT+v".
    static QString triggerText(std::uint32_t keysym, std::uint8_t modifiers);

signals:
    void activated(const QString &id);
    // The portal would not bind them; says why, for the user.
    void refused(const QString &why);

private slots:
    void handleActivated(const QDBusMessage &message);

private:
    void createSession();
    void bindShortcuts();

    DesktopPortal m_portal;
    QString m_session;  // the session's object path once the portal made it
    bool m_creating = false;
    QList<PortalShortcut> m_wanted;
    QList<PortalShortcut> m_bound;
    bool m_binding = false;
};
