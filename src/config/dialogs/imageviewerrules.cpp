#include "config/dialogs/imageviewerrules.h"

#include "store/item.h"

#include <QFileInfo>

#include <algorithm>
#include <cstdlib>

const QString ImageViewerRules::kBitmapFilter = QStringLiteral("Bitmaps (*.bmp)");
const QString ImageViewerRules::kJpegFilter = QStringLiteral("JPEG (*.jpg)");
const QString ImageViewerRules::kSaveFilter =
    kBitmapFilter + QStringLiteral(";;") + kJpegFilter + QStringLiteral(";;All Files (*)");

ImageViewerRules::ImageViewerRules(const Item &item, ItemPictures &pictures)
    : m_pictures(pictures)
    , m_picture(pictures.picture(item))
    , m_storedPicture(m_picture)
    , m_caption(item.alias)
    , m_storedAlias(item.alias)
{
}

void ImageViewerRules::setDefaultCaption()
{
    m_caption = sizeCaption(m_picture.size());
}

ImageViewerRules::~ImageViewerRules()
{
    if (!m_written.isEmpty())
        m_pictures.release(m_written);
}

bool ImageViewerRules::saveEnabled() const
{
    return canUndo() || m_caption != m_storedAlias;
}

QRect ImageViewerRules::cropRectangle(QPoint start, QPoint end, QSize picture)
{
    const int left = std::clamp(std::min(start.x(), end.x()), 0, std::max(0, picture.width()));
    const int right = std::clamp(std::max(start.x(), end.x()), 0, std::max(0, picture.width()));
    const int top = std::clamp(std::min(start.y(), end.y()), 0, std::max(0, picture.height()));
    const int bottom = std::clamp(std::max(start.y(), end.y()), 0, std::max(0, picture.height()));
    // Corners are pixel edges: a drag from x 10 to x 30 keeps 20 columns.
    return QRect(QPoint(left, top), QSize(right - left, bottom - top));
}

bool ImageViewerRules::crop(QPoint start, QPoint end)
{
    const QRect area = cropRectangle(start, end, m_picture.size());
    if (area.isEmpty())
        return false;
    m_undo = m_picture;
    m_picture = m_picture.copy(area);
    return true;
}

bool ImageViewerRules::replace(const QImage &image)
{
    if (image.isNull())
        return false;
    m_undo = m_picture;
    m_picture = image;
    return true;
}

bool ImageViewerRules::undo()
{
    if (!m_undo)
        return false;
    m_picture = *m_undo;
    m_undo.reset();
    return true;
}

void ImageViewerRules::save(Item &item, const std::optional<QString> &created)
{
    // Crop and replace make a new image; undo brings back the very one kept.
    if (m_picture.cacheKey() != m_storedPicture.cacheKey()) {
        m_pictures.setPicture(item, m_picture);
        m_storedPicture = m_picture;
        // The item is often an editor's copy: its file must outlive saves
        // made before the copy is written back.
        if (!m_written.isEmpty())
            m_pictures.release(m_written);
        m_written = item.text;
        m_pictures.hold(m_written);
    }
    item.alias = m_caption;
    if (created)
        item.created = *created;
    m_storedAlias = m_caption;
    m_undo.reset();
}

QString ImageViewerRules::sizeCaption(QSize size)
{
    return QStringLiteral("Image: %1 x %2").arg(size.width()).arg(size.height());
}

QString ImageViewerRules::coordinatesText(QPoint at)
{
    return QStringLiteral("(%1, %2)").arg(at.x()).arg(at.y());
}

QString ImageViewerRules::createdText(const QString &created)
{
    return QStringLiteral("Created:  ") + created;
}

QString ImageViewerRules::dragText(QPoint start, QPoint at)
{
    return QStringLiteral("(%1 %2) - (%3, %4)")
        .arg(start.x())
        .arg(start.y())
        .arg(std::abs(at.x() - start.x()))
        .arg(std::abs(at.y() - start.y()));
}

ImageViewerRules::SaveTarget ImageViewerRules::saveTarget(const QString &chosen, const QString &chosenFilter)
{
    const FileFormat filterFormat = chosenFilter == kJpegFilter ? FileFormat::Jpeg : FileFormat::Bitmap;
    if (chosen.isEmpty())
        return {chosen, filterFormat};
    const QString suffix = QFileInfo(chosen).suffix().toLower();
    if (suffix.isEmpty())
        return {chosen + (filterFormat == FileFormat::Jpeg ? QStringLiteral(".jpg") : QStringLiteral(".bmp")), filterFormat};
    if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg") || suffix == QLatin1String("jpe"))
        return {chosen, FileFormat::Jpeg};
    if (suffix == QLatin1String("bmp") || suffix == QLatin1String("dib"))
        return {chosen, FileFormat::Bitmap};
    return {chosen, filterFormat};
}
