#include "store/datafileformat.h"

#include "common/textcodecs.h"

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

QString decode(const QByteArray &bytes)
{
    const qsizetype nul = bytes.indexOf('\0');
    const QByteArrayView readable = nul < 0 ? QByteArrayView(bytes) : QByteArrayView(bytes.constData(), nul);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(readable);
    if (!utf8.hasError())
        return text;
    return TextCodecs::decodeWindows1252(readable);
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
