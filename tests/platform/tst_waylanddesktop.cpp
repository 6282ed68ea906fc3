// The Wayland desktop against a real compositor (tools/with-wayland): the
// window in front as sway names it, keys through the virtual keyboard into a
// GTK entry of another program (any Unicode character, whatever the layout),
// Ctrl+V pasting what our clipboard holds, and no key sent to a window that
// is not the target.
#include "platform/wayland/waylandclipboard.h"
#include "platform/wayland/waylanddesktop.h"

#include <QApplication>
#include <QMimeData>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <unistd.h>

namespace {

// Opens a GTK entry titled `title`; what it holds when Enter is pressed is its
// output. Waits until it is in front, and not the window `before`.
bool openEntry(QProcess &entry, const QString &title, WaylandDesktop &desktop, ForeignFocus &focus,
               quint64 before = 0)
{
    entry.start(QStringLiteral("zenity"), {QStringLiteral("--entry"), QStringLiteral("--title"), title,
                                           QStringLiteral("--entry-text"), QString()});
    if (!entry.waitForStarted())
        return false;
    // sway focuses a new window: wait until it is the one in front.
    for (int i = 0; i < 100; ++i) {
        QTest::qWait(100);
        focus = desktop.foreignFocus();
        if (focus.window != 0 && focus.window != before && !focus.ownWindow
            && desktop.windowClass(focus.window).value(0) == "zenity")
            return true;
    }
    return false;
}

QString entryText(QProcess &entry, WaylandDesktop &desktop, const ForeignFocus &focus)
{
    if (!desktop.beginDelivery(focus.window))
        return QStringLiteral("(the entry lost the focus)");
    desktop.pressKey(Desktop::Key::Enter);
    desktop.endDelivery();
    if (!entry.waitForFinished(10000))
        return QStringLiteral("(the entry did not close)");
    return QString::fromUtf8(entry.readAllStandardOutput()).chopped(1);
}

} // namespace

class TestWaylandDesktop : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") || qEnvironmentVariableIsEmpty("SWAYSOCK"))
            QSKIP("needs a sway session (tools/with-wayland)");
        if (QStandardPaths::findExecutable("zenity").isEmpty())
            QSKIP("needs zenity");
        QVERIFY2(m_desktop.shortcomings().isEmpty(), qPrintable(m_desktop.shortcomings().join(' ')));
    }

    // The user's own keyboard is plugged in and has been used in the entry,
    // and the copy is made while the entry has the keyboard, as in real use.
    // First, so that our keymap holds only the keys every paste needs.
    void ctrlVPastesOurSelection_data()
    {
        QTest::addColumn<QString>("userLayout");
        QTest::newRow("US") << QString();
        QTest::newRow("US Dvorak (v elsewhere)") << QStringLiteral("dvorak");
    }

    void ctrlVPastesOurSelection()
    {
        QFETCH(QString, userLayout);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        if (!userLayout.isEmpty())
            environment.insert(QStringLiteral("SK_WL_KEYS_VARIANT"), userLayout);
        QProcess userKeyboard;
        userKeyboard.setProcessEnvironment(environment);
        userKeyboard.start(QStringLiteral(SK_WL_KEYS), {QStringLiteral("--hold")});
        QVERIFY(userKeyboard.waitForStarted());
        QTest::qWait(300);
        QProcess entry;
        ForeignFocus focus;
        QVERIFY(openEntry(entry, QStringLiteral("Paste target"), m_desktop, focus));
        QProcess userKeys;
        userKeys.setProcessEnvironment(environment);
        userKeys.start(QStringLiteral(SK_WL_KEYS), {QStringLiteral("Left")});
        QVERIFY(userKeys.waitForFinished(10000));

        WaylandClipboard clipboard;
        QVERIFY(clipboard.start());
        auto *data = new QMimeData;
        data->setText(QStringLiteral("pasted through Ctrl+V ✓"));
        clipboard.setMimeData(data);
        QTest::qWait(300);
        QVERIFY(m_desktop.beginDelivery(focus.window));
        m_desktop.sendCtrlV();
        m_desktop.endDelivery();
        QTest::qWait(500);
        QCOMPARE(entryText(entry, m_desktop, focus), QStringLiteral("pasted through Ctrl+V ✓"));
        userKeyboard.kill();
        userKeyboard.waitForFinished();
    }

    void typedTextArrivesExactly()
    {
        QProcess entry;
        ForeignFocus focus;
        QVERIFY(openEntry(entry, QStringLiteral("Typing target"), m_desktop, focus));
        const QString text = QStringLiteral("Ünïcödé ✓ 日本 and plain ASCII, @#{}");
        QVERIFY(m_desktop.beginDelivery(focus.window));
        m_desktop.prepareTyping(text);
        for (const char32_t c : text.toUcs4())
            QVERIFY(m_desktop.typeCharacter(c));
        m_desktop.finishTyping();
        m_desktop.endDelivery();
        QCOMPARE(entryText(entry, m_desktop, focus), text);
    }

    void noDeliveryToAWindowThatIsNotTheTarget()
    {
        QProcess first;
        ForeignFocus target;
        QVERIFY(openEntry(first, QStringLiteral("First"), m_desktop, target));
        QProcess second;
        ForeignFocus other;
        QVERIFY(openEntry(second, QStringLiteral("Second"), m_desktop, other, target.window));
        QVERIFY(other.window != target.window);
        QVERIFY(!m_desktop.beginDelivery(target.window));
        // Brought back, the target takes keys again.
        m_desktop.refocus(target);
        QVERIFY(m_desktop.beginDelivery(target.window));
        m_desktop.endDelivery();
        second.kill();
        first.kill();
        second.waitForFinished();
        first.waitForFinished();
    }

private:
    WaylandDesktop m_desktop;
};

QTEST_MAIN(TestWaylandDesktop)
#include "tst_waylanddesktop.moc"
