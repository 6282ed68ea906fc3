#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

class QTcpSocket;

// One question to the maker's web server: the program's version goes out in a
// single HTTP/1.0 POST and the server's answer comes back through finished().
// The request is written by hand over a plain socket, because the server is
// owed exactly these header lines in exactly this order. Everything is
// bounded: the whole exchange must end within the time limit, and an answer
// larger than the size limit is a failure (a cut answer would lose its last
// line, which is the download address).
class VersionQuery : public QObject
{
    Q_OBJECT
public:
    static constexpr int kDefaultTimeLimit = 15000;         // milliseconds, connecting included
    static constexpr qint64 kDefaultSizeLimit = 64 * 1024;  // bytes of answer, header lines included
    static inline const QByteArray kPath = "/cgi-bin/newver";

    explicit VersionQuery(QObject *parent = nullptr);
    ~VersionQuery() override;

    void setServer(const QString &host, quint16 port);
    void setTimeLimit(int milliseconds);
    void setSizeLimit(qint64 bytes);

    // The exact bytes sent for a body.
    static QByteArray request(const QString &host, const QByteArray &body);

    // Sends the body; finished() follows once, whatever happens.
    void start(const QByteArray &body);
    // Stops a running exchange; it ends as a failure.
    void abort();
    bool isRunning() const { return m_socket != nullptr; }

signals:
    void finished(bool ok, const QByteArray &body);

private:
    void readAvailable();
    void serverClosed();
    void complete();
    bool readHead();
    void finish(bool ok, const QByteArray &body = {});

    QString m_host;
    quint16 m_port = 80;
    int m_timeLimit = kDefaultTimeLimit;
    qint64 m_sizeLimit = kDefaultSizeLimit;

    QTcpSocket *m_socket = nullptr;
    QTimer m_deadline;
    QByteArray m_request;
    QByteArray m_received;
    qsizetype m_bodyStart = -1;  // where the body starts in m_received, once the head is read
    int m_status = 0;
    qint64 m_contentLength = -1;
};
