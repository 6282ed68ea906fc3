#include "store/itempictures.h"

#include "common/picturebounds.h"
#include "common/programerror.h"
#include "common/safefile.h"
#include "store/item.h"
#include "store/sidefiles.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QSet>

#include <cstdlib>
#include <optional>

namespace {

// What the header of an uncompressed bitmap says: its size, and how many
// bytes the file needs to hold every row. Qt's reader takes a bitmap cut
// short and leaves the rows it lacks as whatever memory held before.
struct BitmapHeader
{
    QSize size;
    qint64 bytesNeeded = 0;
};

quint32 littleEndian(const QByteArray &bytes, int at, int width)
{
    quint32 value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = (value << 8) | uchar(bytes[at + i]);
    return value;
}

// Empty for anything else (other formats, compressed or odd bitmaps): Qt's
// readers judge those.
std::optional<BitmapHeader> bitmapHeader(QFile &file)
{
    const QByteArray bytes = file.read(54);
    if (bytes.size() < 26 || !bytes.startsWith("BM"))
        return std::nullopt;
    const quint32 offset = littleEndian(bytes, 10, 4);
    const quint32 infoSize = littleEndian(bytes, 14, 4);
    qint64 width = 0;
    qint64 height = 0;
    quint32 bitsPerPixel = 0;
    if (infoSize == 12) {
        width = littleEndian(bytes, 18, 2);
        height = littleEndian(bytes, 20, 2);
        bitsPerPixel = littleEndian(bytes, 24, 2);
    } else if (infoSize >= 40 && bytes.size() >= 34) {
        width = qint32(littleEndian(bytes, 18, 4));
        height = std::abs(qint64(qint32(littleEndian(bytes, 22, 4))));  // negative: rows from the top
        bitsPerPixel = littleEndian(bytes, 28, 2);
        const quint32 compression = littleEndian(bytes, 30, 4);
        if (compression != 0 && compression != 3)  // run-length coded bitmaps have no fixed size
            return std::nullopt;
    } else {
        return std::nullopt;
    }
    const bool knownDepth = bitsPerPixel == 1 || bitsPerPixel == 4 || bitsPerPixel == 8 || bitsPerPixel == 16
                            || bitsPerPixel == 24 || bitsPerPixel == 32;
    if (!knownDepth || width <= 0 || height <= 0 || width > 65535 || height > 65535)
        return std::nullopt;
    const qint64 rowBytes = (width * bitsPerPixel + 31) / 32 * 4;
    return BitmapHeader{QSize(int(width), int(height)), qint64(offset) + rowBytes * height};
}

// False for a bitmap whose file ends before its last row.
bool wholeIfBitmap(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return true;  // the reader reports what it cannot open
    const auto header = bitmapHeader(file);
    return !header || file.size() >= header->bytesNeeded;
}

} // namespace

ItemPictures &ItemPictures::shared()
{
    static ItemPictures pictures;
    return pictures;
}

ItemPictures::ItemPictures(qsizetype cacheLimit)
    : m_cache(cacheLimit)
{
}

QImage ItemPictures::picture(const Item &item)
{
    return item.kind == ItemKind::Image ? picture(item.text) : QImage();
}

QImage ItemPictures::picture(const QString &sideFile)
{
    return decode(sideFile, QSize());
}

QImage ItemPictures::picture(const Item &item, QSize within)
{
    return item.kind == ItemKind::Image ? picture(item.text, within) : QImage();
}

QImage ItemPictures::picture(const QString &sideFile, QSize within)
{
    return decode(sideFile, within.isEmpty() ? QSize(1, 1) : within);
}

