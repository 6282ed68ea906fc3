#pragma once

#include <QString>

class QTextDocument;

// Writes a text document as RTF 1.x source: fonts and colours in their
// tables, paragraphs with alignment and indents, character formats, every
// character outside ASCII as \uN. What RtfReader reads back is the same
// text with the same formats.
namespace RtfWriter {

QString write(const QTextDocument &document);

} // namespace RtfWriter
