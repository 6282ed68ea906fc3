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
    void playSound(const QString &file) override { sounds.append(file); }

    bool tray = true;
    bool openSucceeds = true;
    QList<QUrl> opened;
    int beeps = 0;
    QStringList sounds;
};
