#include "auxiliary/newversioncheck.h"
#include "auxiliary/newversionwindow.h"
#include "auxiliary/weblink.h"
#include "doubles/fakedesktop.h"
#include "doubles/scriptedmessageboxes.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTextEdit>

#include "scriptedhttpserver.h"

namespace {

constexpr int kWait = 5000;
const QUrl kHomePage(QStringLiteral("http://home.example/"));
const QString kFailed =
    QStringLiteral("Error, could not complete action!  Check your Internet connection or try again later.");

QString lines(int count)
{
    QStringList all;
    for (int i = 1; i <= count; ++i)
        all << QStringLiteral("line %1").arg(i);
    return all.join(QStringLiteral("\r\n"));
}

// A check window asking the test's own server.
struct Check
{
    explicit Check(quint16 port, int timeLimit = 5000)
        : check(boxes, desktop)
    {
        VersionCheckServer target;
        target.host = QStringLiteral("127.0.0.1");
        target.port = port;
        target.homePage = kHomePage;
        target.timeLimit = timeLimit;
        check.setServer(target);
    }

    NewVersionWindow *open()
    {
        if (!check.open())
            return nullptr;
        return check.window();
    }
    // Opens the window and waits for the check to end.
    NewVersionWindow *run()
    {
        NewVersionWindow *window = open();
        if (!window)
            return nullptr;
        QSignalSpy ended(window, &NewVersionWindow::checkEnded);
        if (!ended.wait(kWait))
            return nullptr;
        return window;
    }

    QString memo() const { return control<QTextEdit>("msgmemo")->toPlainText(); }
    template<typename T>
    T *control(const char *name) const
    {
        return check.window() ? check.window()->findChild<T *>(QLatin1String(name)) : nullptr;
    }
    QPushButton *button(const char *name) const { return control<QPushButton>(name); }

    FakeDesktop desktop;
    ScriptedMessageBoxes boxes;
    NewVersionCheck check;
};

} // namespace

class TestNewVersionWindow : public QObject
{
    Q_OBJECT
private slots:
    void whileChecking();
    void answers_data();
    void answers();
    void refusedConnection();
    void cancelEndsTheCheck();
    void timeLimitEndsTheCheck();
    void tooLargeAnswerEndsBounded();
    void browseToOpensTheDownload_data();
    void browseToOpensTheDownload();
    void linkOpensTheHomePage_data();
    void linkOpensTheHomePage();
    void linkTurnsRedWhilePressed();
    void secondCheckWhileOpenDoesNothing();
    void leftOnlyThroughOk();
};

void TestNewVersionWindow::whileChecking()
{
    ScriptedHttpServer server;
    server.stayQuiet();
    Check f(server.port());
    NewVersionWindow *window = f.open();
    QVERIFY(window);
    QCOMPARE(window->windowTitle(), QStringLiteral("Your current version is 2.3"));
    QVERIFY(window->isVisible());
    QVERIFY(window->windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(!(window->windowFlags() & Qt::WindowCloseButtonHint));
    QVERIFY(!(window->windowFlags() & Qt::WindowSystemMenuHint));
    // The usual size, widened only as far as the home page's address needs.
    QVERIFY(window->width() >= 349 && window->height() >= 204);
    auto *link = f.control<QLabel>("url");
    QVERIFY(link->width() >= link->fontMetrics().horizontalAdvance(link->text()));
    for (const char *name : {"cancelbtn", "OKbtn"}) {
        auto *button = f.button(name);
        QVERIFY(button->width() >= button->fontMetrics().horizontalAdvance(button->text()));
    }
    const QRect screen = window->screen()->geometry();
    QCOMPARE(window->pos(), QPoint(screen.x() + screen.width() / 2 - window->width() / 2,
                                   screen.y() + screen.height() / 2 - window->height() / 2));
    auto *memo = f.control<QTextEdit>("msgmemo");
    QVERIFY(memo && memo->isReadOnly());
    QCOMPARE(memo->lineWrapMode(), QTextEdit::WidgetWidth);
    QCOMPARE(memo->toPlainText(), QStringLiteral("Checking..."));
    QCOMPARE(f.button("cancelbtn")->text(), QStringLiteral("Cancel"));
    QVERIFY(f.button("cancelbtn")->isVisible());
    QCOMPARE(f.button("gobtn")->text(), QStringLiteral("Browse to"));
    QVERIFY(!f.button("gobtn")->isVisible());
    QCOMPARE(f.button("OKbtn")->text(), QStringLiteral("OK"));
    QVERIFY(!f.button("OKbtn")->isEnabled());
    QVERIFY(f.control<QLabel>("Label1"));
    QCOMPARE(f.control<WebLink>("url")->text(), kHomePage.toString());
    // Modeless while it asks: the rest of the program stays usable.
    QVERIFY(!window->isModal());
    QTRY_COMPARE_WITH_TIMEOUT(server.request, VersionQuery::request(QStringLiteral("127.0.0.1"), "2.3"), kWait);
}

void TestNewVersionWindow::answers_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QUrl>("download");

    const QString longLine = QStringLiteral("A new version of the program is ready, with many changes that this long "
                                            "line tells about in some detail.");
    QTest::newRow("three lines") << ScriptedHttpServer::ok(lines(3).toLatin1()) << lines(3).replace(u'\r', QString())
                                 << QUrl();
    QTest::newRow("seven lines") << ScriptedHttpServer::ok(lines(6).toLatin1() + "\r\nhttp://dl.example/sk.tar.gz\r\n")
                                 << lines(6).replace(u'\r', QString()) << QUrl(QStringLiteral("http://dl.example/sk.tar.gz"));
    QTest::newRow("long lines wrap past five")
        << ScriptedHttpServer::ok((longLine + u'\n' + longLine + u'\r' + longLine + "\nhttps://dl.example/").toUtf8())
        << longLine + u'\n' + longLine + u'\n' + longLine << QUrl(QStringLiteral("https://dl.example/"));
    QTest::newRow("404") << QByteArray("HTTP/1.0 404 Not Found\r\n\r\n") << kFailed << QUrl();
    QTest::newRow("hostile last line is no address")
        << ScriptedHttpServer::ok(lines(6).toLatin1() + "\r\nfile:///etc/passwd")
        << lines(6).replace(u'\r', QString()) + QStringLiteral("\nfile:///etc/passwd") << QUrl();
}

