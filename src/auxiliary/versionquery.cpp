#include "auxiliary/versionquery.h"

#include <QNetworkProxy>
#include <QRegularExpression>
#include <QTcpSocket>

#include <algorithm>

VersionQuery::VersionQuery(QObject *parent)
    : QObject(parent)
{
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, [this] { finish(false); });
}

VersionQuery::~VersionQuery()
{
    if (m_socket) {
        m_socket->disconnect(this);
        m_socket->abort();
        delete m_socket;
    }
}

void VersionQuery::setServer(const QString &host, quint16 port)
{
    m_host = host;
    m_port = port;
}

void VersionQuery::setTimeLimit(int milliseconds)
{
    m_timeLimit = std::max(1, milliseconds);
}

void VersionQuery::setSizeLimit(qint64 bytes)
{
    m_sizeLimit = std::max<qint64>(1, bytes);
}

QByteArray VersionQuery::request(const QString &host, const QByteArray &body)
{
    QByteArray bytes;
    bytes += "POST " + kPath + " HTTP/1.0\r\n";
    bytes += "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*\r\n";
    bytes += "Content-Type: application/x-www-form-urlencoded\r\n";
    bytes += "User-Agent: Mozilla/3.0 (compatible)\r\n";
    bytes += "Host: " + host.toUtf8() + "\r\n";
    bytes += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    bytes += "\r\n";
    bytes += body;
    return bytes;
}

void VersionQuery::start(const QByteArray &body)
{
    if (isRunning())
        return;
    m_request = request(m_host, body);
    m_received.clear();
    m_bodyStart = -1;
    m_status = 0;
    m_contentLength = -1;

    m_socket = new QTcpSocket(this);
    m_socket->setProxy(QNetworkProxy::NoProxy);
    // The socket buffers no more than the answer may hold.
    m_socket->setReadBufferSize(m_sizeLimit + 1);
    connect(m_socket, &QTcpSocket::connected, this, [this] { m_socket->write(m_request); });
    connect(m_socket, &QTcpSocket::readyRead, this, &VersionQuery::readAvailable);
    connect(m_socket, &QTcpSocket::disconnected, this, &VersionQuery::serverClosed);
    connect(m_socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
        if (error == QAbstractSocket::RemoteHostClosedError)
            serverClosed();
        else
            finish(false);
    });
    m_deadline.start(m_timeLimit);
    m_socket->connectToHost(m_host, m_port);
}

void VersionQuery::abort()
{
    if (isRunning())
        finish(false);
}

void VersionQuery::readAvailable()
{
    while (m_socket && m_socket->bytesAvailable() > 0) {
        const qint64 room = m_sizeLimit - m_received.size();
        m_received += m_socket->read(std::min(m_socket->bytesAvailable(), room + 1));
        if (m_received.size() > m_sizeLimit) {
            finish(false);
            return;
        }
        if (!readHead())
            return;
        // A server that says how long its answer is may keep the line open after it.
        if (m_contentLength >= 0 && m_received.size() - m_bodyStart >= m_contentLength) {
            complete();
            return;
        }
    }
}

// Reads the status line and the header lines once they are all there; false
// when the answer is not HTTP (the exchange has then ended).
bool VersionQuery::readHead()
{
    if (m_bodyStart >= 0)
        return true;
    qsizetype end = m_received.indexOf("\r\n\r\n");
    qsizetype separator = 4;
    const qsizetype bareEnd = m_received.indexOf("\n\n");
    if (bareEnd >= 0 && (end < 0 || bareEnd < end)) {
        end = bareEnd;
        separator = 2;
    }
    if (end < 0)
        return true;
    const QList<QByteArray> lines = m_received.left(end).split('\n');
    static const QRegularExpression statusLine(QStringLiteral("^HTTP/\\d+\\.\\d+ +(\\d{3})(\\s|$)"));
    const auto status = statusLine.match(QString::fromLatin1(lines.first().trimmed()));
    if (!status.hasMatch()) {
        finish(false);
        return false;
    }
    m_status = status.captured(1).toInt();
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines.at(i).trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().compare("Content-Length", Qt::CaseInsensitive) == 0) {
            bool ok = false;
            const qint64 length = line.mid(colon + 1).trimmed().toLongLong(&ok);
            if (ok && length >= 0)
                m_contentLength = length;
        }
    }
    m_bodyStart = end + separator;
    return true;
}

void VersionQuery::serverClosed()
{
    if (!isRunning())
        return;
    if (m_socket->bytesAvailable() > 0) {
        readAvailable();
        if (!isRunning())
            return;
    }
    complete();
}

void VersionQuery::complete()
{
    if (!isRunning())
        return;
    if (!readHead() || m_bodyStart < 0) {
        finish(false);
        return;
    }
    QByteArray body = m_received.mid(m_bodyStart);
    // A body shorter than announced was cut off on the way.
    if (m_contentLength >= 0) {
        if (body.size() < m_contentLength) {
            finish(false);
            return;
        }
        body.truncate(m_contentLength);
    }
    // Redirects are not followed: their body is not the server's answer.
    finish(m_status >= 200 && m_status < 300, body);
}

void VersionQuery::finish(bool ok, const QByteArray &body)
{
    if (!isRunning())
        return;
    m_deadline.stop();
    QTcpSocket *socket = m_socket;
    m_socket = nullptr;
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
    m_received.clear();
    emit finished(ok, ok ? body : QByteArray());
}
