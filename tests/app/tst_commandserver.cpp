#include "app/commandclient.h"
#include "app/commandserver.h"

#include <QBuffer>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QtEndian>

#include <memory>

#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Answers each command with what the test sets, and remembers what came.
class RecordingHandler : public CommandHandler
{
public:
    void handle(const Command &command, const CommandWire::Request &request, Answer answer) override
    {
        commands << command;
        requests << request;
        if (laterMs >= 0) {
            QTimer::singleShot(laterMs, [answer, reply = reply] { answer(reply); });
            return;
        }
        answer(reply);
    }

    CommandWire::Reply reply = CommandWire::Reply::done("out\n");
    int laterMs = -1;
    QList<Command> commands;
    QList<CommandWire::Request> requests;
};

QByteArray bigEndian(quint32 value)
{
    QByteArray bytes(4, 0);
    qToBigEndian(value, bytes.data());
    return bytes;
}

// Reads one reply (skipping progress) from a raw socket, or nullopt when none comes.
std::optional<CommandWire::Reply> replyOn(QLocalSocket &socket, int waitMs = 5000)
{
    CommandWire::Reader reader(CommandWire::MaxOutputBytes);
    QByteArray pending;
    QDeadlineTimer deadline(waitMs);
    while (!deadline.hasExpired()) {
        pending += socket.readAll();
        if (reader.feed(pending) == CommandWire::Reader::State::Complete) {
            QString problem;
            auto reply = CommandWire::decodeReply(reader.header(), reader.takePayload(), &problem);
            if (reply && reply->working) {
                reader = CommandWire::Reader(CommandWire::MaxOutputBytes);
                continue;
            }
            return reply;
        }
        if (socket.state() != QLocalSocket::ConnectedState && socket.bytesAvailable() == 0)
            return std::nullopt;
        QTest::qWait(5);
    }
    return std::nullopt;
}

} // namespace

class TestCommandServer : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void clientForwardsAndPrints();
    void clientAnswersAlone_data();
    void clientAnswersAlone();
    void socketIsTheOwnersAlone();
    void strangerIsRefusedUnread();
    void anotherUsersProcessIsRefused();
    void brokenRequestsAreRefused_data();
    void brokenRequestsAreRefused();
    void silentAndHalfClientsAreDropped_data();
    void silentAndHalfClientsAreDropped();
    void aLongCommandKeepsItsClientWaiting();
    void manyClientsAtOnceAreAllServed();
    void aSocketLeftByADeadProgramIsTakenOver();

private:
    int runClient(const QStringList &args, const QByteArray &input = {});

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<RecordingHandler> m_handler;
    std::unique_ptr<CommandServer> m_server;
    QByteArray m_out;
    QByteArray m_err;
};

void TestCommandServer::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_handler = std::make_unique<RecordingHandler>();
    m_server = std::make_unique<CommandServer>(m_dir->filePath(QStringLiteral("s.socket")), *m_handler);
    QVERIFY2(m_server->listen(), qPrintable(m_server->errorString()));
}

void TestCommandServer::cleanup()
{
    m_server.reset();
    m_handler.reset();
    m_dir.reset();
}

int TestCommandServer::runClient(const QStringList &args, const QByteArray &input)
{
    CommandClient client(m_dir->filePath(QStringLiteral("s.socket")), m_dir->filePath(QStringLiteral("lock")));
    QBuffer in;
    in.setData(input);
    in.open(QIODevice::ReadOnly);
    m_out.clear();
    m_err.clear();
    QBuffer out(&m_out);
    QBuffer err(&m_err);
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    return client.run(args, &in, out, err);
}

