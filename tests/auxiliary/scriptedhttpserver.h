#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

// A web server inside a test, on 127.0.0.1 and a port of its own: it records
// the request bytes it receives and, once the request is whole (its head and
// Content-Length bytes of body), answers as it was told.
class ScriptedHttpServer : public QObject
{
public:
    enum class Mode { Answer, Silent, Flood };

    ScriptedHttpServer()
    {
        m_server.listen(QHostAddress::LocalHost);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection()) {
                ++connections;
                m_socket = socket;
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { received(socket); });
                connect(socket, &QTcpSocket::disconnected, this, [this] { clientGone = true; });
            }
        });
    }

    quint16 port() const { return m_server.serverPort(); }

    // Answers with these bytes and closes the connection.
    void answerWith(const QByteArray &reply)
    {
        m_mode = Mode::Answer;
        m_reply = reply;
    }
    // Takes the request and never answers.
    void stayQuiet() { m_mode = Mode::Silent; }
    // Answers 200 and streams this many bytes of body, as fast as the client reads.
    void flood(qint64 bytes)
    {
        m_mode = Mode::Flood;
        m_floodLeft = bytes;
    }

    // A port on which nobody listens.
    static quint16 closedPort()
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost);
        return probe.serverPort();
    }

    static QByteArray ok(const QByteArray &body) { return "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n" + body; }

    QByteArray request;
    int connections = 0;
    qint64 floodSent = 0;
    bool clientGone = false;

private:
    void received(QTcpSocket *socket)
    {
        request += socket->readAll();
        const qsizetype headEnd = request.indexOf("\r\n\r\n");
        if (m_answered || headEnd < 0)
            return;
        qint64 length = 0;
        for (const QByteArray &line : request.left(headEnd).split('\n')) {
            if (line.startsWith("Content-Length:"))
                length = line.mid(15).trimmed().toLongLong();
        }
        if (request.size() - (headEnd + 4) < length)
            return;
        m_answered = true;
        switch (m_mode) {
        case Mode::Answer:
            socket->write(m_reply);
            socket->disconnectFromHost();
            break;
        case Mode::Silent:
            break;
        case Mode::Flood:
            socket->write(ok({}));
            connect(socket, &QTcpSocket::bytesWritten, this, [this, socket] { pour(socket); });
            pour(socket);
            break;
        }
    }

    void pour(QTcpSocket *socket)
    {
        // Keeps a little ahead of the client and no more.
        if (m_floodLeft <= 0 || socket->bytesToWrite() > 256 * 1024 || socket->state() != QAbstractSocket::ConnectedState)
            return;
        const qint64 chunk = std::min<qint64>(m_floodLeft, 64 * 1024);
        socket->write(QByteArray(chunk, 'x'));
        m_floodLeft -= chunk;
        floodSent += chunk;
    }

    QTcpServer m_server;
    QPointer<QTcpSocket> m_socket;
    Mode m_mode = Mode::Answer;
    QByteArray m_reply;
    qint64 m_floodLeft = 0;
    bool m_answered = false;
};
