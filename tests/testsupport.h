#pragma once

// Small helpers shared by the tests.

#include "store/item.h"
#include "store/itempictures.h"

#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QString>
#include <QTemporaryDir>
#include <QTest>

namespace TestSupport {

inline const QString kStamp = QStringLiteral("Sun, Feb 18, 2001, 12:33 PM");

inline void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly), qPrintable(path));
    f.write(bytes);
}

inline QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline Item textItem(const QString &text)
{
    Item item;
    item.alias = text;
    item.text = text;
    item.created = kStamp;
    return item;
}

// Makes `item` an image item holding `picture` the way a capture does: written
// at once to a side file, beside `dataFile` when one is given, else beside a
// scratch data file (an earlier test's data file may be gone).
inline void givePicture(Item &item, const QImage &picture, const QString &dataFile = {})
{
    static QTemporaryDir scratch;
    ItemPictures &pictures = ItemPictures::shared();
    pictures.setDataFile(dataFile.isEmpty() ? scratch.filePath(QStringLiteral("data.db")) : dataFile);
    item.kind = ItemKind::Image;
    pictures.setPicture(item, picture);
}

// A picture of the given size filled with one colour.
inline QImage filledPicture(int width, int height, Qt::GlobalColor colour = Qt::red)
{
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(colour);
    return picture;
}

// The picture an item shows, read as the program reads it.
inline QImage pictureOf(const Item &item)
{
    return ItemPictures::shared().picture(item);
}

} // namespace TestSupport
