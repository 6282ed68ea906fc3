#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

class QTextDocument;

// What the window makes of the server's answer. The answer is outside input:
// it is shown as plain text only, and its last line is opened in the web
// browser only when it is a web address.
namespace VersionAnswer {

// More displayed lines than this, and the last one is the download address.
inline constexpr int kMaxShownLines = 5;

// The answer as plain text: UTF-8 when it is valid UTF-8, otherwise
// Windows-1252; every line break (CR LF, a lone CR, a lone LF) becomes one
// '\n', and other control characters are dropped.
QString text(const QByteArray &body);

// Lines as the document shows them at its width, wrapped lines counted, an
// empty last line not counted.
int displayedLineCount(QTextDocument &document);

// An http or https address with a host.
bool isWebAddress(const QUrl &url);

// With more than kMaxShownLines displayed lines, the last displayed line is
// the download address: it is taken off the document and returned. Nothing
// is taken (an empty address) with fewer lines, or when that line is not a
// web address, so no text of the answer goes unseen.
QUrl takeDownloadAddress(QTextDocument &document);

} // namespace VersionAnswer
