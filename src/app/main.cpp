#include "app/application.h"
#include "app/apppaths.h"
#include "app/commandclient.h"
#include "app/commandline.h"
#include "app/commandrunner.h"
#include "app/commandserver.h"
#include "app/displayloss.h"
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
#include "platform/sessionplatform.h"
#include "platform/wayland/globalshortcutsportal.h"
#include "platform/wayland/waylandclipboard.h"
#include "platform/wayland/waylanddesktop.h"
#include "platform/wayland/waylandkeygrabber.h"
#include "platform/x11/x11keygrabber.h"
#include "platform/x11/x11desktop.h"

#include <QFile>

#include <cstdio>
#include <memory>

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

// The desktop seam of the session the program started in.
struct Session
{
    std::unique_ptr<Desktop> desktop;
    std::unique_ptr<Clipboard> clipboard;
    std::unique_ptr<KeyGrabber> keyGrabber;
    QStringList shortcomings;  // what this session cannot do, for the user
    QStringList notes;         // how it does what it does, for the log
};

Session openSession(SessionPlatform::Kind kind)
{
    Session session;
    if (kind == SessionPlatform::Kind::X11) {
        session.desktop = std::make_unique<X11Desktop>();
        session.clipboard = std::make_unique<QtClipboard>();
        session.keyGrabber = std::make_unique<X11KeyGrabber>();
        return session;
    }
    auto desktop = std::make_unique<WaylandDesktop>();
    WaylandDesktop &waylandDesktop = *desktop;
    session.shortcomings = desktop->shortcomings();
    session.desktop = std::move(desktop);
    auto clipboard = std::make_unique<WaylandClipboard>();
    if (clipboard->start()) {
        qInfo("scrapkeeper: the clipboard through %s", qPrintable(clipboard->protocol()));
        session.clipboard = std::move(clipboard);
    } else {
        // Qt sees the clipboard only while one of our windows has the focus.
        session.clipboard = std::make_unique<QtClipboard>();
        session.shortcomings.prepend(
            QStringLiteral("This desktop lets no program watch the clipboard, so what you copy in other programs "
                           "does not become an item. On GNOME, start Scrapkeeper with --platform x11 to run it "
                           "through XWayland, where it can."));
    }
    if (waylandDesktop.portalKeyboard())
        session.notes << QStringLiteral("keys through the desktop portal's remote control; the desktop asks once to "
                                        "allow it");
    // Where the desktop portal offers global shortcuts the hotkey is bound there.
    GlobalShortcutsPortal *portal = nullptr;
    if (GlobalShortcutsPortal::offeredOn(QDBusConnection::sessionBus())) {
        portal = new GlobalShortcutsPortal(QDBusConnection::sessionBus());
        waylandDesktop.setHotkeysThroughPortal(true);
        session.notes << QStringLiteral("the hotkey through the desktop portal's global shortcuts");
    }
    auto grabber = std::make_unique<WaylandKeyGrabber>(portal);
    if (portal)
        portal->setParent(grabber.get());
    session.keyGrabber = std::move(grabber);
    if (!SwayIpc::socketPath().isEmpty())
        session.notes << QStringLiteral("the window in front and its place from the compositor's socket %1")
                             .arg(SwayIpc::socketPath());
    else
        session.notes << QStringLiteral("the compositor tells no window's place: the pop-up list opens in the "
                                        "middle of the screen");
    if (!portal)
        session.notes << QStringLiteral(
            "Programs cannot take keys for themselves on Wayland: bind a key in your desktop's keyboard settings to "
            "the command \"scrapkeeper popup\" to open the list.");
    return session;
}

} // namespace

int main(int argc, char *argv[])
{
    // Before the application object: the choice decides which window system
    // Qt joins, and its option is no command for the running program.
    const SessionPlatform::Choice platform = SessionPlatform::applyAtStart(argc, argv);
    if (isCommand(argc, argv))
        return runCommand(argc, argv);

    Application app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("scrapkeeper"));
    QApplication::setApplicationVersion(QStringLiteral("2.3"));
    // Closing the configuration window only sends the program to the tray.
    QApplication::setQuitOnLastWindowClosed(false);

    QtMessageBoxService messages;
    ErrorHandler::install(&messages);
    qInfo("scrapkeeper: runs as %s client: %s", platform.kind == SessionPlatform::Kind::Wayland ? "a Wayland" : "an X11",
          qPrintable(platform.why));
    if (!platform.error.isEmpty())
        messages.error(platform.error);

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
    Session session = openSession(platform.kind);
    Desktop &desktop = *session.desktop;
    Clipboard &clipboard = *session.clipboard;
    KeyGrabber &keyGrabber = *session.keyGrabber;
    QtFileDialogs fileDialogs;
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

    // A compositor or X server that goes away takes our windows with it.
    // When our own clipboard connection hears of it first, leave as the
    // tray's Exit does; when Qt's hears of it, Qt ends the process on the
    // spot, so what the exit would save is saved before.
    // What the desktop's portal refuses is said where the user looks.
    const auto tell = [&program](const QString &title, const QString &text) {
        qWarning("scrapkeeper: %s", qPrintable(text));
        program.trayIcon().showNotice(title, text);
    };
    if (auto *grabber = qobject_cast<WaylandKeyGrabber *>(&keyGrabber)) {
        QObject::connect(grabber, &WaylandKeyGrabber::refused, &program, [tell](const QString &why) {
            tell(QStringLiteral("Hotkey not bound"),
                 why + QStringLiteral(" Bind a key to \"scrapkeeper popup\" instead."));
        });
    }
    if (auto *wayland = dynamic_cast<WaylandDesktop *>(&desktop); wayland && wayland->portalKeyboard()) {
        QObject::connect(wayland->portalKeyboard(), &RemoteDesktopKeyboard::refused, &program,
                         [tell](const QString &why) {
                             tell(QStringLiteral("Keys cannot be sent"),
                                  why + QStringLiteral(" Chosen items are put on the clipboard: paste them "
                                                       "yourself with Ctrl+V."));
                         });
    }
    if (auto *watched = qobject_cast<WaylandClipboard *>(&clipboard))
        QObject::connect(watched, &WaylandClipboard::compositorGone, &program, &Scrapkeeper::quit);
    DisplayLoss::install([&program, &messages, &lock] {
        messages.displayLost();
        program.saveBeforeLeaving();
        lock.release();
    });

    program.initialise();
    // Commands from the shell are heard from here on, also during the
    // start-up's questions; only the lock's holder listens.
    CommandRunner commands(program);
    CommandServer commandServer(paths.commandSocket, commands);
    if (lock.held() && !commandServer.listen())
        std::fprintf(stderr, "scrapkeeper: commands from the shell cannot be heard on %s: %s\n",
                     qPrintable(paths.commandSocket), qPrintable(commandServer.errorString()));
    for (const QString &line : std::as_const(session.notes))
        qInfo("scrapkeeper: %s", qPrintable(line));
    // What this desktop cannot do is said once, plainly, with what to do instead.
    for (const QString &line : std::as_const(session.shortcomings))
        qWarning("scrapkeeper: %s", qPrintable(line));
    if (!session.shortcomings.isEmpty())
        messages.information(session.shortcomings.join(QStringLiteral("\n\n")));
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