QImage ItemPictures::decode(const QString &sideFile, QSize within)
{
    if (sideFile.trimmed().isEmpty())
        return {};
    const QString key = cacheKey(sideFile);
    if (key.isEmpty())
        return {};
    const auto fitted = [within](QSize size) {
        return within.isValid() && (size.width() > within.width() || size.height() > within.height())
                   ? size.scaled(within, Qt::KeepAspectRatio).expandedTo(QSize(1, 1))
                   : size;
    };
    QImage found = m_cache.find(key);
    if (!found.isNull()) {
        const QSize shown = fitted(found.size());
        return shown == found.size() ? found : found.scaled(shown, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    if (!wholeIfBitmap(sideFile))
        return {};
    // Side files come from disk and may be hostile: a header may claim any
    // size, so it is read first and a picture past the bounds goes no further.
    QImageReader reader(sideFile);
    reader.setAllocationLimit(PictureBounds::MaxMegabytes);
    const QSize declared = reader.size();
    if (declared.isValid() && !PictureBounds::fits(declared))
        return {};
    QString foundKey = key;
    if (declared.isValid() && fitted(declared) != declared) {
        const QSize shown = fitted(declared);
        foundKey += QStringLiteral("\n%1x%2").arg(shown.width()).arg(shown.height());
        found = m_cache.find(foundKey);
        if (!found.isNull())
            return found;
        reader.setScaledSize(shown);
    }
    if (!reader.read(&found))
        return {};
    m_cache.insert(foundKey, found);
    return found;
}

bool ItemPictures::pastBounds(const QString &sideFile)
{
    const QSize declared = declaredSize(sideFile);
    return declared.isValid() && !PictureBounds::fits(declared);
}

QString ItemPictures::notShownNote(const QString &sideFile)
{
    const QSize declared = declaredSize(sideFile);
    if (declared.isValid() && !PictureBounds::fits(declared))
        return QStringLiteral("The picture is not shown: it is %1 x %2 pixels; a picture may be %3.")
            .arg(declared.width())
            .arg(declared.height())
            .arg(PictureBounds::described());
    return QStringLiteral("The picture cannot be shown: its bitmap data file cannot be read as a picture.");
}

QString ItemPictures::write(const QImage &picture)
{
    if (m_dataFile.isEmpty())
        throw ProgramError(QStringLiteral("Cannot save the image item: no data file is in use."));
    QSet<QString> taken;
    for (const QString &path : SideFiles::onDisk(m_dataFile))
        taken.insert(QFileInfo(path).fileName());
    const QString path = SideFiles::freeName(m_dataFile, taken);
    SafeFile::writeImage(path, picture, "BMP");
    m_cache.insert(cacheKey(path), picture);
    return path;
}

void ItemPictures::setPicture(Item &item, const QImage &picture)
{
    item.text = write(picture);
    item.pictureSize = picture.size();
}

QString ItemPictures::cacheKey(const QString &sideFile)
{
    const QFileInfo file(sideFile);
    if (!file.isFile())
        return {};
    return sideFile + QLatin1Char('\n') + QString::number(file.lastModified().toMSecsSinceEpoch())
           + QLatin1Char('\n') + QString::number(file.size());
}

void ItemPictures::hold(const QString &sideFile)
{
    ++m_held[sideFile];
}

void ItemPictures::release(const QString &sideFile)
{
    const auto found = m_held.find(sideFile);
    if (found != m_held.end() && --found.value() <= 0)
        m_held.erase(found);
}

QSet<QString> ItemPictures::heldIdentities() const
{
    QSet<QString> identities;
    SideFiles::Identities known;
    for (auto it = m_held.cbegin(); it != m_held.cend(); ++it)
        identities.insert(known.of(it.key()));
    identities.remove(QString());
    return identities;
}

QSize ItemPictures::declaredSize(const QString &path)
{
    // Side files are written as uncompressed bitmaps: their header is read
    // here, which spares the format guessing a load of many pictures would
    // otherwise pay per file, and tells a file cut short at once.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    if (const auto header = bitmapHeader(file))
        return file.size() >= header->bytesNeeded ? header->size : QSize();
    file.close();
    QImageReader any(path);
    return any.canRead() ? any.size() : QSize();
}
