#include "app/application.h"
#include "app/apppaths.h"
#include "common/errorhandler.h"
#include "app/instancelock.h"
#include "platform/qt/qtfiledialogs.h"
#include "platform/qt/qtmessageboxservice.h"
#include "app/scrapkeeper.h"
#include "config/configwindow.h"
#include "config/dialogs/qttreedialogs.h"
#include "app/unixsignals.h"
#include "auxiliary/tipofthedaydialog.h"
#include "tray/trayicon.h"

#include "platform/qt/qtclipboard.h"
#include "platform/x11/x11keygrabber.h"
#include "platform/x11/x11desktop.h"

int main(int argc, char *argv[])
{
    Application app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("scrapkeeper"));
    QApplication::setApplicationVersion(QStringLiteral("2.3"));
    // Closing the configuration window only sends the program to the tray.
    QApplication::setQuitOnLastWindowClosed(false);

    QtMessageBoxService messages;
    ErrorHandler::install(&messages);

    const AppPaths paths = AppPaths::resolve();
    InstanceLock lock(paths.lockFile);
    switch (lock.acquire()) {
    case InstanceLock::Result::AlreadyRunning:
        messages.error(QStringLiteral("Program already loaded."));
        return 0;
    case InstanceLock::Result::Failed:
        messages.error(QStringLiteral("Error creating mutex"));
        break;
    case InstanceLock::Result::Acquired:
        break;
    }
    paths.provideExampleDataFile();

    // Every window, and the tip of the day's tray picture, show the tray's picture.
    QApplication::setWindowIcon(TrayIcon::drawIcon(true));
    X11Desktop desktop;
    QtFileDialogs fileDialogs;
    QtClipboard clipboard;
    X11KeyGrabber keyGrabber;
    QtTreeDialogs treeDialogs(messages, fileDialogs);
    Scrapkeeper program({messages, fileDialogs, desktop, clipboard, keyGrabber, treeDialogs, paths});
    ConfigWindow window(program.collection(), program.treeEditor(), program, desktop, fileDialogs);
    treeDialogs.attach(
        program.collection(), &window, [&program](const QString &topic) { program.openHelp(topic); },
        [&program] { program.clipboardMonitor().armed = false; });
    treeDialogs.setClipboard(clipboard);
    program.attachView(window);
    program.setTipShower([](int index, bool showOnStart) {
        TipOfTheDayDialog dialog(index, showOnStart);
        dialog.exec();
        return Scrapkeeper::TipChoice{dialog.index(), dialog.showOnStart()};
    });

    // A log-off or kill leaves by the same door as the tray's Exit entry.
    UnixSignals unixSignals;
    QObject::connect(&unixSignals, &UnixSignals::terminationRequested, &program, &Scrapkeeper::quit);

    program.initialise();
    program.startUp();
    // A signal during the start-up questions has already asked to leave.
    const int result = program.exitRequested() ? 0 : QApplication::exec();
    program.shutDown();
    lock.release();
    return result;
}