void TestNewVersionWindow::answers()
{
    QFETCH(QByteArray, reply);
    QFETCH(QString, shown);
    QFETCH(QUrl, download);
    ScriptedHttpServer server;
    server.answerWith(reply);
    Check f(server.port());
    NewVersionWindow *window = f.run();
    QVERIFY(window);
    QCOMPARE(server.request, VersionQuery::request(QStringLiteral("127.0.0.1"), "2.3"));
    QCOMPARE(f.memo(), shown);
    QCOMPARE(window->downloadAddress(), download);
    QCOMPARE(f.button("gobtn")->isVisible(), !download.isEmpty());
    QVERIFY(!f.button("cancelbtn")->isVisible());
    QVERIFY(f.button("OKbtn")->isEnabled());
    // The user now reads the outcome in a modal window.
    QVERIFY(window->isVisible());
    QVERIFY(window->isModal());
    QVERIFY(f.boxes.shown().isEmpty());
}

void TestNewVersionWindow::refusedConnection()
{
    Check f(ScriptedHttpServer::closedPort());
    QVERIFY(f.run());
    QCOMPARE(f.memo(), kFailed);
    QVERIFY(f.button("OKbtn")->isEnabled());
    QVERIFY(!f.button("gobtn")->isVisible());
}

void TestNewVersionWindow::cancelEndsTheCheck()
{
    ScriptedHttpServer server;
    server.stayQuiet();
    Check f(server.port());
    NewVersionWindow *window = f.open();
    QVERIFY(window);
    QTRY_VERIFY_WITH_TIMEOUT(!server.request.isEmpty(), kWait);
    QSignalSpy ended(window, &NewVersionWindow::checkEnded);
    QTest::mouseClick(f.button("cancelbtn"), Qt::LeftButton);
    QCOMPARE(ended.size(), 1);
    QCOMPARE(ended.first().first().toBool(), false);
    QCOMPARE(f.memo(), kFailed);
    QVERIFY(!f.button("cancelbtn")->isVisible());
    QVERIFY(f.button("OKbtn")->isEnabled());
    QVERIFY(!window->isChecking());
    QTRY_VERIFY_WITH_TIMEOUT(server.clientGone, kWait);
}

void TestNewVersionWindow::timeLimitEndsTheCheck()
{
    ScriptedHttpServer server;
    server.stayQuiet();
    Check f(server.port(), 300);
    QVERIFY(f.run());
    QCOMPARE(f.memo(), kFailed);
    QVERIFY(f.button("OKbtn")->isEnabled());
}

void TestNewVersionWindow::tooLargeAnswerEndsBounded()
{
    ScriptedHttpServer server;
    const qint64 tenMegabytes = 10 * 1024 * 1024;
    server.flood(tenMegabytes);
    Check f(server.port());
    QVERIFY(f.run());
    QCOMPARE(f.memo(), kFailed);
    QTRY_VERIFY_WITH_TIMEOUT(server.clientGone, kWait);
    QVERIFY(server.floodSent < tenMegabytes);
}

