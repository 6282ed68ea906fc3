#include "platform/wayland/desktopportal.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>

namespace {

constexpr const char *kRequestInterface = "org.freedesktop.portal.Request";
constexpr int kAskTimeoutMs = 500;

} // namespace

DesktopPortal::DesktopPortal(const QDBusConnection &bus, QObject *parent)
    : QObject(parent)
    , m_bus(bus)
{
}

bool DesktopPortal::offers(const QDBusConnection &bus, const QString &interface)
{
    if (!bus.isConnected())
        return false;
    QDBusMessage ask = QDBusMessage::createMethodCall(QString::fromLatin1(kService), QString::fromLatin1(kPath),
                                                      QStringLiteral("org.freedesktop.DBus.Properties"),
                                                      QStringLiteral("Get"));
    ask << interface << QStringLiteral("version");
    return bus.call(ask, QDBus::Block, kAskTimeoutMs).type() == QDBusMessage::ReplyMessage;
}

QString DesktopPortal::handleText(const QVariant &value)
{
    if (value.canConvert<QDBusObjectPath>())
        return value.value<QDBusObjectPath>().path();
    return value.toString();
}

void DesktopPortal::request(const QString &interface, const QString &method, QVariantList arguments,
                            QVariantMap options, ResponseHandler handler)
{
    const QString token = QStringLiteral("scrapkeeper%1").arg(++m_tokens);
    QString sender = m_bus.baseService().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    const QString path = QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(sender, token);
    m_pending.insert(path, std::move(handler));
    m_bus.connect(QString::fromLatin1(kService), path, QString::fromLatin1(kRequestInterface),
                  QStringLiteral("Response"), this, SLOT(handleResponse(uint, QVariantMap, QDBusMessage)));
    options.insert(QStringLiteral("handle_token"), token);
    arguments << options;
    QDBusMessage call =
        QDBusMessage::createMethodCall(QString::fromLatin1(kService), QString::fromLatin1(kPath), interface, method);
    call.setArguments(arguments);
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, path] {
        watcher->deleteLater();
        if (!watcher->isError())
            return;
        const ResponseHandler failed = m_pending.take(path);
        if (failed)
            failed(Failed, {{QStringLiteral("error"), watcher->error().message()}});
    });
}

void DesktopPortal::handleResponse(uint response, const QVariantMap &results, const QDBusMessage &message)
{
    const ResponseHandler handler = m_pending.take(message.path());
    m_bus.disconnect(QString::fromLatin1(kService), message.path(), QString::fromLatin1(kRequestInterface),
                     QStringLiteral("Response"), this, SLOT(handleResponse(uint, QVariantMap, QDBusMessage)));
    if (handler)
        handler(response, results);
}
