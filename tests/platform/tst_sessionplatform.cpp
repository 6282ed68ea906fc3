// The window system the program starts with: the session's own, unless the
// command line or Qt's variable says otherwise, and a --platform option that
// never reaches Qt (which would take it for its own -platform).
#include "platform/sessionplatform.h"

#include <QTest>

#include <vector>

using SessionPlatform::Kind;

class TestSessionPlatform : public QObject
{
    Q_OBJECT
private slots:
    void choice_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("qtPlatform");
        QTest::addColumn<QString>("waylandDisplay");
        QTest::addColumn<bool>("wayland");
        QTest::addColumn<QString>("plugin");
        QTest::addColumn<bool>("error");

        QTest::newRow("an X11 session") << QStringList{} << "" << "" << false << "xcb" << false;
        QTest::newRow("a Wayland session") << QStringList{} << "" << "wayland-0" << true << "wayland" << false;
        QTest::newRow("forced X11 in a Wayland session (XWayland)")
            << QStringList{"--platform", "x11"} << "" << "wayland-0" << false << "xcb" << false;
        QTest::newRow("forced Wayland, the = form") << QStringList{"--platform=wayland"} << "" << "" << true
                                                     << "wayland" << false;
        QTest::newRow("the option wins over Qt's variable")
            << QStringList{"--platform", "wayland"} << "xcb" << "" << true << "wayland" << false;
        QTest::newRow("Qt's variable wins over the session") << QStringList{} << "xcb" << "wayland-0" << false
                                                             << "xcb" << false;
        QTest::newRow("Qt's fallback list: its first counts")
            << QStringList{} << "wayland;xcb" << "" << true << "wayland;xcb" << false;
        QTest::newRow("an unknown value is told, the session decides")
            << QStringList{"--platform", "mir"} << "" << "wayland-1" << true << "wayland" << true;
        QTest::newRow("a missing value is told") << QStringList{"--platform"} << "" << "" << false << "xcb" << true;
    }
    void choice()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, qtPlatform);
        QFETCH(QString, waylandDisplay);
        QFETCH(bool, wayland);
        QFETCH(QString, plugin);
        QFETCH(bool, error);
        const SessionPlatform::Choice choice = SessionPlatform::choose(arguments, {qtPlatform, waylandDisplay});
        QCOMPARE(choice.kind == Kind::Wayland, wayland);
        QCOMPARE(choice.qtPlatform, plugin);
        QCOMPARE(!choice.error.isEmpty(), error);
        QVERIFY(!choice.why.isEmpty());
    }

    void optionIsTakenOutOfTheArguments()
    {
        qunsetenv("WAYLAND_DISPLAY");
        qunsetenv("QT_QPA_PLATFORM");
        std::vector<QByteArray> words{"scrapkeeper", "--platform", "wayland", "popup", "--platform=x11", "-x"};
        std::vector<char *> argv;
        for (QByteArray &word : words)
            argv.push_back(word.data());
        argv.push_back(nullptr);
        int argc = int(words.size());
        const SessionPlatform::Choice choice = SessionPlatform::applyAtStart(argc, argv.data());
        QCOMPARE(argc, 3);
        QCOMPARE(QByteArray(argv[1]), QByteArray("popup"));
        QCOMPARE(QByteArray(argv[2]), QByteArray("-x"));
        QCOMPARE(argv[3], nullptr);
        QCOMPARE(choice.kind, Kind::X11);  // the last option counts
        QCOMPARE(qgetenv("QT_QPA_PLATFORM"), QByteArray("xcb"));
    }
};

QTEST_GUILESS_MAIN(TestSessionPlatform)
#include "tst_sessionplatform.moc"
