// The X11 desktop on a real X server: modifiers the user holds, typing in
// the layout group the user has switched to, and giving a foreign control
// its focus back with its caret where it was.
#include "platform/x11/x11desktop.h"

#include <QApplication>
#include <QLineEdit>
#include <QWidget>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QFile>
#include <QTest>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <cstdio>
#include <functional>

namespace {

Display *display()
{
    return qApp->nativeInterface<QNativeInterface::QX11Application>()->display();
}

bool keyDown(KeyCode code)
{
    char keys[32];
    XQueryKeymap(display(), keys);
    return keys[code / 8] & (1 << (code % 8));
}

// Runs the command and waits until a visible window with the exact title exists.
quint64 openWindow(QProcess &process, const QString &program, const QStringList &arguments, const QString &title)
{
    process.start(program, arguments);
    if (!process.waitForStarted())
        return 0;
    for (int i = 0; i < 100; ++i) {
        QProcess search;
        search.start(QStringLiteral("xdotool"),
                     {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                      QLatin1Char('^') + title + QLatin1Char('$')});
        search.waitForFinished();
        const quint64 id = search.readAllStandardOutput().split('\n').value(0).toULongLong();
        if (id)
            return id;
        QTest::qWait(100);
    }
    return 0;
}

void xdotool(const QStringList &arguments)
{
    QProcess::execute(QStringLiteral("xdotool"), arguments);
}

bool setLayouts(const QString &layouts)
{
    return QProcess::execute(QStringLiteral("setxkbmap"), {QStringLiteral("-layout"), layouts}) == 0;
}

} // namespace

class TestX11Desktop : public QObject
{
    Q_OBJECT
private slots:
    void heldModifiersAreSeenAndReleased_data();
    void heldModifiersAreSeenAndReleased();
    void lockedModifiersAreNotHeld();
    void typesInTheActiveGroup_data();
    void typesInTheActiveGroup();
    void focusIsBroughtBackWithTheCaret_data();
    void focusIsBroughtBackWithTheCaret();
    void deliveryFollowsTheFocus_data();
    void deliveryFollowsTheFocus();
    void typingRunArrivesWholeAndLetsOthersIn();
    void cleanup();

private:
    X11Desktop m_desktop;
};

void TestX11Desktop::cleanup()
{
    // Whatever a test left pressed or switched, the next starts from a plain keyboard.
    m_desktop.releaseModifiers();
    XkbLockGroup(display(), XkbUseCoreKbd, 0);
    XSync(display(), False);
}

void TestX11Desktop::heldModifiersAreSeenAndReleased_data()
{
    QTest::addColumn<QList<unsigned long>>("keysyms");
    QTest::newRow("Shift") << QList<unsigned long>{XK_Shift_L};
    QTest::newRow("right Ctrl") << QList<unsigned long>{XK_Control_R};
    QTest::newRow("Alt") << QList<unsigned long>{XK_Alt_L};
    QTest::newRow("Super") << QList<unsigned long>{XK_Super_L};
    QTest::newRow("AltGr") << QList<unsigned long>{XK_ISO_Level3_Shift};
    QTest::newRow("Ctrl and Shift") << QList<unsigned long>{XK_Control_L, XK_Shift_R};
}

void TestX11Desktop::heldModifiersAreSeenAndReleased()
{
    QFETCH(QList<unsigned long>, keysyms);
    Display *dpy = display();
    QVERIFY(!m_desktop.modifiersHeld());
    QList<KeyCode> codes;
    for (const unsigned long keysym : keysyms) {
        const KeyCode code = XKeysymToKeycode(dpy, keysym);
        if (!code)
            QSKIP("the keyboard map has no such key");
        codes << code;
        XTestFakeKeyEvent(dpy, code, True, CurrentTime);
    }
    XSync(dpy, False);
    QVERIFY(m_desktop.modifiersHeld());

    m_desktop.releaseModifiers();
    XSync(dpy, False);
    QVERIFY(!m_desktop.modifiersHeld());
    for (const KeyCode code : std::as_const(codes))
        QVERIFY2(!keyDown(code), "the key is still down");
}

void TestX11Desktop::lockedModifiersAreNotHeld()
{
    // Caps Lock and Num Lock switched on are states, not keys the user holds.
    Display *dpy = display();
    XkbLockModifiers(dpy, XkbUseCoreKbd, LockMask | Mod2Mask, LockMask | Mod2Mask);
    XSync(dpy, False);
    const bool held = m_desktop.modifiersHeld();
    XkbLockModifiers(dpy, XkbUseCoreKbd, LockMask | Mod2Mask, 0);
    XSync(dpy, False);
    QVERIFY(!held);
}

