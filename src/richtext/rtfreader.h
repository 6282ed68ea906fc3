#pragma once

#include <QString>
#include <QStringView>

class QTextDocument;

// Reads RTF source into a text document: text, character formats (bold,
// italic, underline, strike, size, font, colour, highlight), paragraphs with
// their alignment and indents, tables as tab-separated lines. Pictures and
// other embedded data are skipped. Never fails: damaged source gives what
// could be read, and text that is not RTF loads as plain characters.
//
// The source is taken as a string of bytes (one character per byte as it
// arrived) or of already decoded characters; characters from 0x80 to 0xFF
// are bytes of the document's code page.
namespace RtfReader {

bool looksLikeRtf(QStringView source);
void read(QStringView source, QTextDocument *document);
// Reads only the start of the document: at most `maxCharacters` characters
// (a paragraph mark counts as one) in at most `maxParagraphs` paragraphs,
// and stops reading the source there. True when something was left out.
bool readStart(QStringView source, QTextDocument *document, qsizetype maxCharacters, qsizetype maxParagraphs);

// The text the document would show, lines ending in CR LF.
QString toPlainText(QStringView source);
// The same for only the start of the document, bounded as readStart().
QString plainTextStart(QStringView source, qsizetype maxCharacters, qsizetype maxParagraphs, bool *cut = nullptr);

// The same, read without building a document, with where in the source the
// last paragraph or line break stands (so a caller can drop it).
struct PlainText
{
    QString text;
    qsizetype lastBreakStart = -1;
    qsizetype lastBreakLength = 0;
};
// With `firstLineOnly` the reading stops once the first non-blank line and
// whether anything follows it are known: enough for an alias, far quicker
// on a large document.
PlainText plainText(QStringView source, bool firstLineOnly = false);

} // namespace RtfReader