void TestNewVersionWindow::browseToOpensTheDownload_data()
{
    QTest::addColumn<bool>("browserStarts");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("browser starts") << true << QStringList();
    QTest::newRow("browser fails") << false << QStringList{QStringLiteral("Error launching web browser.")};
}

void TestNewVersionWindow::browseToOpensTheDownload()
{
    QFETCH(bool, browserStarts);
    QFETCH(QStringList, messages);
    ScriptedHttpServer server;
    server.answerWith(ScriptedHttpServer::ok(lines(6).toLatin1() + "\r\nhttp://dl.example/sk.tar.gz"));
    Check f(server.port());
    f.desktop.openSucceeds = browserStarts;
    QVERIFY(f.run());
    QTest::mouseClick(f.button("gobtn"), Qt::LeftButton);
    QCOMPARE(f.desktop.opened, QList<QUrl>{QUrl(QStringLiteral("http://dl.example/sk.tar.gz"))});
    QCOMPARE(f.boxes.texts(), messages);
    QVERIFY(f.check.window());
}

void TestNewVersionWindow::linkOpensTheHomePage_data()
{
    QTest::addColumn<bool>("browserStarts");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("browser starts") << true << QStringList();
    QTest::newRow("browser fails") << false << QStringList{QStringLiteral("Error launching default browser")};
}

void TestNewVersionWindow::linkOpensTheHomePage()
{
    QFETCH(bool, browserStarts);
    QFETCH(QStringList, messages);
    ScriptedHttpServer server;
    server.stayQuiet();
    Check f(server.port());
    f.desktop.openSucceeds = browserStarts;
    QVERIFY(f.open());
    QTest::mouseClick(f.control<WebLink>("url"), Qt::LeftButton);
    QCOMPARE(f.desktop.opened, QList<QUrl>{kHomePage});
    QCOMPARE(f.boxes.texts(), messages);
}

void TestNewVersionWindow::linkTurnsRedWhilePressed()
{
    WebLink link(kHomePage.toString());
    link.resize(200, 20);
    QCOMPARE(link.palette().color(QPalette::WindowText), QColor(Qt::blue));
    QVERIFY(link.font().underline());
    QCOMPARE(link.cursor().shape(), Qt::PointingHandCursor);
    QSignalSpy clicked(&link, &WebLink::clicked);
    QTest::mousePress(&link, Qt::LeftButton);
    QCOMPARE(link.palette().color(QPalette::WindowText), QColor(Qt::red));
    QTest::mouseRelease(&link, Qt::LeftButton);
    QCOMPARE(link.palette().color(QPalette::WindowText), QColor(Qt::blue));
    QCOMPARE(clicked.size(), 1);
    // Let go outside the link: no click.
    QTest::mousePress(&link, Qt::LeftButton);
    QTest::mouseRelease(&link, Qt::LeftButton, {}, QPoint(500, 500));
    QCOMPARE(clicked.size(), 1);
    QCOMPARE(link.palette().color(QPalette::WindowText), QColor(Qt::blue));
}

void TestNewVersionWindow::secondCheckWhileOpenDoesNothing()
{
    ScriptedHttpServer server;
    server.answerWith(ScriptedHttpServer::ok("You have the newest version."));
    Check f(server.port());
    NewVersionWindow *first = f.run();
    QVERIFY(first);
    QVERIFY(!f.check.open());
    QCOMPARE(f.check.window(), first);
    QTest::qWait(100);
    QCOMPARE(server.connections, 1);
    int windows = 0;
    for (QWidget *widget : QApplication::topLevelWidgets())
        windows += qobject_cast<NewVersionWindow *>(widget) != nullptr;
    QCOMPARE(windows, 1);
}

void TestNewVersionWindow::leftOnlyThroughOk()
{
    ScriptedHttpServer server;
    server.answerWith(ScriptedHttpServer::ok("You have the newest version."));
    Check f(server.port());
    NewVersionWindow *window = f.run();
    QVERIFY(window);
    QSignalSpy hidden(&f.check, &NewVersionCheck::windowHidden);
    QSignalSpy closed(&f.check, &NewVersionCheck::windowClosed);
    QTest::keyClick(window, Qt::Key_Escape);
    QVERIFY(!window->close());
    QVERIFY(window->isVisible());
    QCOMPARE(closed.size(), 0);

    QTest::mouseClick(f.button("OKbtn"), Qt::LeftButton);
    QCOMPARE(hidden.size(), 1);
    QTRY_COMPARE_WITH_TIMEOUT(closed.size(), 1, kWait);
    QVERIFY(!f.check.window());
    // Another check may start now.
    server.answerWith(ScriptedHttpServer::ok("again"));
    QVERIFY(f.check.open());
}

QTEST_MAIN(TestNewVersionWindow)
#include "tst_newversionwindow.moc"
