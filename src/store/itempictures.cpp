#include "store/itempictures.h"

#include "common/programerror.h"
#include "common/safefile.h"
#include "store/item.h"
#include "store/sidefiles.h"

#include <QDateTime>
#include <QFileInfo>
#include <QImageReader>
#include <QSet>

namespace {

// Side files come from disk and may be hostile: a header may claim any size.
constexpr int kDecodeLimitMegabytes = 1024;

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
    if (sideFile.trimmed().isEmpty())
        return {};
    const QString key = cacheKey(sideFile);
    if (key.isEmpty())
        return {};
    QImage found = m_cache.find(key);
    if (!found.isNull())
        return found;
    QImageReader reader(sideFile);
    reader.setAllocationLimit(kDecodeLimitMegabytes);
    if (!reader.read(&found))
        return {};
    m_cache.insert(key, found);
    return found;
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
    // Side files are written as BMP: asking that reader first spares the
    // format guessing a load of many pictures would otherwise pay per file.
    QImageReader bitmap(path, "bmp");
    bitmap.setAutoDetectImageFormat(false);
    const QSize size = bitmap.size();
    if (size.isValid())
        return size;
    QImageReader any(path);
    return any.canRead() ? any.size() : QSize();
}
