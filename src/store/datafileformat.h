#pragma once

#include <QByteArray>
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

// Text of a data file: what stands before the first NUL, as UTF-8 when it is
// valid UTF-8 and as Windows-1252 (the Windows version's code page) otherwise.
QString decode(const QByteArray &bytes);

QString sideFileName(const QString &dataFilePath, int number);
QString backupPath(const QString &dataFilePath);
QString corruptPath(const QString &dataFilePath);

} // namespace DataFileFormat
