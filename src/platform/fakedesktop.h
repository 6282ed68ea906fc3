#pragma once

#include "desktop.h"

#include <QList>
#include <QStringList>

// A scripted desktop for tests: records what the program asked of it.
class FakeDesktop : public Desktop
{
public:
    bool trayAvailable() const override { return tray; }
    bool openDocument(const QUrl &url) override
    {
        opened.append(url);
        return openSucceeds;
    }
    void beep() override { ++beeps; }
    ForeignFocus GetForeignFocus() override { return focus; }
    void ForceForeground(quint64 window) override { foregrounded.append(window); }
    QPoint pointerPosition() const override { return pointer; }
    QRect screenGeometry() const override { return screen; }
    void playSound(const QString &file) override { sounds.append(file); }

    bool tray = true;
    bool openSucceeds = true;
    QList<QUrl> opened;
    int beeps = 0;
    ForeignFocus focus;
    QList<quint64> foregrounded;
    QPoint pointer{100, 100};
    QRect screen{0, 0, 1280, 800};
    QStringList sounds;
};
