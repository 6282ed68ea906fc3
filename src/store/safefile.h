#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// Every file the program writes goes through here: to a temporary file in the
// same folder, flushed, then renamed over the old one, readable by the owner
// only. A failure throws ProgramError and leaves the old file whole.
namespace SafeFile {

void writeBytes(const QString &path, const QByteArray &bytes);
void writeImage(const QString &path, const QImage &image, const char *format);
void copy(const QString &from, const QString &to);

} // namespace SafeFile
