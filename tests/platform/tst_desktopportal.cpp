// The desktop portal, against a stand-in portal on the session bus. Global
// shortcuts: the hotkey is bound once with its XDG trigger text, presses are
// announced while it is armed and not after an ungrab, a changed key binds
// again, a bare Escape is never bound, a refusal is announced. Keys through
// remote control: nothing before the user allows it, then keysyms in order;
// a no, or a session that ends, is said once.
#include "platform/wayland/globalshortcutsportal.h"
#include "platform/wayland/remotedesktopkeyboard.h"
#include "platform/wayland/waylandkeygrabber.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusAbstractAdaptor>
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

struct SentKey
{
    int keysym;
    uint state;
    bool operator==(const SentKey &) const = default;
};

// The portal's side, on a connection and a thread of its own as another
// process would be: answers each request with a Response signal on the
// request's path, as xdg-desktop-portal does, and records what it was asked.
class StandInPortal : public QObject
{
    Q_OBJECT
public:
    explicit StandInPortal(QDBusConnection bus)
        : m_bus(std::move(bus))
    {
    }

    struct Answers
    {
        uint bind = 0;
        uint start = 0;
        bool keysFail = false;
    };
    void reset(Answers answers)
    {
        const QMutexLocker lock(&m_mutex);
        m_bound.clear();
        m_keys.clear();
        m_answers = answers;
    }
    QList<QList<PortalShortcut>> bound() const
    {
        const QMutexLocker lock(&m_mutex);
        return m_bound;
    }
    QList<SentKey> keys() const
    {
        const QMutexLocker lock(&m_mutex);
        return m_keys;
    }

    void press(const QString &id)
    {
        QDBusMessage signal = QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/portal/desktop"),
                                                         QStringLiteral("org.freedesktop.portal.GlobalShortcuts"),
                                                         QStringLiteral("Activated"));
        signal << QVariant::fromValue(QDBusObjectPath(kSessionPath)) << id << qulonglong(0) << QVariantMap();
        m_bus.send(signal);
    }

    QDBusObjectPath createSession(const QVariantMap &options, const QDBusMessage &message)
    {
        return answerLater(message, options, 0,
                           {{QStringLiteral("session_handle"), QVariant::fromValue(QDBusObjectPath(kSessionPath))}});
    }
    QDBusObjectPath bind(const QDBusObjectPath &session, const QList<PortalShortcut> &shortcuts,
                         const QVariantMap &options, const QDBusMessage &message)
    {
        const QMutexLocker lock(&m_mutex);
        if (session.path() == kSessionPath)
            m_bound << shortcuts;
        return answerLater(message, options, m_answers.bind, {});
    }
    QDBusObjectPath select(const QVariantMap &options, const QDBusMessage &message)
    {
        return answerLater(message, options, options.value(QStringLiteral("types")).toUInt() == 1 ? 0 : 2, {});
    }
    QDBusObjectPath start(const QVariantMap &options, const QDBusMessage &message)
    {
        const QMutexLocker lock(&m_mutex);
        return answerLater(message, options, m_answers.start, {{QStringLiteral("devices"), uint(1)}});
    }
    void key(const QDBusObjectPath &session, int keysym, uint state, const QDBusMessage &message)
    {
        const QMutexLocker lock(&m_mutex);
        if (m_answers.keysFail || session.path() != kSessionPath) {
            m_bus.send(message.createErrorReply(QDBusError::AccessDenied, QStringLiteral("session closed")));
            return;
        }
        m_keys << SentKey{keysym, state};
        m_bus.send(message.createReply());
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
    QList<SentKey> m_keys;
    Answers m_answers;
};

class ShortcutsInterface : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.GlobalShortcuts")
    Q_PROPERTY(uint version READ version)
public:
    explicit ShortcutsInterface(StandInPortal *portal)
        : QDBusAbstractAdaptor(portal)
        , m_portal(portal)
    {
    }
    uint version() const { return 1; }
public slots:
    QDBusObjectPath CreateSession(const QVariantMap &options, const QDBusMessage &message)
    {
        return m_portal->createSession(options, message);
    }
    QDBusObjectPath BindShortcuts(const QDBusObjectPath &session, const QList<PortalShortcut> &shortcuts,
                                  const QString &, const QVariantMap &options, const QDBusMessage &message)
    {
        return m_portal->bind(session, shortcuts, options, message);
    }

private:
    StandInPortal *m_portal;
};

class RemoteDesktopInterface : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.RemoteDesktop")
    Q_PROPERTY(uint version READ version)
public:
    explicit RemoteDesktopInterface(StandInPortal *portal)
        : QDBusAbstractAdaptor(portal)
        , m_portal(portal)
    {
    }
    uint version() const { return 1; }
