#pragma once

// The pop-up list and paste engine over a fake desktop and clipboard, with
// one category "Forms" current and a target window 7 in front.

#include "capture/clipboardmonitor.h"
#include "doubles/fakeclipboard.h"
#include "doubles/fakedesktop.h"
#include "doubles/fakekeygrabber.h"
#include "doubles/scriptedmessageboxes.h"
#include "popup/pasteengine.h"
#include "settings/options.h"
#include "store/collection.h"

struct PasteFixture
{
    class Host : public CaptureHost
    {
    public:
        QString currentCategoryName() const override { return QStringLiteral("Forms"); }
        bool applicationMinimised() const override { return true; }
        void playCaptureSound() override {}
    };

    PasteFixture()
    {
        category = collection.appendCategory(QStringLiteral("Forms"));
        collection.setCurrentCategory(category);
        monitor.join();
        target.window = 7;
        desktop.focus.window = 7;
        desktop.active = 7;
    }

    Collection collection;
    Options options;
    FakeDesktop desktop;
    FakeClipboard clipboard;
    Host host;
    ClipboardMonitor monitor{collection, options, clipboard, host};
    FakeKeyGrabber keys;
    PasteEngine engine{collection, options, desktop, clipboard, monitor, keys};
    ScriptedMessageBoxes boxes;
    ForeignFocus target;
    CategoryNode *category = nullptr;
};
