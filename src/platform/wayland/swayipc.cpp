#include "platform/wayland/swayipc.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLocalSocket>
#include <QtEndian>

#include <cstring>

namespace {

constexpr quint32 kRunCommand = 0;
constexpr quint32 kGetOutputs = 3;
constexpr quint32 kGetTree = 4;
constexpr quint32 kGetConfig = 9;
const QByteArray kMagic = QByteArrayLiteral("i3-ipc");
// A tree or an answer larger than this is no answer we can use.
constexpr quint32 kMaxAnswerBytes = 16 * 1024 * 1024;

bool readExactly(QLocalSocket &socket, char *into, qint64 size, const QElapsedTimer &clock, int timeoutMs)
{
    qint64 done = 0;
    while (done < size) {
        if (socket.bytesAvailable() == 0) {
            const int left = timeoutMs - int(clock.elapsed());
            if (left <= 0 || !socket.waitForReadyRead(left))
                return false;
        }
        const qint64 got = socket.read(into + done, size - done);
        if (got < 0)
            return false;
        done += got;
    }
    return true;
}

} // namespace

QString SwayIpc::socketPath()
{
    QString path = qEnvironmentVariable("SWAYSOCK");
    if (path.isEmpty())
        path = qEnvironmentVariable("I3SOCK");
    return path;
}

std::optional<QByteArray> SwayIpc::ask(quint32 type, const QByteArray &payload) const
{
    const QString path = socketPath();
    if (path.isEmpty())
        return std::nullopt;
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(kTimeoutMs))
        return std::nullopt;
    QElapsedTimer clock;
    clock.start();
    QByteArray message = kMagic;
    quint32 header[2] = {quint32(payload.size()), type};
    message.append(reinterpret_cast<const char *>(header), sizeof header);  // native order, as the protocol says
    message.append(payload);
    socket.write(message);
    if (!socket.waitForBytesWritten(kTimeoutMs))
        return std::nullopt;
    char head[14];
    if (!readExactly(socket, head, sizeof head, clock, kTimeoutMs) || QByteArray(head, 6) != kMagic)
        return std::nullopt;
    quint32 length = 0;
    std::memcpy(&length, head + 6, 4);
    if (length > kMaxAnswerBytes)
        return std::nullopt;
    QByteArray answer(qsizetype(length), Qt::Uninitialized);
    if (!readExactly(socket, answer.data(), length, clock, kTimeoutMs))
        return std::nullopt;
    return answer;
}

namespace {

bool isWindow(const QJsonObject &node)
{
    return node.contains(QStringLiteral("pid")) || node.contains(QStringLiteral("window"));
}

SwayIpc::Window windowFrom(const QJsonObject &node)
{
    SwayIpc::Window window;
    window.id = node.value(QStringLiteral("id")).toInteger();
    window.pid = quint32(node.value(QStringLiteral("pid")).toInteger());
    window.appId = node.value(QStringLiteral("app_id")).toString();
    window.title = node.value(QStringLiteral("name")).toString();
    const QJsonObject rect = node.value(QStringLiteral("rect")).toObject();
    const QJsonObject content = node.value(QStringLiteral("window_rect")).toObject();
    // The window's content sits inside its container, below the title bar
    // and inside the border.
    window.rect = QRect(rect.value(QStringLiteral("x")).toInt() + content.value(QStringLiteral("x")).toInt(),
                        rect.value(QStringLiteral("y")).toInt() + content.value(QStringLiteral("y")).toInt(),
                        content.value(QStringLiteral("width")).toInt(rect.value(QStringLiteral("width")).toInt()),
                        content.value(QStringLiteral("height")).toInt(rect.value(QStringLiteral("height")).toInt()));
    return window;
}

// Depth first through tiled and floating children alike, within a budget.
template<typename Visit>
void walk(const QJsonObject &tree, Visit visit)
{
    QList<QJsonObject> stack{tree};
    int visited = 0;
    while (!stack.isEmpty() && ++visited < 100000) {
        const QJsonObject node = stack.takeLast();
        if (!visit(node))
            return;
        for (const QString &key : {QStringLiteral("floating_nodes"), QStringLiteral("nodes")}) {
            const QJsonArray children = node.value(key).toArray();
            for (qsizetype i = children.size() - 1; i >= 0; --i)
                stack.append(children[i].toObject());
        }
    }
}

} // namespace

