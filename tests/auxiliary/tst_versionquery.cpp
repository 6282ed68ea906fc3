#include "auxiliary/versionquery.h"

#include <QSignalSpy>
#include <QTest>

#include "scriptedhttpserver.h"

namespace {

// The request the server is owed, byte for byte.
const QByteArray kExpectedRequest = "POST /cgi-bin/newver HTTP/1.0\r\n"
                                    "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*\r\n"
                                    "Content-Type: application/x-www-form-urlencoded\r\n"
                                    "User-Agent: Mozilla/3.0 (compatible)\r\n"
                                    "Host: 127.0.0.1\r\n"
                                    "Content-Length: 3\r\n"
                                    "\r\n"
                                    "2.3";

constexpr int kWait = 5000;

} // namespace

class TestVersionQuery : public QObject
{
    Q_OBJECT
private slots:
    void sendsTheExactRequest();
    void answers_data();
    void answers();
    void refusedConnectionFails();
    void unknownHostFails();
    void silentServerEndsAtTheTimeLimit();
    void abortEndsAsFailure();
    void endlessAnswerEndsBounded();
};

// Runs one exchange against the server and waits for its end.
static QList<QVariant> exchange(VersionQuery &query, quint16 port, const QString &host = QStringLiteral("127.0.0.1"))
{
    QSignalSpy finished(&query, &VersionQuery::finished);
    query.setServer(host, port);
    query.start("2.3");
    if (!finished.wait(kWait) || finished.size() != 1)
        return {};
    // The end is told once only.
    QTest::qWait(50);
    return finished.size() == 1 ? finished.first() : QList<QVariant>();
}

void TestVersionQuery::sendsTheExactRequest()
{
    ScriptedHttpServer server;
    server.answerWith(ScriptedHttpServer::ok("fine"));
    VersionQuery query;
    const QList<QVariant> end = exchange(query, server.port());
    QCOMPARE(end.size(), 2);
    QCOMPARE(server.request, kExpectedRequest);
    QCOMPARE(VersionQuery::request(QStringLiteral("127.0.0.1"), "2.3"), kExpectedRequest);
    QCOMPARE(server.connections, 1);
}

void TestVersionQuery::answers_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QByteArray>("body");

    QTest::newRow("200, read to the close") << ScriptedHttpServer::ok("line 1\r\nline 2\r\n") << true
                                            << QByteArray("line 1\r\nline 2\r\n");
    QTest::newRow("200, empty body") << ScriptedHttpServer::ok({}) << true << QByteArray();
    QTest::newRow("201 is a success") << QByteArray("HTTP/1.1 201 Created\r\n\r\nnew") << true << QByteArray("new");
    QTest::newRow("head with bare line feeds") << QByteArray("HTTP/1.0 200 OK\nServer: x\n\nbody") << true
                                               << QByteArray("body");
    QTest::newRow("Content-Length keeps only what it announces")
        << QByteArray("HTTP/1.0 200 OK\r\ncontent-length: 4\r\n\r\nbodyextra") << true << QByteArray("body");
    QTest::newRow("body shorter than announced") << QByteArray("HTTP/1.0 200 OK\r\nContent-Length: 40\r\n\r\nbody")
                                                 << false << QByteArray();
    QTest::newRow("404") << QByteArray("HTTP/1.0 404 Not Found\r\n\r\nno such script") << false << QByteArray();
    QTest::newRow("400") << QByteArray("HTTP/1.0 400 Bad Request\r\n\r\n") << false << QByteArray();
    QTest::newRow("500") << QByteArray("HTTP/1.0 500 Internal Server Error\r\n\r\noops") << false << QByteArray();
    QTest::newRow("redirect is not followed") << QByteArray("HTTP/1.0 302 Found\r\nLocation: http://x/\r\n\r\nmoved")
                                              << false << QByteArray();
    QTest::newRow("not HTTP") << QByteArray("SSH-2.0-OpenSSH\r\n\r\n") << false << QByteArray();
    QTest::newRow("closed before the head ends") << QByteArray("HTTP/1.0 200 OK\r\nServer: x\r\n") << false
                                                 << QByteArray();
    QTest::newRow("closed without a word") << QByteArray() << false << QByteArray();
}

void TestVersionQuery::answers()
{
    QFETCH(QByteArray, reply);
    QFETCH(bool, ok);
    QFETCH(QByteArray, body);
    ScriptedHttpServer server;
    server.answerWith(reply);
    VersionQuery query;
    const QList<QVariant> end = exchange(query, server.port());
    QCOMPARE(end.size(), 2);
    QCOMPARE(end.at(0).toBool(), ok);
    QCOMPARE(end.at(1).toByteArray(), body);
    QVERIFY(!query.isRunning());
}

void TestVersionQuery::refusedConnectionFails()
{
    VersionQuery query;
    const QList<QVariant> end = exchange(query, ScriptedHttpServer::closedPort());
    QCOMPARE(end.size(), 2);
    QCOMPARE(end.at(0).toBool(), false);
}

void TestVersionQuery::unknownHostFails()
{
    VersionQuery query;
    // Ends one way or the other within the limit, whatever the resolver does.
    query.setTimeLimit(2000);
    const QList<QVariant> end = exchange(query, 80, QStringLiteral("no-such-host.invalid"));
    QCOMPARE(end.size(), 2);
    QCOMPARE(end.at(0).toBool(), false);
}

void TestVersionQuery::silentServerEndsAtTheTimeLimit()
{
    ScriptedHttpServer server;
    server.stayQuiet();
    VersionQuery query;
    query.setTimeLimit(300);
    const QList<QVariant> end = exchange(query, server.port());
    QCOMPARE(end.size(), 2);
    QCOMPARE(end.at(0).toBool(), false);
    QCOMPARE(server.request, kExpectedRequest);
    QTRY_VERIFY_WITH_TIMEOUT(server.clientGone, kWait);
}

void TestVersionQuery::abortEndsAsFailure()
{
    ScriptedHttpServer server;
    server.stayQuiet();
    VersionQuery query;
    QSignalSpy finished(&query, &VersionQuery::finished);
    query.setServer(QStringLiteral("127.0.0.1"), server.port());
    query.start("2.3");
    QTRY_COMPARE_WITH_TIMEOUT(server.request, kExpectedRequest, kWait);
    query.abort();
    QCOMPARE(finished.size(), 1);
    QCOMPARE(finished.first().at(0).toBool(), false);
    QVERIFY(!query.isRunning());
    query.abort();
    QTest::qWait(50);
    QCOMPARE(finished.size(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(server.clientGone, kWait);
}

void TestVersionQuery::endlessAnswerEndsBounded()
{
    ScriptedHttpServer server;
    const qint64 tenMegabytes = 10 * 1024 * 1024;
    server.flood(tenMegabytes);
    VersionQuery query;
    const QList<QVariant> end = exchange(query, server.port());
    QCOMPARE(end.size(), 2);
    QCOMPARE(end.at(0).toBool(), false);
    QVERIFY(end.at(1).toByteArray().isEmpty());
    // The client hung up long before the server was done.
    QTRY_VERIFY_WITH_TIMEOUT(server.clientGone, kWait);
    QVERIFY2(server.floodSent < tenMegabytes, QByteArray::number(server.floodSent));
}

QTEST_GUILESS_MAIN(TestVersionQuery)
#include "tst_versionquery.moc"
