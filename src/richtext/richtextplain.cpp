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
    // Copied run by run between the breaks: a large item's text is mostly runs.
    const QChar *const end = raw.constEnd();
    const QChar *run = raw.constBegin();
    for (const QChar *c = run; c != end; ++c) {
        if (*c == QChar::ParagraphSeparator || *c == QChar::LineSeparator || *c == QLatin1Char('\n')) {
            text.append(run, c - run);
            text += QLatin1String("\r\n");
            run = c + 1;
        }
    }
    text.append(run, end - run);
    return text;
}

} // namespace RichTextPlain
