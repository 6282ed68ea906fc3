#pragma once

#include <QDBusConnection>
#include <QHash>
#include <QObject>
#include <QVariantMap>

#include <functional>

class QDBusMessage;

// Requests to the desktop portal (xdg-desktop-portal). A request's answer
// comes later as a Response signal on a path made of our bus name and a
// token of ours; it is listened for before the call, so it cannot be missed.
class DesktopPortal : public QObject
{
    Q_OBJECT
public:
    static constexpr const char *kService = "org.freedesktop.portal.Desktop";
    static constexpr const char *kPath = "/org/freedesktop/portal/desktop";

    // The portal's answers: 0 done, 1 cancelled by the user, 2 anything else
    // (also a call the portal refused outright; its error is then in the
    // results under "error").
    enum Response : uint { Success = 0, Cancelled = 1, Failed = 2 };
    using ResponseHandler = std::function<void(uint response, const QVariantMap &results)>;

    explicit DesktopPortal(const QDBusConnection &bus, QObject *parent = nullptr);
    QDBusConnection &bus() { return m_bus; }

    // Whether the bus has a portal with this interface (asked with a short wait).
    static bool offers(const QDBusConnection &bus, const QString &interface);
    // A session handle, which comes as an object path or, from some portals, as a string.
    static QString handleText(const QVariant &value);

    // Calls `method`; `options` (the last argument) gets the request's token.
    void request(const QString &interface, const QString &method, QVariantList arguments, QVariantMap options,
                 ResponseHandler handler);

private slots:
    void handleResponse(uint response, const QVariantMap &results, const QDBusMessage &message);

private:
    QDBusConnection m_bus;
    int m_tokens = 0;
    QHash<QString, ResponseHandler> m_pending;  // request path -> what its answer does
};
