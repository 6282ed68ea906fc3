// A stand-in StatusNotifierWatcher for the desktop tests: it owns the
// watcher's name on the session bus, says a host is registered (so Qt serves
// its tray icons as StatusNotifierItems), and prints each item that registers
// as "item <service> <sender>", one line each, as it comes.
#include <QCoreApplication>
#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QObject>
#include <QStringList>

#include <cstdio>

namespace {

const QString kWatcherName = QStringLiteral("org.kde.StatusNotifierWatcher");

class Watcher : public QObject, protected QDBusContext
{
    Q_OBJECT
public:
    QStringList items;

    void registerItem(const QString &service)
    {
        const QString sender = calledFromDBus() ? message().service() : QString();
        // An item may name itself by a path on the caller's connection alone.
        const QString item = service.startsWith(QLatin1Char('/')) ? sender + service : service;
        items.append(item);
        std::printf("item %s %s\n", qPrintable(item), qPrintable(sender));
        std::fflush(stdout);
    }
};

class WatcherAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ isHostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ registeredItems)
public:
    explicit WatcherAdaptor(Watcher *watcher) : QDBusAbstractAdaptor(watcher), m_watcher(watcher) {}

    bool isHostRegistered() const { return true; }
    int protocolVersion() const { return 0; }
    QStringList registeredItems() const { return m_watcher->items; }

public slots:
    void RegisterStatusNotifierItem(const QString &service)
    {
        m_watcher->registerItem(service);
        emit StatusNotifierItemRegistered(m_watcher->items.constLast());
    }
    void RegisterStatusNotifierHost(const QString &) {}

signals:
    void StatusNotifierItemRegistered(const QString &service);
    void StatusNotifierHostRegistered();

private:
    Watcher *m_watcher;
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        std::fprintf(stderr, "no session bus\n");
        return 2;
    }
    Watcher watcher;
    new WatcherAdaptor(&watcher);
    if (!bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), &watcher)
        || !bus.registerService(kWatcherName)) {
        std::fprintf(stderr, "cannot own %s\n", qPrintable(kWatcherName));
        return 2;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    return app.exec();
}

#include "sniwatcher.moc"
