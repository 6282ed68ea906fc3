#pragma once

#include <QString>
#include <QUrl>

// The desktop seam: everything the program asks of the window system and the
// desktop session goes through this interface. The X11 implementation serves
// the real program; FakeDesktop serves tests.
class Desktop
{
public:
    virtual ~Desktop() = default;

    // Whether a notification area can host the tray icon.
    virtual bool trayAvailable() const = 0;
    // Opens a document or folder with the user's preferred program.
    virtual bool openDocument(const QUrl &url) = 0;
    virtual void beep() = 0;
    // Starts playing a sound file and returns at once; a file that cannot be played stays silent.
    virtual void playSound(const QString &file) = 0;
};