std::optional<SwayIpc::Window> SwayIpc::focusedIn(const QJsonObject &tree)
{
    std::optional<Window> found;
    walk(tree, [&found](const QJsonObject &node) {
        if (node.value(QStringLiteral("focused")).toBool() && isWindow(node))
            found = windowFrom(node);
        return !found;
    });
    return found;
}

QList<SwayIpc::Window> SwayIpc::windowsIn(const QJsonObject &tree)
{
    QList<Window> windows;
    walk(tree, [&windows](const QJsonObject &node) {
        if (isWindow(node))
            windows << windowFrom(node);
        return true;
    });
    return windows;
}

std::optional<SwayIpc::Window> SwayIpc::windowOf(quint32 pid, const QString &title) const
{
    const std::optional<QByteArray> answer = ask(kGetTree, {});
    if (!answer)
        return std::nullopt;
    std::optional<Window> newest;
    for (const Window &window : windowsIn(QJsonDocument::fromJson(*answer).object())) {
        if (window.pid == pid && window.title == title && (!newest || window.id > newest->id))
            newest = window;
    }
    return newest;
}

std::optional<SwayIpc::Window> SwayIpc::focusedWindow() const
{
    const std::optional<QByteArray> answer = ask(kGetTree, {});
    if (!answer)
        return std::nullopt;
    return focusedIn(QJsonDocument::fromJson(*answer).object());
}

QList<SwayIpc::Output> SwayIpc::outputs() const
{
    QList<Output> found;
    const std::optional<QByteArray> answer = ask(kGetOutputs, {});
    if (!answer)
        return found;
    for (const QJsonValue &value : QJsonDocument::fromJson(*answer).array()) {
        const QJsonObject output = value.toObject();
        if (!output.value(QStringLiteral("active")).toBool(true))
            continue;
        const QJsonObject rect = output.value(QStringLiteral("rect")).toObject();
        found.append({output.value(QStringLiteral("name")).toString(),
                      QRect(rect.value(QStringLiteral("x")).toInt(), rect.value(QStringLiteral("y")).toInt(),
                            rect.value(QStringLiteral("width")).toInt(), rect.value(QStringLiteral("height")).toInt()),
                      output.value(QStringLiteral("scale")).toDouble(1)});
    }
    return found;
}

bool SwayIpc::run(const QString &command) const
{
    const std::optional<QByteArray> answer = ask(kRunCommand, command.toUtf8());
    if (!answer)
        return false;
    const QJsonArray results = QJsonDocument::fromJson(*answer).array();
    if (results.isEmpty())
        return false;
    for (const QJsonValue &result : results) {
        if (!result.toObject().value(QStringLiteral("success")).toBool())
            return false;
    }
    return true;
}

QString SwayIpc::config() const
{
    const std::optional<QByteArray> answer = ask(kGetConfig, {});
    if (!answer)
        return {};
    return QJsonDocument::fromJson(*answer).object().value(QStringLiteral("config")).toString();
}

QStringList SwayIpc::bindingsCatchingPasteKeys(const QString &config)
{
    QStringList caught;
    for (const QString &rawLine : config.split(QLatin1Char('\n'))) {
        const QString line = rawLine.trimmed();
        const QStringList words = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (words.value(0) != QLatin1String("bindsym"))
            continue;
        qsizetype at = 1;
        bool byPosition = false;
        for (; at < words.size() && words.at(at).startsWith(QLatin1String("--")); ++at)
            byPosition = byPosition || words.at(at) == QLatin1String("--to-code");
        if (byPosition || at >= words.size())
            continue;
        const QStringList keys = words.at(at).toLower().split(QLatin1Char('+'));
        bool control = false;
        bool others = false;
        for (qsizetype i = 0; i + 1 < keys.size(); ++i) {
            if (keys.at(i) == QLatin1String("ctrl") || keys.at(i) == QLatin1String("control"))
                control = true;
            else if (keys.at(i) != QLatin1String("shift"))
                others = true;
        }
        if (control && !others && keys.last() == QLatin1String("v"))
            caught << line;
    }
    return caught;
}
