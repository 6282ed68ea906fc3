#pragma once

#include <QString>

class QTextDocument;

namespace RichTextPlain {

// The characters of a document as a plain text item holds them: paragraphs
// and line breaks as CR LF.
QString plainText(const QTextDocument &document);
// The same for raw document characters (paragraph and line separators).
QString plainText(const QString &raw);

} // namespace RichTextPlain
