#include "richtext/htmlexport.h"

#include "richtext/rtfreader.h"

#include <QTextDocument>

namespace HtmlExport {

QString fromRtf(QStringView rtfSource)
{
    QTextDocument document;
    document.setUndoRedoEnabled(false);
    RtfReader::read(rtfSource, &document);
    // The scratch document's own default font is no part of the item: the
    // receiving program's font applies where the item names none.
    document.setDefaultFont(QFont());
    return document.toHtml();
}

} // namespace HtmlExport
