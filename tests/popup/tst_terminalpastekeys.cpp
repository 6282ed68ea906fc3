#include "popup/terminalpastekeys.h"

#include <QTest>

class TestTerminalPasteKeys : public QObject
{
    Q_OBJECT
private slots:
    void pasteKeyOfWindowClass_data();
    void pasteKeyOfWindowClass();
};

void TestTerminalPasteKeys::pasteKeyOfWindowClass_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<PasteKey>("key");
    // As the windows name themselves: instance first, then class.
    QTest::newRow("xterm") << QStringList{"xterm", "XTerm"} << PasteKey::None;
    QTest::newRow("uxterm") << QStringList{"uxterm", "UXTerm"} << PasteKey::None;
    QTest::newRow("urxvt") << QStringList{"urxvt", "URxvt"} << PasteKey::None;
    QTest::newRow("st") << QStringList{"st", "st-256color"} << PasteKey::None;
    QTest::newRow("xterm renamed by -name") << QStringList{"build-log", "XTerm"} << PasteKey::None;
    QTest::newRow("GNOME Terminal") << QStringList{"gnome-terminal-server", "Gnome-terminal"} << PasteKey::CtrlShiftV;
    QTest::newRow("Konsole") << QStringList{"konsole", "konsole"} << PasteKey::CtrlShiftV;
    QTest::newRow("xfce4-terminal") << QStringList{"xfce4-terminal", "Xfce4-terminal"} << PasteKey::CtrlShiftV;
    QTest::newRow("lxterminal") << QStringList{"lxterminal", "Lxterminal"} << PasteKey::CtrlShiftV;
    QTest::newRow("mate-terminal") << QStringList{"mate-terminal", "Mate-terminal"} << PasteKey::CtrlShiftV;
    QTest::newRow("kitty") << QStringList{"kitty", "kitty"} << PasteKey::CtrlShiftV;
    QTest::newRow("Alacritty") << QStringList{"Alacritty", "Alacritty"} << PasteKey::CtrlShiftV;
    QTest::newRow("foot") << QStringList{"foot", "foot"} << PasteKey::CtrlShiftV;
    QTest::newRow("Tilix") << QStringList{"tilix", "Tilix"} << PasteKey::CtrlShiftV;
    QTest::newRow("Terminator") << QStringList{"terminator", "Terminator"} << PasteKey::CtrlShiftV;
    QTest::newRow("terminology") << QStringList{"terminology", "terminology"} << PasteKey::CtrlShiftV;
    // Everything else keeps Ctrl+V, also names that merely contain a terminal's.
    QTest::newRow("text editor") << QStringList{"mousepad", "Mousepad"} << PasteKey::CtrlV;
    QTest::newRow("browser") << QStringList{"Navigator", "firefox-esr"} << PasteKey::CtrlV;
    QTest::newRow("name containing st") << QStringList{"stellarium", "Stellarium"} << PasteKey::CtrlV;
    QTest::newRow("name containing xterm") << QStringList{"xterm-settings", "Xtermsettings"} << PasteKey::CtrlV;
    QTest::newRow("no class at all") << QStringList{} << PasteKey::CtrlV;
    QTest::newRow("empty names") << QStringList{"", ""} << PasteKey::CtrlV;
}

void TestTerminalPasteKeys::pasteKeyOfWindowClass()
{
    QFETCH(QStringList, names);
    QFETCH(PasteKey, key);
    QCOMPARE(TerminalPasteKeys::forWindowClass(names), key);
}

QTEST_APPLESS_MAIN(TestTerminalPasteKeys)
#include "tst_terminalpastekeys.moc"
