#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QLatin1StringView>
#include <QString>
#include <QStringView>

#include <optional>

// Shared rules of the data file layout: line breaks, trailer, integers and
// the text encoding of files from either version of the program.
namespace DataFileFormat {

inline const QString kVersion = QStringLiteral("2.3");
inline const QString kTrailerMark = QStringLiteral("SK: ");
inline const QString kLineBreak = QStringLiteral("\r\n");
inline constexpr int kMaxSideFiles = 1000;

// Number of CR LF separated pieces, not counting the empty one after a final
// CR LF; an empty text has none.
int lineCount(QStringView text);

// Decimal integer as the reader accepts it: optional leading blanks, an
// optional sign, digits, nothing after, within 32 bits.
std::optional<int> parseInteger(QStringView line);
std::optional<int> parseInteger(QLatin1StringView line);

// Text of a data file: what stands before the first NUL, as UTF-8 when it is
// valid UTF-8 and as Windows-1252 (the Windows version's code page) otherwise.
QString decode(const QByteArray &bytes);

// The same rule in parts, so that a large file is decoded field by field
// rather than held twice, as bytes and as one whole text.
enum class Encoding { Utf8, Windows1252 };
QByteArrayView readablePart(QByteArrayView bytes);  // what stands before the first NUL
Encoding encodingOf(QByteArrayView readable);
bool isValidUtf8(QByteArrayView bytes);
QString decode(QByteArrayView piece, Encoding encoding);
// Length in UTF-16 code units of the decoded piece, without decoding it.
qsizetype decodedLength(QByteArrayView piece, Encoding encoding);

QString sideFileName(const QString &dataFilePath, int number);
QString backupPath(const QString &dataFilePath);
QString corruptPath(const QString &dataFilePath);

} // namespace DataFileFormat