void TestX11Desktop::typesInTheActiveGroup_data()
{
    QTest::addColumn<QString>("text");
    // With the German group, y and z change places, the umlauts have keys of
    // their own, and @ lies on AltGr: a lookup in the first group shows.
    QTest::newRow("y and z") << QStringLiteral("yz");
    QTest::newRow("shifted") << QStringLiteral("Zy!");
    QTest::newRow("only in the second group") << QStringLiteral("äÖß");
    QTest::newRow("on no plain or shifted key") << QStringLiteral("y@z");
}

void TestX11Desktop::typesInTheActiveGroup()
{
    QFETCH(QString, text);
    if (QStandardPaths::findExecutable(QStringLiteral("setxkbmap")).isEmpty())
        QSKIP("setxkbmap is not installed");
    QVERIFY(setLayouts(QStringLiteral("us,de")));
    struct RestoreLayout
    {
        ~RestoreLayout() { setLayouts(QStringLiteral("us")); }
    } restore;
    Display *dpy = display();
    XkbLockGroup(dpy, XkbUseCoreKbd, 1);
    XSync(dpy, False);
    XkbStateRec state;
    QVERIFY(XkbGetState(dpy, XkbUseCoreKbd, &state) == Success);
    QCOMPARE(int(state.group), 1);

    QLineEdit edit;
    edit.show();
    edit.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&edit));
    m_desktop.prepareTyping(text);
    for (const char32_t c : text.toUcs4())
        QVERIFY(m_desktop.typeCharacter(c));
    m_desktop.finishTyping();
    QTRY_COMPARE(edit.text(), text);
}

void TestX11Desktop::focusIsBroughtBackWithTheCaret_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("away");
    QTest::addColumn<QString>("expected");
    // Both windows have a control that comes first, holding "XY" with the
    // caret between X and Y, and a single-line field after it, where the
    // keys or a click (in the window %w) move the focus.
    QTest::newRow("GTK entry") << QStringLiteral("zenity")
                               << QStringList{QStringLiteral("--forms"), QStringLiteral("--title=GTK form"),
                                              QStringLiteral("--add-entry=First"), QStringLiteral("--add-entry=Second")}
                               << QStringLiteral("GTK form") << QStringList{QStringLiteral("key"), QStringLiteral("Tab")}
                               << QStringLiteral("XQY|");
    QTest::newRow("Qt text edit") << QStringLiteral(SK_EDIT_TARGET)
                                  << QStringList{QStringLiteral("form"), QStringLiteral("Qt form"), QString()}
                                  << QStringLiteral("Qt form")
                                  << QStringList{QStringLiteral("mousemove"), QStringLiteral("--window"),
                                                 QStringLiteral("%w"), QStringLiteral("200"), QStringLiteral("220"),
                                                 QStringLiteral("click"), QStringLiteral("1")}
                                  << QStringLiteral("XQY|");
}

void TestX11Desktop::focusIsBroughtBackWithTheCaret()
{
    QFETCH(QString, program);
    QFETCH(QStringList, arguments);
    QFETCH(QString, title);
    QFETCH(QStringList, away);
    QFETCH(QString, expected);
    if (QStandardPaths::findExecutable(program).isEmpty() || QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
        QSKIP("the target program or xdotool is not installed");
    QTemporaryDir dir;
    const QString outFile = dir.filePath(QStringLiteral("out"));
    if (arguments.size() == 3)
        arguments[2] = outFile;
    QProcess target;
    target.setStandardOutputFile(outFile);
    struct Stop
    {
        QProcess &process;
        ~Stop()
        {
            process.kill();
            process.waitForFinished();
        }
    } stop{target};
    const quint64 window = openWindow(target, program, arguments, title);
    QVERIFY(window);
    xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), QString::number(window)});
    QTest::qWait(500);
    xdotool({QStringLiteral("type"), QStringLiteral("XY")});
    xdotool({QStringLiteral("key"), QStringLiteral("Left")});
    QTest::qWait(300);

    const ForeignFocus focus = m_desktop.foreignFocus();
    QCOMPARE(focus.window, window);
    QVERIFY(focus.accessible);
    QCOMPARE(focus.caretOffset, 1);
    QCOMPARE(focus.selectionStart, 1);
    QCOMPARE(focus.selectionEnd, 1);

    // The focus moves on to the field after it. Bringing it back must not
    // select the whole text (Q would replace it), must not leave it there
    // (Q would land in the second field), and must put the caret back
    // between X and Y.
    away.replaceInStrings(QStringLiteral("%w"), QString::number(window));
    xdotool(away);
    QTest::qWait(300);
    m_desktop.refocus(focus);
    QVERIFY(m_desktop.typeCharacter(U'Q'));
    QTest::qWait(300);
    if (program == QLatin1String("zenity")) {
        // On from the first field past the second and Cancel to OK.
        xdotool({QStringLiteral("key"), QStringLiteral("Tab"), QStringLiteral("Tab"), QStringLiteral("Tab"),
                 QStringLiteral("Return")});
        QVERIFY(target.waitForFinished(5000));
    }
    QFile out(outFile);
    QVERIFY(out.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(out.readAll()).trimmed(), expected);
}

