#include "app/application.h"
#include "app/apppaths.h"
#include "app/commandclient.h"
#include "app/commandline.h"
#include "app/commandrunner.h"
#include "app/commandserver.h"
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

#include <QFile>

#include <cstdio>

namespace {

// A command for the running program: forwarded over its socket, answered
// here. Nothing of the program is loaded and no window opens.
int runCommand(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    const QString runtime = AppPaths::runtimeFolder();
    CommandClient client(AppPaths::commandSocketIn(runtime), AppPaths::lockFileIn(runtime));
    QFile input;
    input.open(stdin, QIODevice::ReadOnly);
    QFile output;
    output.open(stdout, QIODevice::WriteOnly);
    QFile error;
    error.open(stderr, QIODevice::WriteOnly);
    return client.run(args, &input, output, error);
}

bool isCommand(int argc, char *argv[])
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    return CommandLine::isCommand(args);
}

} // namespace

int main(int argc, char *argv[])
{
    if (isCommand(argc, argv))
        return runCommand(argc, argv);

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
    // Commands from the shell are heard from here on, also during the
    // start-up's questions; only the lock's holder listens.
    CommandRunner commands(program);
    CommandServer commandServer(paths.commandSocket, commands);
    if (lock.held() && !commandServer.listen())
        std::fprintf(stderr, "scrapkeeper: commands from the shell cannot be heard on %s: %s\n",
                     qPrintable(paths.commandSocket), qPrintable(commandServer.errorString()));
    program.startUp();
    // A signal during the start-up questions has already asked to leave.
    const int result = program.exitRequested() ? 0 : QApplication::exec();
    program.shutDown();
    // `quit` hears that the program has saved only now.
    commands.quitFinished();
    commandServer.flush();
    lock.release();
    return result;
}
