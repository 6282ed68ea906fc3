// The baseline of a shell command's round trip: a process of its own that
// connects to a local socket, sends a few bytes, and reads back as many
// bytes as the command's answer holds, from a server that does nothing else.
//   bench_socket_echo serve PATH        echoes: reads a 4-byte count, answers that many bytes
//   bench_socket_echo send PATH BYTES   one round trip, then exits
#include <QCoreApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <QtEndian>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() >= 3 && args.at(1) == QLatin1String("serve")) {
        QLocalServer server;
        QLocalServer::removeServer(args.at(2));
        if (!server.listen(args.at(2)))
            return 1;
        QObject::connect(&server, &QLocalServer::newConnection, [&server] {
            QLocalSocket *socket = server.nextPendingConnection();
            QObject::connect(socket, &QLocalSocket::readyRead, socket, [socket] {
                if (socket->bytesAvailable() < 4)
                    return;
                char count[4];
                socket->read(count, 4);
                socket->write(QByteArray(qFromBigEndian<quint32>(count), 'x'));
                socket->disconnectFromServer();
            });
            QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        });
        return app.exec();
    }
    if (args.size() >= 4 && args.at(1) == QLatin1String("send")) {
        QLocalSocket socket;
        socket.connectToServer(args.at(2));
        if (!socket.waitForConnected(5000))
            return 1;
        char count[4];
        qToBigEndian(args.at(3).toUInt(), count);
        socket.write(count, 4);
        qint64 received = 0;
        while (received < args.at(3).toLongLong() && socket.waitForReadyRead(5000))
            received += socket.readAll().size();
        return received == args.at(3).toLongLong() ? 0 : 1;
    }
    std::fprintf(stderr, "usage: bench_socket_echo serve PATH | send PATH BYTES\n");
    return 2;
}
