#pragma once

#include <QString>

// Whether a path names a sound the desktop may be asked to play: a readable,
// regular file of bounded size that begins as a WAV file does (RIFF, WAVE).
// The look never blocks and reads twelve bytes at most: a folder, a pipe or a
// device is refused without being read, so no path can freeze the program.
namespace SoundFile {

// Larger files are not sounds worth loading for a short notice.
inline constexpr qint64 kMaxBytes = 32 * 1024 * 1024;

bool playable(const QString &path);

} // namespace SoundFile