public slots:
    QDBusObjectPath CreateSession(const QVariantMap &options, const QDBusMessage &message)
    {
        return m_portal->createSession(options, message);
    }
    QDBusObjectPath SelectDevices(const QDBusObjectPath &, const QVariantMap &options, const QDBusMessage &message)
    {
        return m_portal->select(options, message);
    }
    QDBusObjectPath Start(const QDBusObjectPath &, const QString &, const QVariantMap &options,
                          const QDBusMessage &message)
    {
        return m_portal->start(options, message);
    }
    void NotifyKeyboardKeysym(const QDBusObjectPath &session, const QVariantMap &, int keysym, uint state,
                              const QDBusMessage &message)
    {
        message.setDelayedReply(true);
        m_portal->key(session, keysym, state, message);
    }

private:
    StandInPortal *m_portal;
};

} // namespace

class TestDesktopPortal : public QObject
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
        QVERIFY(!RemoteDesktopKeyboard::offeredOn(QDBusConnection::sessionBus()));
        // The portal on a connection of its own, as another process would be.
        m_portalBus = std::make_unique<QDBusConnection>(
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("standinportal")));
        // and a thread of its own, so it answers while the program's side waits.
        m_portal = std::make_unique<StandInPortal>(*m_portalBus);
        new ShortcutsInterface(m_portal.get());
        new RemoteDesktopInterface(m_portal.get());
        m_portalThread.start();
        m_portal->moveToThread(&m_portalThread);
        QVERIFY(m_portalBus->registerObject(QStringLiteral("/org/freedesktop/portal/desktop"), m_portal.get(),
                                            QDBusConnection::ExportAdaptors));
        QVERIFY(m_portalBus->registerService(QStringLiteral("org.freedesktop.portal.Desktop")));
        QVERIFY(GlobalShortcutsPortal::offeredOn(QDBusConnection::sessionBus()));
        QVERIFY(RemoteDesktopKeyboard::offeredOn(QDBusConnection::sessionBus()));
    }

    void init() { m_portal->reset({}); }

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
        m_portal->reset({.bind = 1});  // the user cancelled the desktop's confirmation
        GlobalShortcutsPortal portal;
        WaylandKeyGrabber grabber(&portal);
        QSignalSpy refusals(&grabber, &WaylandKeyGrabber::refused);
        QVERIFY(grabber.grab(0, XKB_KEY_v, KeyGrabber::Ctrl));
        QVERIFY(refusals.wait(5000));
        QVERIFY(!refusals.first().value(0).toString().isEmpty());
    }


    // Once the user allowed it, keys go as keysyms in order: Ctrl+V as the
    // Control key around V, any character as its own keysym.
    void portalKeysArriveInOrder()
    {
        RemoteDesktopKeyboard keyboard;
        QSignalSpy ready(&keyboard, &RemoteDesktopKeyboard::ready);
        QVERIFY(!keyboard.available());
        QVERIFY(!keyboard.type(U'a'));  // nothing before the user allowed it
        keyboard.start();
        QVERIFY(ready.wait(5000));
        QVERIFY(keyboard.available());
        keyboard.pressCombination(XKB_KEY_v, KeyGrabber::Ctrl);
        QVERIFY(keyboard.type(U'日'));
        QVERIFY(!keyboard.type(U'\n'));  // a line break is the Return key's
        keyboard.press(KeyOutput::Named::Return);
        const QList<SentKey> expected{{XKB_KEY_Control_L, 1}, {XKB_KEY_v, 1},      {XKB_KEY_v, 0},
                                      {XKB_KEY_Control_L, 0}, {0x10065E5, 1},       {0x10065E5, 0},
                                      {XKB_KEY_Return, 1},    {XKB_KEY_Return, 0}};
        QCOMPARE(m_portal->keys(), expected);
    }

    void portalKeysRefusedAreSaid_data()
    {
        QTest::addColumn<bool>("denied");
        QTest::newRow("the user says no") << true;
        QTest::newRow("the session ends later") << false;
    }

    void portalKeysRefusedAreSaid()
    {
        QFETCH(bool, denied);
        m_portal->reset({.start = denied ? 1u : 0u, .keysFail = !denied});
        RemoteDesktopKeyboard keyboard;
        QSignalSpy refusals(&keyboard, &RemoteDesktopKeyboard::refused);
        QSignalSpy ready(&keyboard, &RemoteDesktopKeyboard::ready);
        keyboard.start();
        QVERIFY(QTest::qWaitFor([&] { return !refusals.isEmpty() || !ready.isEmpty(); }, 5000));
        // Sent keys fail once the session is gone; the refusal is said once.
        QVERIFY(!keyboard.type(U'a'));
        QVERIFY(!keyboard.type(U'b'));
        QCOMPARE(refusals.size(), 1);
        QVERIFY(!keyboard.available());
        QVERIFY(m_portal->keys().isEmpty());
    }

private:
    QThread m_portalThread;
    std::unique_ptr<QDBusConnection> m_portalBus;
    std::unique_ptr<StandInPortal> m_portal;
};

QTEST_GUILESS_MAIN(TestDesktopPortal)
#include "tst_desktopportal.moc"
