#include "app/commandclient.h"

#include "app/commandline.h"
#include "app/commandwire.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QIODevice>
#include <QLocalSocket>
#include <QLockFile>
#include <QThread>
#include <QTimer>

#include <cerrno>
#include <csignal>

namespace {

void say(QIODevice &error, const QString &line)
{
    error.write((QStringLiteral("scrapkeeper: ") + line + QLatin1Char('\n')).toUtf8());
}

// Waits, with the event loop running, until `done` or the time is up.
bool waitFor(const std::function<bool()> &done, int milliseconds, QLocalSocket &socket)
{
    QEventLoop loop;
    QTimer timeout;
    timeout.setSingleShot(true);
    QObject::connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
    const auto check = [&] {
        if (done())
            loop.quit();
    };
    QObject::connect(&socket, &QLocalSocket::connected, &loop, check);
    QObject::connect(&socket, &QLocalSocket::readyRead, &loop, check);
    QObject::connect(&socket, &QLocalSocket::errorOccurred, &loop, &QEventLoop::quit);
    QObject::connect(&socket, &QLocalSocket::disconnected, &loop, &QEventLoop::quit);
    if (done())
        return true;
    timeout.start(milliseconds);
    loop.exec();
    return done();
}

} // namespace

CommandClient::CommandClient(const QString &socketPath, const QString &lockFile)
    : m_socketPath(socketPath), m_lockFile(lockFile)
{
}

bool CommandClient::instanceHoldsLock() const
{
    QLockFile lock(m_lockFile);
    qint64 pid = 0;
    QString host;
    QString application;
    if (!lock.getLockInfo(&pid, &host, &application) || pid <= 0)
        return false;
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
}

int CommandClient::run(const QStringList &args, QIODevice *input, QIODevice &output, QIODevice &error)
{
    const CommandLine::Parsed parsed = CommandLine::parse(args);
    if (!parsed.command) {
        say(error, parsed.usageError);
        error.write(CommandLine::usage().toUtf8());
        return CommandWire::UsageError;
    }
    const Command &command = *parsed.command;
    if (command.verb == Command::Verb::Help) {
        output.write(CommandLine::help().toUtf8());
        return CommandWire::Done;
    }
    if (command.verb == Command::Verb::Version) {
        output.write(CommandLine::version().toUtf8());
        return CommandWire::Done;
    }

    CommandWire::Request request{args, QDir::currentPath(), {}};
    if (command.readsInput() && input) {
        // One byte past the bound tells a larger input; the rest is never read.
        // A pipe gives its bytes in pieces: read until its end.
        const qint64 bound = qint64(CommandWire::MaxInputBytes) + 1;
        while (request.input.size() < bound) {
            const QByteArray piece = input->read(bound - request.input.size());
            if (piece.isEmpty())
                break;
            request.input += piece;
        }
        if (request.input.size() > qsizetype(CommandWire::MaxInputBytes)) {
            say(error, QStringLiteral("standard input is larger than %1 MB; nothing was added")
                           .arg(CommandWire::MaxInputMegabytes));
            return CommandWire::Refused;
        }
    }

    QLocalSocket socket;
    QElapsedTimer sinceStart;
    sinceStart.start();
    for (;;) {
        socket.connectToServer(m_socketPath);
        waitFor([&] { return socket.state() != QLocalSocket::ConnectingState; }, 2000, socket);
        if (socket.state() == QLocalSocket::ConnectedState)
            break;
        socket.abort();
        // A program holding the lock is starting (or cannot listen): wait for it a little.
        const bool holder = instanceHoldsLock();
        if (!holder) {
            say(error, QStringLiteral("not running"));
            return CommandWire::NotRunning;
        }
        if (sinceStart.elapsed() >= StartWaitMs) {
            say(error, QStringLiteral("the running program does not answer on %1").arg(m_socketPath));
            return CommandWire::Refused;
        }
        QThread::msleep(100);
    }

    socket.write(CommandWire::encode(request));
    QByteArray received;
    for (;;) {
        CommandWire::Reader reader(CommandWire::MaxOutputBytes);
        const auto complete = [&] {
            received += socket.readAll();
            return reader.feed(received) != CommandWire::Reader::State::NeedMore;
        };
        if (!waitFor(complete, m_answerTimeoutMs, socket)) {
            if (socket.state() != QLocalSocket::ConnectedState)
                say(error, QStringLiteral("the running program ended the connection without an answer"));
            else
                say(error, QStringLiteral("the running program did not answer within %1 seconds")
                               .arg(m_answerTimeoutMs / 1000));
            return CommandWire::Refused;
        }
        QString problem;
        const auto reply = reader.state() == CommandWire::Reader::State::Complete
                               ? CommandWire::decodeReply(reader.header(), reader.takePayload(), &problem)
                               : std::nullopt;
        if (!reply) {
            say(error, reader.state() == CommandWire::Reader::State::Broken ? reader.problem() : problem);
            return CommandWire::Refused;
        }
        if (reply->working)
            continue;  // still at work: the wait starts again
        output.write(reply->output);
        if (!reply->error.isEmpty())
            say(error, reply->error);
        if (reply->exitCode == CommandWire::UsageError)
            error.write(CommandLine::usage().toUtf8());
        return reply->exitCode;
    }
}
