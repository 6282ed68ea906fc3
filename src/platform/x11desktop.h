#pragma once

#include "atspifocus.h"
#include "desktop.h"

// The desktop of an X11 session (also XWayland).
class X11Desktop : public Desktop
{
public:
    X11Desktop();
    bool trayAvailable() const override;
    bool openDocument(const QUrl &url) override;
    void beep() override;
    void playSound(const QString &file) override;
    ForeignFocus GetForeignFocus() override;
    void ForceForeground(quint64 window) override;
    QPoint pointerPosition() const override;
    QRect screenGeometry() const override;

private:
    class QSoundEffect *m_sound = nullptr;
    AtspiFocus m_atspi;
};
