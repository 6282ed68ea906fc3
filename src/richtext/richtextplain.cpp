#include "richtext/richtextplain.h"

#include <QTextDocument>

namespace RichTextPlain {

QString plainText(const QTextDocument &document)
{
    return plainText(document.toRawText());
}

QString plainText(const QString &raw)
{
    QString text;
    text.reserve(raw.size() + raw.size() / 16);
    for (const QChar c : raw) {
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator || c == QLatin1Char('\n'))
            text += QLatin1String("\r\n");
        else
            text += c;
    }
    return text;
}

} // namespace RichTextPlain
