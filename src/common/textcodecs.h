#pragma once

#include <QByteArrayView>
#include <QString>

namespace TextCodecs {

// Windows-1252, the code page of files and RTF from the Windows version.
QString decodeWindows1252(QByteArrayView bytes);

// A Windows code page by number (1250, 1251, 932, ...); Windows-1252 when
// the page is unknown here, so no byte is ever dropped.
QString decodeCodePage(QByteArrayView bytes, int codePage);

} // namespace TextCodecs
