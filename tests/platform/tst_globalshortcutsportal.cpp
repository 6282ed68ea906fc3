// The hotkey through the desktop portal's global shortcuts, against a
// stand-in portal on the session bus: the key is bound once with its XDG
// trigger text, presses are announced while it is armed and not after an
// ungrab, a changed key binds again, a bare Escape is never bound, and a
// refusal is announced.
#include "platform/wayland/globalshortcutsportal.h"
#include "platform/wayland/waylandkeygrabber.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QMutex>

#include <xkbcommon/xkbcommon.h>

namespace {

const QString kSessionPath = QStringLiteral("/org/freedesktop/portal/desktop/session/test/scrapkeeper");

// The portal's side: answers each request with a Response signal on the
// request's path, as xdg-desktop-portal does.
class StandInPortal : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.GlobalShortcuts")
    Q_PROPERTY(uint version READ version)
public:
    explicit StandInPortal(QDBusConnection bus)
        : m_bus(std::move(bus))
    {
    }
    uint version() const { return 1; }

    // Read from the test's thread while the portal answers on its own.
    QList<QList<PortalShortcut>> bound() const
    {
        const QMutexLocker lock(&m_mutex);
        return m_bound;
    }
    void reset(uint bindAnswer)
    {
        const QMutexLocker lock(&m_mutex);
        m_bound.clear();
        m_bindAnswer = bindAnswer;
    }

    void press(const QString &id)
    {
        QDBusMessage signal = QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/portal/desktop"),
                                                         QStringLiteral("org.freedesktop.portal.GlobalShortcuts"),
                                                         QStringLiteral("Activated"));
        signal << QVariant::fromValue(QDBusObjectPath(kSessionPath)) << id << qulonglong(0) << QVariantMap();
        m_bus.send(signal);
    }

public slots:
    QDBusObjectPath CreateSession(const QVariantMap &options, const QDBusMessage &message)
    {
        return answerLater(message, options, 0,
                           {{QStringLiteral("session_handle"), QVariant::fromValue(QDBusObjectPath(kSessionPath))}});
    }

    QDBusObjectPath BindShortcuts(const QDBusObjectPath &session, const QList<PortalShortcut> &shortcuts,
                                  const QString &, const QVariantMap &options, const QDBusMessage &message)
    {
        const QMutexLocker lock(&m_mutex);
        if (session.path() == kSessionPath)
            m_bound << shortcuts;
        return answerLater(message, options, m_bindAnswer, {});
    }

private:
    QDBusObjectPath answerLater(const QDBusMessage &message, const QVariantMap &options, uint response,
                                const QVariantMap &results)
    {
        QString sender = message.service().mid(1);
        sender.replace(QLatin1Char('.'), QLatin1Char('_'));
        const QString path = QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2")
                                 .arg(sender, options.value(QStringLiteral("handle_token")).toString());
        QTimer::singleShot(0, this, [this, path, response, results] {
            QDBusMessage signal = QDBusMessage::createSignal(path, QStringLiteral("org.freedesktop.portal.Request"),
                                                             QStringLiteral("Response"));
            signal << response << results;
            m_bus.send(signal);
        });
        return QDBusObjectPath(path);
    }

    QDBusConnection m_bus;
    mutable QMutex m_mutex;
    QList<QList<PortalShortcut>> m_bound;
    uint m_bindAnswer = 0;
};

} // namespace

