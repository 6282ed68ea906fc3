#include "app/helpaddress.h"
#include "helpforwarding.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestHelpAddress : public QObject
{
    Q_OBJECT

private slots:
    void topicsOpenThroughAForwardingPage_data();
    void topicsOpenThroughAForwardingPage();
    void noTopicOpensThePageItself();
    void unwritableFolderFallsBackToTheAnchor();
};

void TestHelpAddress::topicsOpenThroughAForwardingPage_data()
{
    QTest::addColumn<QString>("topic");
    QTest::addColumn<QString>("fileName");
    QTest::newRow("plain") << "List_Setup_Tab" << "List_Setup_Tab.html";
    QTest::newRow("space") << "Quick Add" << "Quick_Add.html";
    QTest::newRow("path characters") << "../../x/y" << "______x_y.html";
    QTest::newRow("markup") << "a\"><script>" << "a___script_.html";
}

void TestHelpAddress::topicsOpenThroughAForwardingPage()
{
    QFETCH(QString, topic);
    QFETCH(QString, fileName);
    QTemporaryDir home;
    const QString folder = home.filePath(QStringLiteral("cache/help"));
    const QString help = QStringLiteral("/usr/share/scrapkeeper/help/index.html");

    const QUrl opened = HelpAddress::forTopic(help, topic, folder);
    QVERIFY(opened.isLocalFile());
    QCOMPARE(opened.toLocalFile(), folder + QLatin1Char('/') + fileName);
    const QUrl target = helpForwardingTarget(opened);
    QCOMPARE(target.toLocalFile(), help);
    QCOMPARE(target.fragment(), topic);

    // Opened again (another page's help), the page is rewritten, not added to.
    QCOMPARE(HelpAddress::forTopic(help, topic, folder), opened);
    QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 1);
}

void TestHelpAddress::noTopicOpensThePageItself()
{
    QTemporaryDir home;
    const QString folder = home.filePath(QStringLiteral("help"));
    QCOMPARE(HelpAddress::forTopic(QStringLiteral("/h/index.html"), QString(), folder),
             QUrl::fromLocalFile(QStringLiteral("/h/index.html")));
    QVERIFY(!QFileInfo::exists(folder));
}

void TestHelpAddress::unwritableFolderFallsBackToTheAnchor()
{
    QTemporaryDir home;
    const QString blocker = home.filePath(QStringLiteral("file"));
    QFile(blocker).open(QIODevice::WriteOnly);
    for (const QString &folder : {QString(), blocker + QStringLiteral("/help")}) {
        const QUrl opened = HelpAddress::forTopic(QStringLiteral("/h/index.html"), QStringLiteral("Edit_More"), folder);
        QCOMPARE(opened.toLocalFile(), QStringLiteral("/h/index.html"));
        QCOMPARE(opened.fragment(), QStringLiteral("Edit_More"));
    }
}

QTEST_GUILESS_MAIN(TestHelpAddress)
#include "tst_helpaddress.moc"
