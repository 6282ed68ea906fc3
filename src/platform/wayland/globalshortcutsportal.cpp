#include "platform/wayland/globalshortcutsportal.h"

#include "platform/keygrabber.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

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

constexpr const char *kRequestInterface = "org.freedesktop.portal.Request";
constexpr int kAskTimeoutMs = 500;

void registerTypes()
{
    static const bool done = [] {
        qDBusRegisterMetaType<PortalShortcut>();
        qDBusRegisterMetaType<QList<PortalShortcut>>();
        return true;
    }();
    Q_UNUSED(done);
}

// A session handle comes as an object path or, from some portals, as a string.
QString pathText(const QVariant &value)
{
    if (value.canConvert<QDBusObjectPath>())
        return value.value<QDBusObjectPath>().path();
    return value.toString();
}

} // namespace

GlobalShortcutsPortal::GlobalShortcutsPortal(const QDBusConnection &bus, QObject *parent)
    : QObject(parent)
    , m_bus(bus)
{
    registerTypes();
    m_bus.connect(QString::fromLatin1(kService), QString::fromLatin1(kPath), QString::fromLatin1(kInterface),
                  QStringLiteral("Activated"), this, SLOT(handleActivated(QDBusMessage)));
}

bool GlobalShortcutsPortal::offeredOn(const QDBusConnection &bus)
{
    if (!bus.isConnected())
        return false;
    QDBusMessage ask = QDBusMessage::createMethodCall(QString::fromLatin1(kService), QString::fromLatin1(kPath),
                                                      QStringLiteral("org.freedesktop.DBus.Properties"),
                                                      QStringLiteral("Get"));
    ask << QString::fromLatin1(kInterface) << QStringLiteral("version");
    const QDBusMessage answer = bus.call(ask, QDBus::Block, kAskTimeoutMs);
    return answer.type() == QDBusMessage::ReplyMessage;
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

void GlobalShortcutsPortal::request(const QString &method, QVariantList arguments, QVariantMap options,
                                    ResponseHandler handler)
{
    // The answer comes as a signal on a path made of our name and a token
    // of ours: it is listened for before the call, so it cannot be missed.
    const QString token = QStringLiteral("scrapkeeper%1").arg(++m_tokens);
    QString sender = m_bus.baseService().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    const QString path = QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(sender, token);
    m_pending.insert(path, std::move(handler));
    m_bus.connect(QString::fromLatin1(kService), path, QString::fromLatin1(kRequestInterface),
                  QStringLiteral("Response"), this, SLOT(handleResponse(uint, QVariantMap, QDBusMessage)));
    options.insert(QStringLiteral("handle_token"), token);
    arguments << options;
    QDBusMessage call = QDBusMessage::createMethodCall(QString::fromLatin1(kService), QString::fromLatin1(kPath),
                                                       QString::fromLatin1(kInterface), method);
    call.setArguments(arguments);
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, path, method] {
        watcher->deleteLater();
        if (!watcher->isError())
            return;
        m_pending.remove(path);
        m_creating = m_binding = false;
        emit refused(QStringLiteral("The desktop's shortcut service refused %1: %2")
                         .arg(method, watcher->error().message()));
    });
}

void GlobalShortcutsPortal::handleResponse(uint response, const QVariantMap &results, const QDBusMessage &message)
{
    const ResponseHandler handler = m_pending.take(message.path());
    m_bus.disconnect(QString::fromLatin1(kService), message.path(), QString::fromLatin1(kRequestInterface),
                     QStringLiteral("Response"), this, SLOT(handleResponse(uint, QVariantMap, QDBusMessage)));
    if (handler)
        handler(response, results);
}

void GlobalShortcutsPortal::createSession()
{
    if (m_creating)
        return;
    m_creating = true;
    const QVariantMap options{{QStringLiteral("session_handle_token"), QStringLiteral("scrapkeeper")}};
    request(QStringLiteral("CreateSession"), {}, options, [this](uint response, const QVariantMap &results) {
        m_creating = false;
        m_session = pathText(results.value(QStringLiteral("session_handle")));
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
    request(QStringLiteral("BindShortcuts"),
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
    if (arguments.size() >= 2 && !m_session.isEmpty() && pathText(arguments.at(0)) == m_session)
        emit activated(arguments.at(1).toString());
}
