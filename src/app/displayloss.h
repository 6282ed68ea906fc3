#pragma once

#include <QString>

#include <functional>

// Qt's display platforms end the process on the spot when the connection to
// the display breaks (the compositor or X server went away), saying so in a
// warning first. That warning is the last moment to keep what is not saved
// yet: the rescue given here runs then, once, on the main thread.
namespace DisplayLoss {

// Listens for the warning from now on; earlier handlers still get every message.
void install(std::function<void()> rescue);
// No rescue any more: what it would use is about to go.
void forget();

// Whether a message is the platform's last word before it ends the process.
bool isLastWord(const QString &message);

} // namespace DisplayLoss
