#pragma once

#include <QByteArrayView>
#include <QString>

// Turns the bytes of an HTML copy into text, whatever the copying program
// chose: UTF-16 with or without a byte-order mark, a charset named in a
// leading <meta>, Windows' "Version:0.9 StartHTML:" header (whose markup is
// UTF-8), or plain UTF-8. Bytes that are not valid in the encoding become
// replacement characters; nothing here fails.
namespace HtmlDecoding {

QString decode(QByteArrayView bytes);

} // namespace HtmlDecoding
