#pragma once

#include <QString>
#include <QStringView>

// The HTML a rich-text item offers beside its RTF, for the programs that
// take only HTML (browsers, mail composers, most GTK editors): the same
// document the RTF describes, as UTF-8 markup.
namespace HtmlExport {

QString fromRtf(QStringView rtfSource);

} // namespace HtmlExport
