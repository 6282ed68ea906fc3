#pragma once

#include <QString>
#include <QStringList>

// Which window system the program talks to, chosen once at start: a native
// Wayland client when the session is Wayland, an X11 client otherwise, unless
// the user forces one (`--platform x11|wayland`, or Qt's QT_QPA_PLATFORM).
namespace SessionPlatform {

enum class Kind { X11, Wayland };

struct Choice
{
    Kind kind = Kind::X11;
    QString qtPlatform;  // the Qt platform plugin to start with ("xcb", "wayland", or the user's own)
    QString why;         // one line for the log
    QString error;       // a --platform value the program does not know; empty when fine
};

// The environment the choice reads, so the rule can be tried without one.
struct Environment
{
    QString qtPlatform;      // QT_QPA_PLATFORM
    QString waylandDisplay;  // WAYLAND_DISPLAY
};

// `arguments` without the program's name. A --platform option wins, then
// QT_QPA_PLATFORM, then WAYLAND_DISPLAY.
Choice choose(const QStringList &arguments, const Environment &environment);

// Takes the --platform option (and its value) out of argv, so Qt does not
// read it as its own -platform, and sets QT_QPA_PLATFORM to the choice.
// Call before the application object exists.
Choice applyAtStart(int &argc, char **argv);

} // namespace SessionPlatform
