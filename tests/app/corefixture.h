#pragma once

#include "app/scrapkeeper.h"
#include "doubles/fakeclipboard.h"
#include "doubles/fakeconfigview.h"
#include "doubles/fakedesktop.h"
#include "doubles/fakekeygrabber.h"
#include "doubles/scriptedfiledialogs.h"
#include "doubles/scriptedmessageboxes.h"
#include "doubles/scriptedtreedialogs.h"

#include <QDir>
#include <QTemporaryDir>

#include <memory>

#include "scratchhome.h"
#include "testsupport.h"

// The program over a scratch home and a stand-in window: no widget anywhere.
struct CoreFixture
{
    static inline const QByteArray kOneCategory =
        "031\r\nMail\r\n0\r\n0\r\n1\r\nhi\r\nSun, Feb 18, 2001, 12:33 PM\r\n1\r\nhello\r\n0001\r\nSK: 2.3\r\n";

    explicit CoreFixture(bool tray = true)
    {
        desktop.tray = tray;
        QDir().mkpath(paths().programFolder);
    }
    AppPaths paths() const
    {
        AppPaths p = scratchPaths(home);
        if (!dataFolder.isEmpty())
            p.programFolder = dataFolder;
        return p;
    }
    Scrapkeeper &start()
    {
        core = std::make_unique<Scrapkeeper>(AppServices{boxes, dialogs, desktop, clipboard, keys, treeDialogs, paths()});
        core->attachView(view);
        core->setTipShower(tipShower);
        core->initialise();
        core->startUp();
        return *core;
    }
    bool hotkeyGrabbed() const { return keys.grabs.contains(0); }

    // A returning user: settings saved by an earlier run, one category.
    void returningUser()
    {
        TestSupport::writeFile(QDir(paths().programFolder).filePath(QStringLiteral("data.db")), kOneCategory);
        // Its first run: the welcome answered, the settings written.
        Scrapkeeper &earlier = start();
        earlier.shutDown();
        core.reset();
        boxes.clear();
        keys.grabs.clear();
    }

    QTemporaryDir home;
    QString dataFolder;  // another home's data folder, as a sync tool would share it
    ScriptedMessageBoxes boxes;
    ScriptedTreeDialogs treeDialogs;
    ScriptedFileDialogs dialogs;
    FakeDesktop desktop;
    FakeClipboard clipboard;
    FakeKeyGrabber keys;
    FakeConfigView view;
    std::unique_ptr<Scrapkeeper> core;
    Scrapkeeper::TipShower tipShower;  // none: no tip window
};
