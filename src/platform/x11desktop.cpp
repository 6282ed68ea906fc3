#include "x11desktop.h"

#include <QApplication>
#include <QDesktopServices>
#include <QSystemTrayIcon>

bool X11Desktop::trayAvailable() const
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

bool X11Desktop::openDocument(const QUrl &url)
{
    return QDesktopServices::openUrl(url);
}

void X11Desktop::beep()
{
    QApplication::beep();
}
