#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// Every file the program writes goes through here: to a temporary file in the
// same folder, flushed, then renamed over the old one, readable by the owner
// only. A failure throws ProgramError and leaves the old file whole.
namespace SafeFile {

// The temporary file of a write to `path` carries this mark before its six
// random characters, so one left behind by a kill is known for ours.
inline const QString kTemporaryMark = QStringLiteral(".sk-tmp-");

void writeBytes(const QString &path, const QByteArray &bytes);
void writeImage(const QString &path, const QImage &image, const char *format);
void copy(const QString &from, const QString &to);

} // namespace SafeFile
