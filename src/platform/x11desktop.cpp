#include "x11desktop.h"

#include <QApplication>
#include <QDesktopServices>
#include <QSoundEffect>
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

void X11Desktop::playSound(const QString &file)
{
    if (!m_sound)
        m_sound = new QSoundEffect(qApp);
    m_sound->stop();
    m_sound->setSource(QUrl::fromLocalFile(file));
    m_sound->play();
}
