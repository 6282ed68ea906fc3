#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>

class QTextDocument;

// Reads HTML (a web page's or a mail's copy) into the program's rich text:
// bold, italic, underline, strike, raised and lowered text, colours, fonts
// and sizes (headings included), links as their text, lists as marked and
// indented lines, tables as tab-separated lines, line breaks and paragraphs.
// Pictures, scripts and style sheets are dropped; nothing the markup names
// (file, web address, anything else) is ever opened or fetched.
//
// Qt's HTML reader slows down with the depth of nesting far more than with
// length, so markup past the bounds below is not read at all: its caller
// keeps the copy's plain text instead.
namespace HtmlImport {

inline constexpr qsizetype MaxMarkupCharacters = 1536 * 1024;
inline constexpr int MaxNesting = 128;

// Whether `html` is short and shallow enough to be read.
bool withinBounds(QStringView html);

// Reads `html` into the empty `document`, flattened as described above.
// False, with the document left empty, when the markup is past the bounds.
// `formatted` tells whether anything beyond plain text was found.
bool read(const QString &html, QTextDocument *document, bool *formatted = nullptr);

struct Result
{
    enum Outcome {
        Formatted,   // `rtf` holds the document, `plain` its text
        PlainOnly,   // nothing but text: `plain` holds it
        PastBounds,  // not read: nothing is held
    };
    Outcome outcome = PastBounds;
    QString rtf;
    QString plain;  // line breaks as CR LF
};

// The bytes of an HTML copy, in whatever encoding it came (HtmlDecoding),
// as the program's RTF source and plain text.
Result convert(QByteArrayView bytes);

} // namespace HtmlImport
