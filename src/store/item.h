#pragma once

#include <QImage>
#include <QString>

#include <cstdint>

// One snippet of a category. Item kinds and method numbers are shared with
// categories and the global paste setting.
struct Item
{
    enum KindValue : std::int8_t { PlainText = 0, Image = 1, RichText = 3 };

    std::int8_t Action = 0;
    std::int8_t PasteMethod = 0;
    std::int8_t Kind = PlainText;
    std::int8_t ActionCount = 0;
    QImage Bitmap;       // the picture of an image item; null for every other kind
    QString Category;    // name of the category holding the item (not stored in the file)
    QString Alias;
    QString Text;        // text, RTF source, or the side-file path of an image item
    QString ExtraText;
    QString Created;
};

// A blank path marks an image that has not been written to a side file yet.
inline const QString kUnsavedImageText = QStringLiteral(" ");
