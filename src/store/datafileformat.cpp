#include "store/datafileformat.h"

#include "common/textcodecs.h"

#include <QStringDecoder>

#include <cstring>
#include <limits>

namespace DataFileFormat {

int lineCount(QStringView text)
{
    if (text.isEmpty())
        return 0;
    const int breaks = int(text.count(kLineBreak));
    return text.endsWith(kLineBreak) ? breaks : breaks + 1;
}

namespace {

template<typename View>
std::optional<int> parseIntegerIn(View line)
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

bool isContinuation(uchar c)
{
    return (c & 0xC0) == 0x80;
}

} // namespace

std::optional<int> parseInteger(QStringView line)
{
    return parseIntegerIn(line);
}

std::optional<int> parseInteger(QLatin1StringView line)
{
    return parseIntegerIn(line);
}

QString decode(const QByteArray &bytes)
{
    const QByteArrayView readable = readablePart(bytes);
    return decode(readable, encodingOf(readable));
}

QByteArrayView readablePart(QByteArrayView bytes)
{
    const qsizetype nul = bytes.indexOf('\0');
    return nul < 0 ? bytes : bytes.first(nul);
}

Encoding encodingOf(QByteArrayView readable)
{
    return isValidUtf8(readable) ? Encoding::Utf8 : Encoding::Windows1252;
}

// Well-formed UTF-8 as Unicode defines it: no overlong forms, no surrogates,
// nothing past U+10FFFF, no sequence cut short.
bool isValidUtf8(QByteArrayView bytes)
{
    const auto *p = reinterpret_cast<const uchar *>(bytes.data());
    const uchar *const end = p + bytes.size();
    while (p < end) {
        // Runs of ASCII are the common case: eight bytes at a time.
        while (end - p >= 8) {
            quint64 word;
            std::memcpy(&word, p, sizeof word);
            if (word & 0x8080808080808080ULL)
                break;
            p += 8;
        }
        if (p == end)
            break;
        const uchar c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int trailing = 0;
        uchar low = 0x80, high = 0xBF;  // bounds of the byte after the lead
        if (c >= 0xC2 && c <= 0xDF) {
            trailing = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            trailing = 2;
            if (c == 0xE0)
                low = 0xA0;
            else if (c == 0xED)
                high = 0x9F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            trailing = 3;
            if (c == 0xF0)
                low = 0x90;
            else if (c == 0xF4)
                high = 0x8F;
        } else {
            return false;
        }
        if (end - p <= trailing)
            return false;
        if (p[1] < low || p[1] > high)
            return false;
        for (int i = 2; i <= trailing; ++i) {
            if (!isContinuation(p[i]))
                return false;
        }
        p += trailing + 1;
    }
    return true;
}

QString decode(QByteArrayView piece, Encoding encoding)
{
    if (encoding == Encoding::Utf8)
        return QString::fromUtf8(piece);
    return TextCodecs::decodeWindows1252(piece);
}

qsizetype decodedLength(QByteArrayView piece, Encoding encoding)
{
    if (encoding == Encoding::Windows1252)
        return piece.size();
    // Every lead byte gives one unit; four-byte sequences give a surrogate pair.
    qsizetype length = 0;
    for (const char c : piece) {
        const auto b = uchar(c);
        length += isContinuation(b) ? 0 : (b >= 0xF0 ? 2 : 1);
    }
    return length;
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
