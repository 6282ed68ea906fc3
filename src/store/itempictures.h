#pragma once

#include "store/picturecache.h"

#include <QHash>
#include <QImage>
#include <QSet>
#include <QSize>
#include <QString>

struct Item;

// The pictures of image items. Each lives in a side file of the current data
// file, written as soon as the picture comes in, and is decoded only when
// something shows or pastes it; the last ones decoded stay in a small cache
// so showing them again is quick.
class ItemPictures
{
public:
    // The one the program's windows share; tests may use their own.
    static ItemPictures &shared();

    explicit ItemPictures(qsizetype cacheLimit = PictureCache::kDefaultLimit);

    // The data file new side files are named after and placed beside.
    void setDataFile(const QString &path) { m_dataFile = path; }
    const QString &dataFile() const { return m_dataFile; }

    // The picture of an image item; null for other kinds, when its side file
    // is missing or cannot be read as a picture, and when its header declares
    // a picture past PictureBounds (such a picture is never decoded).
    QImage picture(const Item &item);
    QImage picture(const QString &sideFile);
    // The same for a window that shows it in at most `within`: a larger
    // picture is decoded at the size that fits there, proportions kept.
    QImage picture(const Item &item, QSize within);
    QImage picture(const QString &sideFile, QSize within);

    // True when the side file's header declares a picture past PictureBounds.
    static bool pastBounds(const QString &sideFile);
    // A line for a window that shows no picture in its place: why.
    static QString notShownNote(const QString &sideFile);

    // Gives an image item `picture`: written at once to a new side file of
    // the data file, which the item then names, and its size kept. Throws
    // ProgramError when the file cannot be written; the item is then unchanged.
    void setPicture(Item &item, const QImage &picture);

    // Writes `picture` to a new side file of the data file and returns its path.
    QString write(const QImage &picture);

    // An editor working on a copy of an item holds the side file it wrote
    // until the copy is written back: a save meanwhile must not sweep it.
    void hold(const QString &sideFile);
    void release(const QString &sideFile);
    // The identities of the side files held now.
    QSet<QString> heldIdentities() const;

    // The size a picture file declares in its header, without decoding it;
    // invalid when the file is missing or no picture.
    static QSize declaredSize(const QString &path);

    PictureCache &cache() { return m_cache; }

private:
    QImage decode(const QString &sideFile, QSize within);

    // Cached pictures are known by path and the file's stamp, so a file
    // written again under a name seen before is read again.
    static QString cacheKey(const QString &sideFile);

    QString m_dataFile;
    PictureCache m_cache;
    QHash<QString, int> m_held;
};
