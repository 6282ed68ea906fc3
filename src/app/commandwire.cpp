#include "app/commandwire.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtEndian>

namespace CommandWire {

namespace {

void appendPart(QByteArray &message, const QByteArray &part)
{
    char length[4];
    qToBigEndian(quint32(part.size()), length);
    message.append(length, 4);
    message.append(part);
}

QByteArray message(const QJsonObject &header, const QByteArray &payload)
{
    QByteArray bytes;
    const QByteArray json = QJsonDocument(header).toJson(QJsonDocument::Compact);
    bytes.reserve(8 + json.size() + payload.size());
    appendPart(bytes, json);
    appendPart(bytes, payload);
    return bytes;
}

std::optional<QJsonObject> headerObject(const QByteArray &header, QString *problem)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(header, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        *problem = QStringLiteral("the message is not understood");
        return std::nullopt;
    }
    return document.object();
}

} // namespace

QByteArray encode(const Request &request)
{
    QJsonObject header{{QStringLiteral("version"), Version},
                       {QStringLiteral("args"), QJsonArray::fromStringList(request.args)},
                       {QStringLiteral("cwd"), request.workingFolder}};
    return message(header, request.input);
}

QByteArray encode(const Reply &reply)
{
    if (reply.working)
        return message({{QStringLiteral("working"), true}}, {});
    return message({{QStringLiteral("exit"), reply.exitCode}, {QStringLiteral("error"), reply.error}}, reply.output);
}

Reader::State Reader::fail(const QString &why)
{
    m_problem = why;
    return m_state = State::Broken;
}

qint64 Reader::wanted() const
{
    switch (m_part) {
    case Part::HeaderLength:
    case Part::PayloadLength:
        return 4;
    case Part::Header:
        return m_length - m_header.size();
    case Part::Payload:
        return m_length - m_payload.size();
    }
    return 0;
}

Reader::State Reader::feed(QByteArray &bytes)
{
    while (m_state == State::NeedMore && !bytes.isEmpty()) {
        if (m_part == Part::HeaderLength || m_part == Part::PayloadLength) {
            if (bytes.size() < 4)
                return m_state;
            m_length = qFromBigEndian<quint32>(bytes.constData());
            bytes.remove(0, 4);
            if (m_part == Part::HeaderLength) {
                if (m_length == 0 || m_length > MaxHeaderBytes)
                    return fail(QStringLiteral("the message is not understood"));
                m_header.reserve(m_length);
                m_part = Part::Header;
            } else {
                if (m_length > m_maxPayload)
                    return fail(QStringLiteral("standard input is larger than %1 MB; nothing was done")
                                    .arg(m_maxPayload / (1024 * 1024)));
                m_payload.reserve(m_length);
                m_part = Part::Payload;
                if (m_length == 0)
                    return m_state = State::Complete;
            }
            continue;
        }
        QByteArray &part = m_part == Part::Header ? m_header : m_payload;
        const qsizetype take = std::min<qsizetype>(bytes.size(), m_length - part.size());
        part.append(bytes.constData(), take);
        bytes.remove(0, take);
        if (part.size() < qsizetype(m_length))
            return m_state;
        if (m_part == Part::Header)
            m_part = Part::PayloadLength;
        else
            return m_state = State::Complete;
    }
    return m_state;
}

std::optional<Request> decodeRequest(const QByteArray &header, QByteArray payload, QString *problem)
{
    const auto object = headerObject(header, problem);
    if (!object)
        return std::nullopt;
    const int version = object->value(QStringLiteral("version")).toInt(-1);
    if (version != Version) {
        *problem = QStringLiteral("this program speaks version %1 of the command messages, the command sent "
                                  "version %2; use the scrapkeeper that is running")
                       .arg(Version)
                       .arg(version);
        return std::nullopt;
    }
    const QJsonValue args = object->value(QStringLiteral("args"));
    if (!args.isArray()) {
        *problem = QStringLiteral("the message is not understood");
        return std::nullopt;
    }
    Request request;
    for (const QJsonValue &arg : args.toArray()) {
        if (!arg.isString()) {
            *problem = QStringLiteral("the message is not understood");
            return std::nullopt;
        }
        request.args << arg.toString();
    }
    request.workingFolder = object->value(QStringLiteral("cwd")).toString();
    request.input = std::move(payload);
    return request;
}

std::optional<Reply> decodeReply(const QByteArray &header, QByteArray payload, QString *problem)
{
    const auto object = headerObject(header, problem);
    if (!object)
        return std::nullopt;
    if (object->value(QStringLiteral("working")).toBool())
        return Reply::progress();
    const QJsonValue exit = object->value(QStringLiteral("exit"));
    if (!exit.isDouble()) {
        *problem = QStringLiteral("the answer is not understood");
        return std::nullopt;
    }
    Reply reply;
    reply.exitCode = exit.toInt(Refused);
    reply.error = object->value(QStringLiteral("error")).toString();
    reply.output = std::move(payload);
    return reply;
}

} // namespace CommandWire
