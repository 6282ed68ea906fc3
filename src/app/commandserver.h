#pragma once

#include "app/commandline.h"
#include "app/commandwire.h"

#include <QLocalServer>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>

#include <sys/types.h>

// Carries out the commands the server receives.
class CommandHandler
{
public:
    virtual ~CommandHandler() = default;
    using Answer = std::function<void(const CommandWire::Reply &reply)>;
    // Answers through `answer`, at once or later from the event loop, once.
    // A command whose client has gone meanwhile is answered into nothing.
    virtual void handle(const Command &command, const CommandWire::Request &request, Answer answer) = 0;
};

class CommandConnection;

// The running program's end of the local socket the shell's commands come
// through. Only the user who runs the program may talk to it: the socket
// lives in the user's private runtime folder, is created for the owner
// alone, and each peer's user id is checked. Everything a peer sends is
// bounded: a request past its sizes is refused, one that does not arrive
// whole within the request time is dropped, and only so many clients are
// served at a time (the rest wait in the socket's queue).
class CommandServer : public QObject
{
    Q_OBJECT
public:
    static constexpr int MaxConnections = 32;
    static constexpr int RequestTimeoutMs = 10000;
    static constexpr int ProgressIntervalMs = 1000;
    // A client that does not take its reply is let go after this.
    static constexpr int ReplyTimeoutMs = 30000;

    CommandServer(const QString &socketPath, CommandHandler &handler, QObject *parent = nullptr);
    ~CommandServer() override;

    // Listens on the socket, taking over one left by a program that died
    // (only the holder of the single-instance lock may call this).
    bool listen();
    bool isListening() const { return m_server.isListening(); }
    QString errorString() const { return m_error; }
    QString socketPath() const { return m_path; }

    // Writes the replies given so far, for when the event loop has ended.
    void flush();

    int activeConnections() const { return m_active; }
    // The user allowed to connect; tests set another to see a stranger refused.
    void setOwner(uid_t uid) { m_owner = uid; }
    void setRequestTimeout(int milliseconds) { m_requestTimeoutMs = milliseconds; }

signals:
    // A connection was refused or dropped, and why (for tests and the log).
    void connectionRefused(const QString &why);

private:
    friend class CommandConnection;
    void acceptPending();
    void connectionFinished();
    void dispatch(CommandConnection *connection, CommandWire::Request request);

    QString m_path;
    CommandHandler &m_handler;
    QLocalServer m_server;
    QTimer m_watch;  // a server the system closed listens again
    QString m_error;
    uid_t m_owner;
    int m_requestTimeoutMs = RequestTimeoutMs;
    int m_active = 0;
    QList<QPointer<CommandConnection>> m_connections;
};
