#include "common/textcodecs.h"

#include <QStringDecoder>

namespace TextCodecs {

namespace {

// The bytes 0x80 to 0x9F of Windows-1252; the rest of the code page is Latin-1.
// Undefined bytes keep their C1 code point.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

const char *codecName(int codePage)
{
    switch (codePage) {
    case 437: return "IBM437";
    case 850: return "IBM850";
    case 874: return "windows-874";
    case 932: return "Shift_JIS";
    case 936: return "GBK";
    case 949: return "windows-949";
    case 950: return "Big5";
    case 1250: return "windows-1250";
    case 1251: return "windows-1251";
    case 1253: return "windows-1253";
    case 1254: return "windows-1254";
    case 1255: return "windows-1255";
    case 1256: return "windows-1256";
    case 1257: return "windows-1257";
    case 1258: return "windows-1258";
    case 10000: return "macintosh";
    case 65001: return "UTF-8";
    default: return nullptr;
    }
}

} // namespace

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

QString decodeCodePage(QByteArrayView bytes, int codePage)
{
    if (const char *name = codecName(codePage)) {
        QStringDecoder decoder(name, QStringDecoder::Flag::Stateless);
        if (decoder.isValid())
            return decoder.decode(bytes);
    }
    return decodeWindows1252(bytes);
}

} // namespace TextCodecs
