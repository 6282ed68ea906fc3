// The X11 desktop's keyboard side on a real X server: modifiers the user
// holds, and typing in the layout group the user has switched to.
#include "platform/x11desktop.h"

#include <QApplication>
#include <QLineEdit>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <cstdio>

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
