#pragma once

#include <QString>
#include <QStringView>

class QTextDocument;

// What a window that only shows an item's text takes of it (the preview, the
// tree's details, the tooltip): its start, bounded, so a huge item is never
// read or laid out whole there. Only the item editor reads an item whole.
namespace TextExcerpt {

inline constexpr qsizetype MaxCharacters = 64 * 1024;
inline constexpr qsizetype MaxParagraphs = 2000;

// The start of `text` (RTF source when `rich`, else plain characters with
// CR LF line ends) in `document`; a last paragraph holding an ellipsis marks
// a cut. True when something was left out.
bool load(QTextDocument *document, QStringView text, bool rich);

// The same start as plain characters with CR LF line ends, ending in an
// ellipsis when something was left out.
QString plainText(QStringView text, bool rich);

} // namespace TextExcerpt
