#include "capture/clipboardcontent.h"

#include "common/picturebounds.h"
#include "platform/clipboard.h"

#include <QBuffer>
#include <QImageReader>
#include <QPainter>
#include <QStringDecoder>
#include <QSvgRenderer>
#include <QUrl>

namespace {

const QStringList kRichTextFormats{QStringLiteral("text/rtf"), QStringLiteral("application/rtf"),
                                   QStringLiteral("text/richtext")};
const QStringList kPlainTextFormats{QStringLiteral("text/plain;charset=utf-8"), QStringLiteral("text/plain"),
                                    QStringLiteral("UTF8_STRING")};
const QString kUriList = QStringLiteral("text/uri-list");
const QString kSvg = QStringLiteral("image/svg+xml");
const QString kSecretHint = QStringLiteral("x-kde-passwordManagerHint");

// Items keep CR LF line breaks; the desktop's clipboard uses LF.
QString withCrLf(QString text)
{
    text.remove(QChar(0));
    QString out;
    out.reserve(text.size() + text.size() / 32);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\n') && (i == 0 || text[i - 1] != QLatin1Char('\r')))
            out += QLatin1Char('\r');
        out += c;
    }
    return out;
}

QStringList fileUrlsOf(const QByteArray &uriList)
{
    QStringList paths;
    for (const QByteArray &line : uriList.split('\n')) {
        const QByteArray entry = line.trimmed();
        if (entry.isEmpty() || entry.startsWith('#'))
            continue;
        const QUrl url = QUrl::fromEncoded(entry);
        if (url.isLocalFile())
            paths << url.toLocalFile();
    }
    return paths;
}

} // namespace

ClipboardContent::ClipboardContent(const Clipboard &clipboard)
    : m_clipboard(clipboard), m_formats(clipboard.formats())
{
}

QString ClipboardContent::firstOf(const QStringList &candidates) const
{
    for (const QString &format : candidates) {
        if (m_formats.contains(format))
            return format;
    }
    return {};
}

std::optional<QByteArray> ClipboardContent::bounded(const QString &format) const
{
    QByteArray bytes = m_clipboard.data(format);
    if (bytes.size() > MaxBytes) {
        m_pastBounds = true;
        return std::nullopt;
    }
    return bytes;
}

bool ClipboardContent::isSecret() const
{
    return m_formats.contains(kSecretHint) && m_clipboard.data(kSecretHint).trimmed() == "secret";
}

bool ClipboardContent::hasFileList() const
{
    return m_formats.contains(kUriList) && !fileUrlsOf(m_clipboard.data(kUriList)).isEmpty();
}

bool ClipboardContent::hasRichText() const
{
    return !firstOf(kRichTextFormats).isEmpty();
}

bool ClipboardContent::hasHtml() const
{
    return m_formats.contains(QStringLiteral("text/html"));
}

bool ClipboardContent::hasPlainText() const
{
    return !firstOf(kPlainTextFormats).isEmpty();
}

bool ClipboardContent::hasRaster() const
{
    for (const QString &format : m_formats) {
        if (format.startsWith(QLatin1String("image/")) && format != kSvg)
            return true;
    }
    return false;
}

bool ClipboardContent::hasVectorPicture() const
{
    return m_formats.contains(kSvg);
}

std::optional<QString> ClipboardContent::fileListText() const
{
    const auto bytes = bounded(kUriList);
    if (!bytes)
        return std::nullopt;
    QString text;
    for (const QString &path : fileUrlsOf(*bytes))
        text += path + QStringLiteral("\r\n");
    return text;
}

std::optional<QByteArray> ClipboardContent::html() const
{
    return bounded(QStringLiteral("text/html"));
}

std::optional<QString> ClipboardContent::richTextSource() const
{
    const auto bytes = bounded(firstOf(kRichTextFormats));
    if (!bytes)
        return std::nullopt;
    return QString::fromLatin1(*bytes);
}

std::optional<QString> ClipboardContent::plainText() const
{
    const auto bytes = bounded(firstOf(kPlainTextFormats));
    if (!bytes)
        return std::nullopt;
    return decodePlainText(*bytes);
}

QString ClipboardContent::decodePlainText(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    return withCrLf(utf8.decode(bytes));
}

std::optional<QImage> ClipboardContent::image() const
{
    // Lossless flavours first, then whatever raster the owner offers.
    QStringList raster;
    for (const char *preferred : {"image/png", "image/bmp", "image/x-bmp", "image/tiff"}) {
        if (m_formats.contains(QLatin1String(preferred)))
            raster << QString::fromLatin1(preferred);
    }
    for (const QString &format : m_formats) {
        if (format.startsWith(QLatin1String("image/")) && format != kSvg && !raster.contains(format))
            raster << format;
    }
    for (const QString &format : raster) {
        auto bytes = bounded(format);
        if (!bytes || bytes->isEmpty())
            continue;
        QBuffer buffer(&*bytes);
        QImageReader reader(&buffer);
        reader.setAllocationLimit(PictureBounds::MaxMegabytes);
        const QSize size = reader.size();
        if (size.isValid() && !PictureBounds::fits(size)) {
            m_pastBounds = true;
            return std::nullopt;
        }
        QImage image;
        if (reader.read(&image) && !image.isNull())
            return image;
    }
    if (hasVectorPicture()) {
        const auto bytes = bounded(kSvg);
        if (!bytes)
            return std::nullopt;
        QSvgRenderer renderer(*bytes);
        QSize size = renderer.defaultSize();
        if (!renderer.isValid() || size.isEmpty())
            return std::nullopt;
        if (size.width() > MaxVectorSide || size.height() > MaxVectorSide)
            size.scale(MaxVectorSide, MaxVectorSide, Qt::KeepAspectRatio);
        if (size.isEmpty())
            return std::nullopt;
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        if (image.isNull())
            return std::nullopt;
        image.fill(Qt::white);
        QPainter painter(&image);
        renderer.render(&painter);
        return image;
    }
    return std::nullopt;
}
