// What sway's answers mean to the program: which key bindings of a sway
// configuration would catch the Ctrl+V the program pastes with.
#include "platform/wayland/swayipc.h"

#include <QTest>

class TestSwayIpc : public QObject
{
    Q_OBJECT
private slots:
    void bindingsCatchingPasteKeys_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("catches");
        QTest::newRow("the hotkey by symbol") << "bindsym Ctrl+v exec scrapkeeper popup" << true;
        QTest::newRow("indented, other spelling") << "    bindsym --no-repeat Control+V exec x" << true;
        QTest::newRow("terminal paste key") << "bindsym Ctrl+Shift+v exec x" << true;
        QTest::newRow("by key position") << "bindsym --to-code Ctrl+v exec scrapkeeper popup" << false;
        QTest::newRow("flags before --to-code") << "bindsym --release --to-code Ctrl+v exec x" << false;
        QTest::newRow("another modifier") << "bindsym Mod4+v exec scrapkeeper popup" << false;
        QTest::newRow("Ctrl with Alt") << "bindsym Ctrl+Alt+v exec x" << false;
        QTest::newRow("another key") << "bindsym Ctrl+c exec x" << false;
        QTest::newRow("V alone") << "bindsym v exec x" << false;
        QTest::newRow("a comment") << "# bindsym Ctrl+v exec scrapkeeper popup" << false;
        QTest::newRow("by key code") << "bindcode Ctrl+55 exec x" << false;
    }

    void bindingsCatchingPasteKeys()
    {
        QFETCH(QString, line);
        QFETCH(bool, catches);
        const QString config = QStringLiteral("set $mod Mod4\n%1\nbindsym $mod+Return exec foot\n").arg(line);
        const QStringList caught = SwayIpc::bindingsCatchingPasteKeys(config);
        QCOMPARE(caught, catches ? QStringList{line.trimmed()} : QStringList{});
    }
};

QTEST_GUILESS_MAIN(TestSwayIpc)
#include "tst_swayipc.moc"