class TestGlobalShortcutsPortal : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (!QDBusConnection::sessionBus().isConnected())
            QSKIP("needs a session bus");
        qDBusRegisterMetaType<PortalShortcut>();
        qDBusRegisterMetaType<QList<PortalShortcut>>();
        QVERIFY(!GlobalShortcutsPortal::offeredOn(QDBusConnection::sessionBus()));
        // The portal on a connection of its own, as another process would be.
        m_portalBus = std::make_unique<QDBusConnection>(
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("standinportal")));
        // and a thread of its own, so it answers while the program's side waits.
        m_portal = std::make_unique<StandInPortal>(*m_portalBus);
        m_portalThread.start();
        m_portal->moveToThread(&m_portalThread);
        QVERIFY(m_portalBus->registerObject(QStringLiteral("/org/freedesktop/portal/desktop"), m_portal.get(),
                                            QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties));
        QVERIFY(m_portalBus->registerService(QStringLiteral("org.freedesktop.portal.Desktop")));
        QVERIFY(GlobalShortcutsPortal::offeredOn(QDBusConnection::sessionBus()));
    }

    void init() { m_portal->reset(0); }

    void cleanupTestCase()
    {
        m_portalThread.quit();
        m_portalThread.wait();
    }

    void triggerText_data()
    {
        QTest::addColumn<uint>("keysym");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("text");
        QTest::newRow("Ctrl+V") << uint(XKB_KEY_v) << int(KeyGrabber::Ctrl) << "CTRL+v";
        QTest::newRow("every modifier") << uint(XKB_KEY_F12)
                                        << int(KeyGrabber::Shift | KeyGrabber::Ctrl | KeyGrabber::Alt | KeyGrabber::Win)
                                        << "CTRL+ALT+SHIFT+LOGO+F12";
        QTest::newRow("a key alone") << uint(XKB_KEY_Insert) << 0 << "Insert";
    }

    void triggerText()
    {
        QFETCH(uint, keysym);
        QFETCH(int, modifiers);
        QFETCH(QString, text);
        QCOMPARE(GlobalShortcutsPortal::triggerText(keysym, std::uint8_t(modifiers)), text);
    }

    void hotkeyIsBoundAndAnnouncedWhileArmed()
    {
        GlobalShortcutsPortal portal;
        WaylandKeyGrabber grabber(&portal);
        QSignalSpy presses(&grabber, &KeyGrabber::activated);
        QSignalSpy refusals(&grabber, &WaylandKeyGrabber::refused);

        QVERIFY(grabber.grab(0, XKB_KEY_v, KeyGrabber::Ctrl));
        QVERIFY(QTest::qWaitFor([&] { return m_portal->bound().size() == 1; }, 5000));
        const QList<PortalShortcut> first = m_portal->bound().first();
        QCOMPARE(first.size(), 1);
        QCOMPARE(first.first().id, QStringLiteral("popup"));
        QCOMPARE(first.first().properties.value(QStringLiteral("preferred_trigger")).toString(),
                 QStringLiteral("CTRL+v"));
        QVERIFY(!first.first().properties.value(QStringLiteral("description")).toString().isEmpty());

        m_portal->press(QStringLiteral("popup"));
        QVERIFY(presses.wait(5000));
        QCOMPARE(presses.takeFirst().value(0).toInt(), 0);

        // A paste run's Escape stays with the windows.
        QVERIFY(grabber.grab(89, XKB_KEY_Escape, 0));

        // While the configuration window is up the hotkey is let go: a press does nothing.
        grabber.ungrab(0);
        m_portal->press(QStringLiteral("popup"));
        QTest::qWait(300);
        QCOMPARE(presses.size(), 0);

        // Armed again with the same key: nothing is asked of the desktop again.
        QVERIFY(grabber.grab(0, XKB_KEY_v, KeyGrabber::Ctrl));
        m_portal->press(QStringLiteral("popup"));
        QVERIFY(presses.wait(5000));
        QCOMPARE(m_portal->bound().size(), 1);

        // Another key chosen on the page is bound anew.
        QVERIFY(grabber.grab(0, XKB_KEY_b, KeyGrabber::Ctrl | KeyGrabber::Alt));
        QVERIFY(QTest::qWaitFor([&] { return m_portal->bound().size() == 2; }, 5000));
        QCOMPARE(m_portal->bound().last().first().properties.value(QStringLiteral("preferred_trigger")).toString(),
                 QStringLiteral("CTRL+ALT+b"));
        QCOMPARE(refusals.size(), 0);
    }

    void refusalIsAnnounced()
    {
        m_portal->reset(1);  // the user cancelled the desktop's confirmation
        GlobalShortcutsPortal portal;
        WaylandKeyGrabber grabber(&portal);
        QSignalSpy refusals(&grabber, &WaylandKeyGrabber::refused);
        QVERIFY(grabber.grab(0, XKB_KEY_v, KeyGrabber::Ctrl));
        QVERIFY(refusals.wait(5000));
        QVERIFY(!refusals.first().value(0).toString().isEmpty());
    }

private:
    QThread m_portalThread;
    std::unique_ptr<QDBusConnection> m_portalBus;
    std::unique_ptr<StandInPortal> m_portal;
};

QTEST_GUILESS_MAIN(TestGlobalShortcutsPortal)
#include "tst_globalshortcutsportal.moc"
