#include "richtext/htmldecoding.h"

#include <QStringDecoder>

namespace HtmlDecoding {

namespace {

// Windows puts a description before the markup: "Version:0.9", then
// "Name:offset" lines giving byte offsets of the markup within the data.
// Only the markup is kept; offsets that do not fit the data are not trusted.
QByteArrayView withoutWindowsHeader(QByteArrayView bytes)
{
    if (!bytes.startsWith("Version:"))
        return bytes;
    const qsizetype headerEnd = bytes.indexOf('<');
    const QByteArrayView header = bytes.first(headerEnd < 0 ? bytes.size() : headerEnd);
    const auto offset = [&](QByteArrayView name) -> qsizetype {
        const qsizetype at = header.indexOf(name);
        if (at < 0)
            return -1;
        qsizetype value = 0;
        qsizetype i = at + name.size();
        bool any = false;
        while (i < header.size() && header[i] >= '0' && header[i] <= '9' && value <= bytes.size()) {
            value = value * 10 + (header[i] - '0');
            ++i;
            any = true;
        }
        return any ? value : -1;
    };
    qsizetype start = offset("StartHTML:");
    qsizetype end = offset("EndHTML:");
    if (start < header.size() || start > bytes.size())
        start = headerEnd < 0 ? bytes.size() : headerEnd;
    if (end < start || end > bytes.size())
        end = bytes.size();
    return bytes.sliced(start, end - start);
}

// UTF-16 without a byte-order mark still shows itself: markup starts with
// an ASCII character, so one of its first two bytes is zero.
std::optional<QStringConverter::Encoding> unmarkedUtf16(QByteArrayView bytes)
{
    if (bytes.size() < 4 || bytes.size() % 2 != 0)
        return std::nullopt;
    if (bytes[0] != 0 && bytes[1] == 0 && bytes[2] != 0 && bytes[3] == 0)
        return QStringConverter::Utf16LE;
    if (bytes[0] == 0 && bytes[1] != 0 && bytes[2] == 0 && bytes[3] != 0)
        return QStringConverter::Utf16BE;
    return std::nullopt;
}

// Half of a surrogate pair is no character; the rest of the program, and
// the data file, hold only whole ones.
QString withoutLoneSurrogates(QString text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            text[i] = QChar::ReplacementCharacter;
    }
    return text;
}

QString decodeMarkup(QByteArrayView bytes)
{
    if (const auto utf16 = unmarkedUtf16(bytes)) {
        QStringDecoder decoder(*utf16);
        return decoder.decode(bytes);
    }
    if (bytes.startsWith("Version:")) {
        QStringDecoder utf8(QStringDecoder::Utf8);
        return utf8.decode(withoutWindowsHeader(bytes));
    }
    // A byte-order mark, else the charset of a leading <meta>, else UTF-8.
    QStringDecoder decoder = QStringDecoder::decoderForHtml(bytes);
    if (!decoder.isValid())
        decoder = QStringDecoder(QStringDecoder::Utf8);
    QString text = decoder.decode(bytes);
    if (decoder.hasError() && text.isEmpty())
        return QStringDecoder(QStringDecoder::Utf8).decode(bytes);
    return text;
}

} // namespace

QString decode(QByteArrayView bytes)
{
    return withoutLoneSurrogates(decodeMarkup(bytes));
}

} // namespace HtmlDecoding
