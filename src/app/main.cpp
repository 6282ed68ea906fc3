#include "application.h"
#include "apppaths.h"
#include "errorhandler.h"
#include "instancelock.h"
#include "qtfiledialogs.h"
#include "qtmessageboxservice.h"
#include "tfrmconfig.h"
#include "unixsignals.h"

#include "platform/qtclipboard.h"
#include "platform/x11keygrabber.h"
#include "platform/x11desktop.h"

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

    X11Desktop desktop;
    QtFileDialogs fileDialogs;
    QtClipboard clipboard;
    X11KeyGrabber keyGrabber;
    TfrmConfig frmConfig({messages, fileDialogs, desktop, clipboard, keyGrabber, paths});

    // A log-off or kill leaves by the same door as the tray's Exit entry.
    UnixSignals unixSignals;
    QObject::connect(&unixSignals, &UnixSignals::terminationRequested, &frmConfig, &TfrmConfig::Exit1Click);

    frmConfig.FormCreate();
    frmConfig.startUp();
    // A signal during the start-up questions has already asked to leave.
    const int result = frmConfig.exitRequested() ? 0 : QApplication::exec();
    frmConfig.FormDestroy();
    lock.release();
    return result;
}
