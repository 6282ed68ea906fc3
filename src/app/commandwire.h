#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// The messages a command from the shell (`scrapkeeper list`, …) and the
// running program exchange over the local socket. Each message has the same
// two parts, both length-prefixed:
//
//   u32 big-endian N, N bytes: a JSON object (the header), N <= MaxHeaderBytes
//   u32 big-endian M, M bytes: raw payload
//
// A request's header is {"version": 1, "args": [strings], "cwd": string};
// its payload is the standard input the command reads (only `add` without a
// TEXT reads it; empty otherwise), at most MaxInputBytes.
//
// The program answers with zero or more progress messages, header
// {"working": true} and no payload, sent about once a second while a command
// runs (a paste typing a long text), then one reply: header
// {"exit": code, "error": text} and the standard output as payload.
//
// A header of another version, a length past its bound or a header that is
// not a JSON object is answered with exit code 1 and the connection closes.
namespace CommandWire {

constexpr int Version = 1;
constexpr quint32 MaxHeaderBytes = 4 * 1024 * 1024;     // the arguments (Linux allows about 2 MB)
constexpr quint32 MaxInputBytes = 16 * 1024 * 1024;     // standard input of `add`
constexpr quint32 MaxOutputBytes = 512 * 1024 * 1024;   // what a reply may print
constexpr int MaxInputMegabytes = int(MaxInputBytes / (1024 * 1024));

// Exit codes of a command.
enum ExitCode { Done = 0, Refused = 1, UsageError = 2, NotRunning = 3 };

struct Request
{
    QStringList args;  // the command and its arguments, without the program's name
    QString workingFolder;
    QByteArray input;
};

struct Reply
{
    int exitCode = Done;
    QString error;      // one line, without the "scrapkeeper: " prefix
    QByteArray output;  // standard output, as printed
    bool working = false;  // a progress message: the reply comes later

    static Reply done(QByteArray output = {}) { return {Done, {}, std::move(output)}; }
    static Reply refused(const QString &why) { return {Refused, why, {}}; }
    static Reply progress() { return {Done, {}, {}, true}; }
};

QByteArray encode(const Request &request);
QByteArray encode(const Reply &reply);

// Reads one message from the front of a buffer as bytes arrive. Each step
// says whether a whole message is there, more bytes are needed (and how many
// at most, so a reader never takes more than the bound), or the bytes break
// the format.
class Reader
{
public:
    explicit Reader(quint32 maxPayload) : m_maxPayload(maxPayload) {}

    enum class State { NeedMore, Complete, Broken };
    // Takes bytes; what follows a complete message is left in `bytes`.
    State feed(QByteArray &bytes);
    State state() const { return m_state; }
    // Why the message is broken, for the user.
    QString problem() const { return m_problem; }
    // What the reader still waits for at most: the reader takes no more.
    qint64 wanted() const;

    const QByteArray &header() const { return m_header; }
    const QByteArray &payload() const { return m_payload; }
    QByteArray takePayload() { return std::move(m_payload); }

private:
    State fail(const QString &why);

    enum class Part { HeaderLength, Header, PayloadLength, Payload };
    quint32 m_maxPayload;
    Part m_part = Part::HeaderLength;
    quint32 m_length = 0;
    QByteArray m_header;
    QByteArray m_payload;
    State m_state = State::NeedMore;
    QString m_problem;
};

// A request or a reply from a complete message; nullopt with `problem` set
// when the header is not what this version sends.
std::optional<Request> decodeRequest(const QByteArray &header, QByteArray payload, QString *problem);
std::optional<Reply> decodeReply(const QByteArray &header, QByteArray payload, QString *problem);

} // namespace CommandWire
