#pragma once

#include <QSize>
#include <QString>

// How large a picture the program takes in at all: capture refuses a larger
// one, and one already in a file (a side file written by something else) is
// never decoded whole, so neither can make the program stall for a minute or
// hold gigabytes. The size is judged from what a picture's header declares,
// before anything is decoded.
namespace PictureBounds {

inline constexpr int MaxSide = 16384;      // pixels per side
inline constexpr int MaxMegabytes = 256;   // memory for the decoded picture, 4 bytes a pixel

inline bool fits(QSize size)
{
    return size.width() > 0 && size.height() > 0 && size.width() <= MaxSide && size.height() <= MaxSide
           && qint64(size.width()) * size.height() * 4 <= qint64(MaxMegabytes) * 1024 * 1024;
}

// The bound in words, for messages that refuse a picture.
inline QString described()
{
    return QStringLiteral("at most %1 pixels a side and %2 MB once decoded").arg(MaxSide).arg(MaxMegabytes);
}

} // namespace PictureBounds