void TestCommandServer::clientForwardsAndPrints()
{
    m_handler->reply = {CommandWire::Refused, QStringLiteral("no category named \"X\""), "partial\n"};
    QCOMPARE(runClient({"add", "--category", "X"}, QByteArray("piped\ntext")), 1);
    QCOMPARE(m_out, QByteArray("partial\n"));
    QCOMPARE(m_err, QByteArray("scrapkeeper: no category named \"X\"\n"));
    QCOMPARE(m_handler->commands.size(), 1);
    QCOMPARE(m_handler->commands.first().verb, Command::Verb::Add);
    QCOMPARE(*m_handler->commands.first().category, QStringLiteral("X"));
    QCOMPARE(m_handler->requests.first().input, QByteArray("piped\ntext"));
    QCOMPARE(m_handler->requests.first().workingFolder, QDir::currentPath());

    // Standard input is read only by the command that takes it.
    m_handler->reply = CommandWire::Reply::done("1\thello\n");
    QCOMPARE(runClient({"list"}, QByteArray("not for list")), 0);
    QCOMPARE(m_out, QByteArray("1\thello\n"));
    QVERIFY(m_err.isEmpty());
    QVERIFY(m_handler->requests.last().input.isEmpty());
}

void TestCommandServer::clientAnswersAlone_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<bool>("running");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<QByteArray>("err");
    QTest::newRow("help") << QStringList{"--help"} << QByteArray() << true << 0 << QByteArray("scrapkeeper popup")
                          << QByteArray();
    QTest::newRow("version") << QStringList{"--version"} << QByteArray() << false << 0
                             << QByteArray("scrapkeeper 2.3\n") << QByteArray();
    QTest::newRow("usage error") << QStringList{"read"} << QByteArray() << true << 2 << QByteArray()
                                 << QByteArray("scrapkeeper: read needs an item number\nUsage:");
    QTest::newRow("not running") << QStringList{"list"} << QByteArray() << false << 3 << QByteArray()
                                 << QByteArray("scrapkeeper: not running\n");
    QTest::newRow("input past 16 MB")
        << QStringList{"add"} << QByteArray(CommandWire::MaxInputBytes + 1, 'x') << true << 1 << QByteArray()
        << QByteArray("scrapkeeper: standard input is larger than 16 MB; nothing was added\n");
}

void TestCommandServer::clientAnswersAlone()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, input);
    QFETCH(bool, running);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, out);
    QFETCH(QByteArray, err);
    if (!running)
        m_server.reset();
    QCOMPARE(runClient(args, input), exitCode);
    QVERIFY2(m_out.contains(out), m_out.constData());
    QVERIFY2(out.isEmpty() ? m_out.isEmpty() : true, m_out.constData());
    QVERIFY2(m_err.startsWith(err), m_err.constData());
    QVERIFY(m_handler->commands.isEmpty());
}

void TestCommandServer::socketIsTheOwnersAlone()
{
    const QFileInfo socket(m_server->socketPath());
    QVERIFY(socket.exists());
    QVERIFY(!(socket.permissions() & (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther)));
}

void TestCommandServer::strangerIsRefusedUnread()
{
    QSignalSpy refused(m_server.get(), &CommandServer::connectionRefused);
    m_server->setOwner(::getuid() + 1);
    QCOMPARE(runClient({"quit"}), 1);
    QCOMPARE(m_err, QByteArray("scrapkeeper: refused: the running program belongs to another user\n"));
    QVERIFY(m_handler->commands.isEmpty());
    QCOMPARE(refused.size(), 1);
}

