#include "app/commandserver.h"

#include <QFile>
#include <QLocalSocket>

#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr qint64 kReadChunk = 1024 * 1024;

// The user id of the process at the other end, or -1 when the system does not say.
qint64 peerUid(qintptr descriptor)
{
    ucred credentials{};
    socklen_t length = sizeof credentials;
    if (::getsockopt(int(descriptor), SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0
        || length != sizeof credentials)
        return -1;
    return credentials.uid;
}

} // namespace

// One client, from its request to the reply: reads within bounds and time,
// hands the request on once, keeps the client told that the command is still
// running, and writes the one reply.
class CommandConnection : public QObject
{
public:
    CommandConnection(QLocalSocket *socket, CommandServer &server)
        : QObject(&server), m_socket(socket), m_server(server), m_reader(CommandWire::MaxInputBytes)
    {
        socket->setParent(this);
        // Qt keeps no more than this unread: the bound holds before our reader sees the bytes.
        socket->setReadBufferSize(kReadChunk);
        m_deadline.setSingleShot(true);
        connect(&m_deadline, &QTimer::timeout, this, [this] {
            if (m_reader.state() == CommandWire::Reader::State::NeedMore)
                drop(QStringLiteral("the request did not arrive whole in time"));
            else
                finish();  // the client never took its reply
        });
        m_deadline.start(server.m_requestTimeoutMs);
        m_progress.setInterval(CommandServer::ProgressIntervalMs);
        connect(&m_progress, &QTimer::timeout, this, [this] { write(CommandWire::Reply::progress()); });
        connect(socket, &QLocalSocket::disconnected, this, &CommandConnection::finish);
    }

    void start()
    {
        connect(m_socket, &QLocalSocket::readyRead, this, &CommandConnection::readRequest);
        readRequest();
    }

    void answer(const CommandWire::Reply &reply)
    {
        if (m_answered)
            return;
        m_answered = true;
        m_progress.stop();
        write(reply);
        m_deadline.start(CommandServer::ReplyTimeoutMs);
        m_socket->disconnectFromServer();
    }

    void flush()
    {
        // With the event loop gone, an answered client is closing with its reply still to write.
        if (m_socket->state() == QLocalSocket::ClosingState)
            m_socket->waitForDisconnected(2000);
        else if (m_socket->state() == QLocalSocket::ConnectedState && m_socket->bytesToWrite() > 0)
            m_socket->waitForBytesWritten(2000);
    }

    void refuse(const QString &why)
    {
        emit m_server.connectionRefused(why);
        answer(CommandWire::Reply::refused(why));
    }

private:
    void readRequest()
    {
        if (m_reader.state() != CommandWire::Reader::State::NeedMore)
            return;
        // Never more than the message still lacks: what a client sends past
        // its request is not read at all.
        while (m_socket->bytesAvailable() > 0 && m_reader.state() == CommandWire::Reader::State::NeedMore) {
            m_pending += m_socket->read(std::min(kReadChunk, m_reader.wanted() - m_pending.size()));
            m_reader.feed(m_pending);
        }
        switch (m_reader.state()) {
        case CommandWire::Reader::State::NeedMore:
            return;
        case CommandWire::Reader::State::Broken:
            refuse(m_reader.problem());
            return;
        case CommandWire::Reader::State::Complete:
            break;
        }
        m_deadline.stop();
        QString problem;
        auto request = CommandWire::decodeRequest(m_reader.header(), m_reader.takePayload(), &problem);
        if (!request) {
            refuse(problem);
            return;
        }
        m_progress.start();
        m_server.dispatch(this, std::move(*request));
    }

    void write(const CommandWire::Reply &reply)
    {
        if (m_socket->state() == QLocalSocket::ConnectedState)
            m_socket->write(CommandWire::encode(reply));
    }

    void drop(const QString &why)
    {
        emit m_server.connectionRefused(why);
        finish();
    }

    void finish()
    {
        if (m_finished)
            return;
        m_finished = true;
        m_answered = true;
        m_progress.stop();
        m_deadline.stop();
        m_socket->abort();
        m_server.connectionFinished();
        deleteLater();
    }

    QLocalSocket *m_socket;
    CommandServer &m_server;
    CommandWire::Reader m_reader;
    QByteArray m_pending;  // the start of a length field
    QTimer m_deadline;
    QTimer m_progress;
    bool m_answered = false;
    bool m_finished = false;
};

CommandServer::CommandServer(const QString &socketPath, CommandHandler &handler, QObject *parent)
    : QObject(parent), m_path(socketPath), m_handler(handler), m_owner(::getuid())
{
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    // Connections past those served wait in the system's queue, not in memory of ours.
    m_server.setMaxPendingConnections(MaxConnections);
    connect(&m_server, &QLocalServer::newConnection, this, &CommandServer::acceptPending);
    m_watch.setInterval(2000);
    connect(&m_watch, &QTimer::timeout, this, [this] {
        // Qt closes a server whose accept failed (too many open files): it must not stay deaf.
        if (!m_server.isListening())
            listen();
    });
}

CommandServer::~CommandServer()
{
    m_server.close();
}

bool CommandServer::listen()
{
    if (m_server.isListening())
        return true;
    if (!m_server.listen(m_path)) {
        // A socket left by a program that died: ours now, as the lock is.
        if (m_server.serverError() == QAbstractSocket::AddressInUseError && QLocalServer::removeServer(m_path)
            && m_server.listen(m_path)) {
            m_watch.start();
            return true;
        }
        m_error = m_server.errorString();
        return false;
    }
    m_watch.start();
    return true;
}

void CommandServer::acceptPending()
{
    while (m_active < MaxConnections && m_server.hasPendingConnections()) {
        QLocalSocket *socket = m_server.nextPendingConnection();
        if (!socket)
            break;
        ++m_active;
        auto *connection = new CommandConnection(socket, *this);
        m_connections.append(connection);
        // Nothing of a stranger's is read.
        if (peerUid(socket->socketDescriptor()) != qint64(m_owner))
            connection->refuse(QStringLiteral("refused: the running program belongs to another user"));
        else
            connection->start();
    }
}

void CommandServer::connectionFinished()
{
    --m_active;
    m_connections.removeIf([](const QPointer<CommandConnection> &connection) { return !connection; });
    // A place is free: the next waiting client in, after this one is gone.
    QTimer::singleShot(0, this, &CommandServer::acceptPending);
}

void CommandServer::dispatch(CommandConnection *connection, CommandWire::Request request)
{
    const CommandLine::Parsed parsed = CommandLine::parse(request.args);
    if (!parsed.command) {
        connection->answer({CommandWire::UsageError, parsed.usageError, {}});
        return;
    }
    const QPointer<CommandConnection> alive(connection);
    m_handler.handle(*parsed.command, request, [alive](const CommandWire::Reply &reply) {
        if (alive)
            alive->answer(reply);
    });
}

void CommandServer::flush()
{
    for (const QPointer<CommandConnection> &connection : std::as_const(m_connections)) {
        if (connection)
            connection->flush();
    }
}