void TestX11Desktop::deliveryFollowsTheFocus_data()
{
    QTest::addColumn<bool>("announced");
    // The window manager moves the focus and names the new active window; or
    // a program moves the focus itself and nothing is announced.
    QTest::newRow("window manager activates another window") << true;
    QTest::newRow("focus moved without announcement") << false;
}

void TestX11Desktop::deliveryFollowsTheFocus()
{
    QFETCH(bool, announced);
    QWidget first;
    QWidget second;
    first.setWindowTitle(QStringLiteral("First target"));
    second.setWindowTitle(QStringLiteral("Second target"));
    first.show();
    second.show();
    QVERIFY(QTest::qWaitForWindowExposed(&second));
    const quint64 a = first.winId();
    const quint64 b = second.winId();
    m_desktop.bringToFront(a);
    QTRY_COMPARE(m_desktop.activeWindow(), a);

    // Looked at once, then again for the next key: both times the keys may go.
    for (int key = 0; key < 2; ++key) {
        QVERIFY(m_desktop.beginDelivery(a));
        m_desktop.endDelivery();
    }
    if (announced) {
        m_desktop.bringToFront(b);
        QTRY_COMPARE(m_desktop.activeWindow(), b);
    } else {
        XSetInputFocus(display(), Window(b), RevertToParent, CurrentTime);
        XSync(display(), False);
    }
    QTest::qWait(100);
    // The next key must not go to the first window now.
    QVERIFY(!m_desktop.beginDelivery(a));
    QVERIFY(m_desktop.beginDelivery(b));
    m_desktop.endDelivery();
    m_desktop.bringToFront(a);
    QTRY_COMPARE(m_desktop.activeWindow(), a);
    QVERIFY(m_desktop.beginDelivery(a));
    m_desktop.endDelivery();
}

// A typing run holds the server across short bursts of keys: what is typed
// still arrives whole (keys given new symbols on the way included), and
// another client that moves the focus mid-run gets through, after which no
// key goes to the old window.
void TestX11Desktop::typingRunArrivesWholeAndLetsOthersIn()
{
    QLineEdit first;
    QLineEdit second;
    first.setWindowTitle(QStringLiteral("First field"));
    second.setWindowTitle(QStringLiteral("Second field"));
    first.show();
    second.show();
    QVERIFY(QTest::qWaitForWindowExposed(&second));
    const quint64 a = first.winId();
    const quint64 b = second.winId();
    m_desktop.bringToFront(a);
    QTRY_COMPARE(m_desktop.activeWindow(), a);

    const auto typeRun = [this](quint64 window, const QString &text, const std::function<void(int)> &beforeKey) {
        m_desktop.prepareTyping(text);
        int sent = 0;
        for (const char32_t c : text.toUcs4()) {
            beforeKey(sent);
            m_desktop.delay(1);
            if (!m_desktop.beginDelivery(window))
                break;
            m_desktop.typeCharacter(c);
            m_desktop.endDelivery();
            ++sent;
        }
        m_desktop.finishTyping();
        return sent;
    };

    const QString text = QStringLiteral("Held bursts: é€✓ and plain text after them, 0123456789 ÆØÅ→Ω.");
    QCOMPARE(typeRun(a, text, [](int) {}), int(text.toUcs4().size()));
    QTRY_COMPARE(first.text(), text);

    QProcess mover;
    const QString longText(2000, QLatin1Char('x'));
    const int sent = typeRun(a, longText, [&](int key) {
        if (key == 20)
            mover.start(QStringLiteral("xdotool"), {QStringLiteral("windowactivate"), QString::number(b)});
    });
    mover.waitForFinished();
    QVERIFY2(sent < longText.size(), "the focus never moved while the run went on");
    QCOMPARE(m_desktop.activeWindow(), b);
    QVERIFY(second.text().isEmpty());
}

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::puts("SKIP: no X display (run under tools/with-xserver)");
        return 77;
    }
    QApplication app(argc, argv);
    TestX11Desktop test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_x11desktop.moc"