void TestCommandServer::anotherUsersProcessIsRefused()
{
    if (::getuid() != 0)
        QSKIP("needs root to run a process as another user");
    // The folder keeps strangers out already; opened up, the peer check still does.
    QFile::setPermissions(m_dir->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ExeOther
                                             | QFile::ReadOther | QFile::ExeGroup | QFile::ReadGroup);
    ::chmod(QFile::encodeName(m_server->socketPath()).constData(), 0777);
    QSignalSpy refused(m_server.get(), &CommandServer::connectionRefused);
    const QByteArray path = QFile::encodeName(m_server->socketPath());
    const QByteArray request = CommandWire::encode(CommandWire::Request{{QStringLiteral("quit")}, {}, {}});
    const pid_t child = ::fork();
    if (child == 0) {
        // nobody: connects, asks, and exits 0 only when refused.
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(10);
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        qstrncpy(address.sun_path, path.constData(), sizeof address.sun_path);
        if (::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0)
            ::_exit(11);
        if (::write(fd, request.constData(), size_t(request.size())) != ssize_t(request.size()))
            ::_exit(12);
        QByteArray reply;
        char buffer[4096];
        for (ssize_t got; (got = ::read(fd, buffer, sizeof buffer)) > 0;)
            reply.append(buffer, got);
        ::_exit(reply.contains("belongs to another user") ? 0 : 13);
    }
    QVERIFY(child > 0);
    int status = -1;
    QDeadlineTimer deadline(10000);
    while (::waitpid(child, &status, WNOHANG) == 0 && !deadline.hasExpired())
        QTest::qWait(10);
    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status), 0);
    QCOMPARE(refused.size(), 1);
    QVERIFY(m_handler->commands.isEmpty());
}

void TestCommandServer::brokenRequestsAreRefused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("says");
    QTest::newRow("header past its bound") << bigEndian(CommandWire::MaxHeaderBytes + 1) << "not understood";
    QTest::newRow("100 MB announced on standard input")
        << bigEndian(31) + R"({"version":1,"args":["add"]}   )" + bigEndian(100 * 1024 * 1024) << "larger than 16 MB";
    QTest::newRow("not JSON") << bigEndian(3) + QByteArray("\0\1\2", 3) + bigEndian(0) << "not understood";
    QTest::newRow("another version") << bigEndian(29) + R"({"version":9,"args":["list"]})" + bigEndian(0)
                                     << "version 1";
    QTest::newRow("a usage error from another client")
        << bigEndian(33) + R"({"version":1,"args":["read","0"]})" + bigEndian(0) << "start at 1";
}

void TestCommandServer::brokenRequestsAreRefused()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, says);
    QLocalSocket socket;
    socket.connectToServer(m_server->socketPath());
    QVERIFY(socket.waitForConnected(2000));
    socket.write(bytes);
    const auto reply = replyOn(socket);
    QVERIFY(reply);
    QVERIFY(reply->exitCode == CommandWire::Refused || reply->exitCode == CommandWire::UsageError);
    QVERIFY2(reply->error.contains(says), qPrintable(reply->error));
    QVERIFY(m_handler->commands.isEmpty());
    QTRY_COMPARE(socket.state(), QLocalSocket::UnconnectedState);
    QTRY_COMPARE(m_server->activeConnections(), 0);
}

void TestCommandServer::silentAndHalfClientsAreDropped_data()
{
    QTest::addColumn<QByteArray>("sent");
    QTest::newRow("nothing") << QByteArray();
    QTest::newRow("half a length") << QByteArray("\0\0", 2);
    QTest::newRow("half a header") << bigEndian(29) + QByteArray(R"({"version":1,)");
    QTest::newRow("half the input") << bigEndian(28) + R"({"version":1,"args":["add"]})" + bigEndian(10) + "abc";
}

void TestCommandServer::silentAndHalfClientsAreDropped()
{
    QFETCH(QByteArray, sent);
    m_server->setRequestTimeout(300);
    QSignalSpy refused(m_server.get(), &CommandServer::connectionRefused);
    QLocalSocket socket;
    socket.connectToServer(m_server->socketPath());
    QVERIFY(socket.waitForConnected(2000));
    socket.write(sent);
    socket.flush();
    QTRY_COMPARE(socket.state(), QLocalSocket::UnconnectedState);
    QCOMPARE(refused.size(), 1);
    QVERIFY(refused.first().first().toString().contains(QLatin1String("did not arrive whole")));
    QVERIFY(m_handler->commands.isEmpty());
    // The program goes on serving.
    QCOMPARE(runClient({"list"}), 0);
    QCOMPARE(m_handler->commands.size(), 1);
}

