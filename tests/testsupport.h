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

// A PNG file of any size that stays small: one bit a pixel, every row zero,
// so a picture of 16000 x 16000 takes some 32 KB on disk yet would take a
// gigabyte once decoded at four bytes a pixel.
inline QByteArray blankPng(int width, int height)
{
    const auto bigEndian = [](quint32 value) {
        QByteArray bytes(4, '\0');
        for (int i = 0; i < 4; ++i)
            bytes[i] = char(value >> (24 - 8 * i));
        return bytes;
    };
    const auto crc = [](const QByteArray &bytes) {
        quint32 value = 0xFFFFFFFFu;
        for (const char c : bytes) {
            value ^= uchar(c);
            for (int bit = 0; bit < 8; ++bit)
                value = (value >> 1) ^ (0xEDB88320u & (0u - (value & 1u)));
        }
        return value ^ 0xFFFFFFFFu;
    };
    const auto chunk = [&](const char *type, const QByteArray &data) {
        const QByteArray typed = QByteArray(type) + data;
        return bigEndian(quint32(data.size())) + typed + bigEndian(crc(typed));
    };
    // Width, height, 1 bit deep, greyscale, deflate, no filter method, not interlaced.
    const QByteArray header = bigEndian(quint32(width)) + bigEndian(quint32(height)) + QByteArray("\x01\x00\x00\x00\x00", 5);
    // Each row: filter byte 0, then the row's bits.
    const QByteArray rows(qsizetype(height) * (1 + (qsizetype(width) + 7) / 8), '\0');
    const QByteArray zlib = qCompress(rows).mid(4);  // without Qt's length prefix, a zlib stream
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", header) + chunk("IDAT", zlib) + chunk("IEND", {});
}

} // namespace TestSupport
