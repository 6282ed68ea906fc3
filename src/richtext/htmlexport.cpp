#include "richtext/htmlexport.h"

#include "richtext/rtfreader.h"

#include <QRegularExpression>
#include <QTextDocument>

namespace HtmlExport {

QString fromRtf(QStringView rtfSource)
{
    QTextDocument document;
    document.setUndoRedoEnabled(false);
    RtfReader::read(rtfSource, &document);
    QString html = document.toHtml();
    // The scratch document's default font is no part of the item: the
    // receiving program's own font applies where the item names none.
    static const QRegularExpression bodyStyle(QStringLiteral("<body style=\"[^\"]*\">"));
    html.replace(bodyStyle, QStringLiteral("<body>"));
    return html;
}

} // namespace HtmlExport