void TestCommandServer::aLongCommandKeepsItsClientWaiting()
{
    // The client gives up after silence, not after a command that takes
    // long (a paste typing a long text): the server says it is at work.
    m_handler->laterMs = 4 * CommandServer::ProgressIntervalMs + 500;
    CommandClient client(m_server->socketPath(), m_dir->filePath(QStringLiteral("lock")));
    client.setAnswerTimeout(3 * CommandServer::ProgressIntervalMs);
    QBuffer out(&m_out);
    QBuffer err(&m_err);
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    QCOMPARE(client.run({"paste", "1"}, nullptr, out, err), 0);
    QCOMPARE(m_out, QByteArray("out\n"));
}

void TestCommandServer::manyClientsAtOnceAreAllServed()
{
    // Both ends of every connection live in this process.
    rlimit files{};
    ::getrlimit(RLIMIT_NOFILE, &files);
    files.rlim_cur = std::min<rlim_t>(files.rlim_max, 4096);
    ::setrlimit(RLIMIT_NOFILE, &files);
    const int clients = files.rlim_cur >= 2500 ? 1000 : int(files.rlim_cur / 3);

    // Plain sockets, as separate processes would hold them: a client the
    // full queue turns away (EAGAIN) tries again, as the shell's command does.
    QSignalSpy refused(m_server.get(), &CommandServer::connectionRefused);
    const QByteArray request = CommandWire::encode(CommandWire::Request{{QStringLiteral("categories")}, {}, {}});
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    qstrncpy(address.sun_path, QFile::encodeName(m_server->socketPath()).constData(), sizeof address.sun_path);
    struct Client
    {
        int fd = -1;
        bool connected = false;
        QByteArray received;
        bool answered = false;
    };
    std::vector<Client> all(static_cast<size_t>(clients));
    int answered = 0;
    int mostAtOnce = 0;
    QDeadlineTimer deadline(120000);
    while (answered < clients && !deadline.hasExpired()) {
        for (Client &client : all) {
            if (client.answered)
                continue;
            if (!client.connected) {
                if (client.fd < 0)
                    client.fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
                if (::connect(client.fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0) {
                    client.connected = true;
                    QCOMPARE(::write(client.fd, request.constData(), size_t(request.size())), ssize_t(request.size()));
                } else {
                    QVERIFY2(errno == EAGAIN, strerror(errno));
                }
                continue;
            }
            char buffer[4096];
            const ssize_t got = ::read(client.fd, buffer, sizeof buffer);
            if (got > 0)
                client.received.append(buffer, got);
            CommandWire::Reader reader(CommandWire::MaxOutputBytes);
            QByteArray bytes = client.received;
            if (got == 0 || reader.feed(bytes) == CommandWire::Reader::State::Complete) {
                QString problem;
                const auto reply = CommandWire::decodeReply(reader.header(), reader.takePayload(), &problem);
                QVERIFY2(reply && reply->exitCode == 0, qPrintable(problem));
                client.answered = true;
                ::close(client.fd);
                ++answered;
            }
        }
        mostAtOnce = std::max(mostAtOnce, m_server->activeConnections());
        QTest::qWait(1);
    }
    QCOMPARE(answered, clients);
    QCOMPARE(m_handler->commands.size(), clients);
    QCOMPARE(refused.size(), 0);
    QVERIFY(mostAtOnce <= CommandServer::MaxConnections);
}

void TestCommandServer::aSocketLeftByADeadProgramIsTakenOver()
{
    const QString path = m_server->socketPath();
    m_server.reset();
    // The program that made it died without removing it: the file stays, nobody listens.
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    qstrncpy(address.sun_path, QFile::encodeName(path).constData(), sizeof address.sun_path);
    QCOMPARE(::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
    ::close(fd);
    QVERIFY(QFileInfo::exists(path));
    QCOMPARE(runClient({"list"}), 3);

    m_server = std::make_unique<CommandServer>(path, *m_handler);
    QVERIFY2(m_server->listen(), qPrintable(m_server->errorString()));
    QCOMPARE(runClient({"list"}), 0);
}

QTEST_GUILESS_MAIN(TestCommandServer)
#include "tst_commandserver.moc"
