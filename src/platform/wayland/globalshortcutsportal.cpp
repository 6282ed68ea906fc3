#include "platform/wayland/globalshortcutsportal.h"

#include "platform/keygrabber.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>

#include <xkbcommon/xkbcommon.h>

QDBusArgument &operator<<(QDBusArgument &argument, const PortalShortcut &shortcut)
{
    argument.beginStructure();
    argument << shortcut.id << shortcut.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, PortalShortcut &shortcut)
{
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.properties;
    argument.endStructure();
    return argument;
}

namespace {

void registerTypes()
{
    static const bool done = [] {
        qDBusRegisterMetaType<PortalShortcut>();
        qDBusRegisterMetaType<QList<PortalShortcut>>();
        return true;
    }();
    Q_UNUSED(done);
}

} // namespace

GlobalShortcutsPortal::GlobalShortcutsPortal(const QDBusConnection &bus, QObject *parent)
    : QObject(parent)
    , m_portal(bus)
{
    registerTypes();
    m_portal.bus().connect(QString::fromLatin1(DesktopPortal::kService), QString::fromLatin1(DesktopPortal::kPath),
                           QString::fromLatin1(kInterface), QStringLiteral("Activated"), this,
                           SLOT(handleActivated(QDBusMessage)));
}

bool GlobalShortcutsPortal::offeredOn(const QDBusConnection &bus)
{
    return DesktopPortal::offers(bus, QString::fromLatin1(kInterface));
}

QString GlobalShortcutsPortal::triggerText(std::uint32_t keysym, std::uint8_t modifiers)
{
    QStringList parts;
    if (modifiers & KeyGrabber::Ctrl)
        parts << QStringLiteral("CTRL");
    if (modifiers & KeyGrabber::Alt)
        parts << QStringLiteral("ALT");
    if (modifiers & KeyGrabber::Shift)
        parts << QStringLiteral("SHIFT");
    if (modifiers & KeyGrabber::Win)
        parts << QStringLiteral("LOGO");
    char name[64];
    if (xkb_keysym_get_name(keysym, name, sizeof name) <= 0)
        return {};
    parts << QString::fromLatin1(name);
    return parts.join(QLatin1Char('+'));
}

void GlobalShortcutsPortal::setShortcuts(const QList<PortalShortcut> &shortcuts)
{
    m_wanted = shortcuts;
    if (m_session.isEmpty())
        createSession();
    else
        bindShortcuts();
}

void GlobalShortcutsPortal::createSession()
{
    if (m_creating)
        return;
    m_creating = true;
    const QVariantMap options{{QStringLiteral("session_handle_token"), QStringLiteral("scrapkeeper")}};
    m_portal.request(QString::fromLatin1(kInterface), QStringLiteral("CreateSession"), {}, options,
                     [this](uint response, const QVariantMap &results) {
        m_creating = false;
        m_session = DesktopPortal::handleText(results.value(QStringLiteral("session_handle")));
        if (response != 0 || m_session.isEmpty()) {
            m_session.clear();
            emit refused(QStringLiteral("The desktop's shortcut service made no session for the hotkey."));
            return;
        }
        bindShortcuts();
    });
}

void GlobalShortcutsPortal::bindShortcuts()
{
    // One binding at a time; a change meanwhile is bound when the answer comes.
    if (m_binding || m_wanted == m_bound)
        return;
    m_binding = true;
    const QList<PortalShortcut> asked = m_wanted;
    m_portal.request(QString::fromLatin1(kInterface), QStringLiteral("BindShortcuts"),
            {QVariant::fromValue(QDBusObjectPath(m_session)), QVariant::fromValue(asked), QString()}, {},
            [this, asked](uint response, const QVariantMap &) {
                m_binding = false;
                if (response != 0) {
                    emit refused(response == 1 ? QStringLiteral("The hotkey was not accepted in the desktop's "
                                                                "shortcut settings.")
                                               : QStringLiteral("The desktop's shortcut service could not bind "
                                                                "the hotkey."));
                    return;
                }
                m_bound = asked;
                bindShortcuts();
            });
}

void GlobalShortcutsPortal::handleActivated(const QDBusMessage &message)
{
    // (session handle, shortcut id, timestamp, options); only ours count.
    const QVariantList arguments = message.arguments();
    if (arguments.size() >= 2 && !m_session.isEmpty() && DesktopPortal::handleText(arguments.at(0)) == m_session)
        emit activated(arguments.at(1).toString());
}
