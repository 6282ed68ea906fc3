#pragma once

#include "store/itempictures.h"

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>

#include <optional>

struct Item;

// What the image viewer does with its picture, apart from any window: the
// picture being shown, one step of undo, the caption that becomes the alias,
// the crop rectangle and the names pictures are saved under.
class ImageViewerRules
{
public:
    enum class FileFormat { Bitmap, Jpeg };

    // The save chooser's filter; its second entry writes JPEG.
    static const QString kSaveFilter;
    static const QString kBitmapFilter;
    static const QString kJpegFilter;

    // The item's picture is read (and a changed one written) through `pictures`.
    explicit ImageViewerRules(const Item &item, ItemPictures &pictures = ItemPictures::shared());
    ~ImageViewerRules();
    ImageViewerRules(const ImageViewerRules &) = delete;
    ImageViewerRules &operator=(const ImageViewerRules &) = delete;

    const QImage &picture() const { return m_picture; }
    const QString &caption() const { return m_caption; }
    void setCaption(const QString &caption) { m_caption = caption; }
    // "Image: %d x %d" with the picture's size.
    void setDefaultCaption();

    bool canUndo() const { return m_undo.has_value(); }
    // Save is offered once the picture or the caption differs from the item.
    bool saveEnabled() const;

    // The rectangle dragged from `start` to `end`, either way round, within
    // the picture; empty when nothing of the picture is inside it.
    static QRect cropRectangle(QPoint start, QPoint end, QSize picture);
    // Keeps the picture for undo and keeps only the dragged part of it. False
    // (nothing changes) when the rectangle holds no pixel.
    bool crop(QPoint start, QPoint end);
    // Keeps the picture for undo and shows `image` instead; a null image changes nothing.
    bool replace(const QImage &image);
    // Puts the kept picture back; false when there is none.
    bool undo();

    // Writes the caption as alias and the picture into `item`, a changed
    // picture to a new side file at once; with a `created` stamp also the
    // date. Drops the undo picture. Throws ProgramError when the side file
    // cannot be written, leaving the item unchanged.
    void save(Item &item, const std::optional<QString> &created);

    static QString sizeCaption(QSize size);
    static QString coordinatesText(QPoint at);
    static QString createdText(const QString &created);
    // The start point and the size of the rectangle being dragged.
    static QString dragText(QPoint start, QPoint at);

    struct SaveTarget
    {
        QString path;
        FileFormat format;
    };
    // Where Save As writes and in which format. The extension typed decides
    // (".jpg" or ".jpeg" JPEG, ".bmp" a bitmap), whatever the chosen filter
    // says; a name without one gets the filter's format and its extension;
    // any other extension is kept and written in the filter's format.
    static SaveTarget saveTarget(const QString &chosen, const QString &chosenFilter);

private:
    ItemPictures &m_pictures;
    QImage m_picture;
    QImage m_storedPicture;  // what the item's side file holds
    QString m_written;       // the side file a save wrote, held until the viewer goes
    std::optional<QImage> m_undo;
    QString m_caption;
    QString m_storedAlias;
};
