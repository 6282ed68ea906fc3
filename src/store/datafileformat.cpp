#include "datafileformat.h"

#include <QStringDecoder>

#include <limits>

namespace DataFileFormat {

int lineCount(QStringView text)
{
    if (text.isEmpty())
        return 0;
    const int breaks = int(text.count(kLineBreak));
    return text.endsWith(kLineBreak) ? breaks : breaks + 1;
}

std::optional<int> parseInteger(QStringView line)
{
    qsizetype pos = 0;
    while (pos < line.size() && line.at(pos) == QLatin1Char(' '))
        ++pos;
    bool negative = false;
    if (pos < line.size() && (line.at(pos) == QLatin1Char('-') || line.at(pos) == QLatin1Char('+'))) {
        negative = line.at(pos) == QLatin1Char('-');
        ++pos;
    }
    if (pos == line.size())
        return std::nullopt;
    qint64 value = 0;
    for (; pos < line.size(); ++pos) {
        const QChar c = line.at(pos);
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
        value = value * 10 + (c.unicode() - '0');
        if (value > qint64(std::numeric_limits<int>::max()) + 1)
            return std::nullopt;
    }
    value = negative ? -value : value;
    if (value > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(value);
}

namespace {

// The bytes 0x80 to 0x9F of Windows-1252; the rest of the code page is Latin-1.
// Undefined bytes keep their C1 code point so nothing is dropped.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

QString decodeWindows1252(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        *out++ = (b >= 0x80 && b < 0xA0) ? QChar(kCp1252High[b - 0x80]) : QChar(b);
    }
    return text;
}

} // namespace

QString decode(const QByteArray &bytes)
{
    const qsizetype nul = bytes.indexOf('\0');
    const QByteArrayView readable = nul < 0 ? QByteArrayView(bytes) : QByteArrayView(bytes.constData(), nul);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(readable);
    if (!utf8.hasError())
        return text;
    return decodeWindows1252(readable);
}

QString sideFileName(const QString &dataFilePath, int number)
{
    return dataFilePath + QStringLiteral(".b") + QString::number(number);
}

QString backupPath(const QString &dataFilePath)
{
    return dataFilePath + QStringLiteral(".~bk");
}

QString corruptPath(const QString &dataFilePath)
{
    return dataFilePath + QStringLiteral(".corrupt");
}

} // namespace DataFileFormat
