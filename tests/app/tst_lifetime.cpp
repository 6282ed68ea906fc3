#include "auxiliary/aboutdialog.h"
#include "auxiliary/helpwindow.h"
#include "common/errorhandler.h"
#include "popup/popuplist.h"
#include "store/collection.h"
#include "tray/trayicon.h"
#include "tray/traymenu.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QSettings>
#include <QSystemTrayIcon>
#include <QTest>

#include "corefixture.h"

using namespace TestSupport;

Q_DECLARE_METATYPE(FakeConfigView::Shown)


namespace {

// A help page long enough that a topic near its end needs scrolling, with
// links and a picture that lead away from the help's folder.
const QByteArray kHelpPage = [] {
    QByteArray page = "<html><head><title>Fixture Help</title></head><body>"
                      "<h1 id=\"Introduction\">Introduction</h1>"
                      "<p><a id=\"web\" href=\"http://127.0.0.1:9/remote.html\">web</a> "
                      "<a href=\"file:///etc/hostname\">elsewhere</a> "
                      "<a href=\"../quickpaste.html\">example</a> "
                      "<img src=\"http://127.0.0.1:9/picture.png\"></p>";
    for (int i = 0; i < 200; ++i)
        page += "<p>Filler paragraph.</p>";
    page += "<h2 id=\"Edit_More\">Edit More</h2><p>The several-item list.</p>";
    for (int i = 0; i < 60; ++i)
        page += "<p>More filler.</p>";
    return page + "</body></html>";
}();

void shipHelp(const CoreFixture &p)
{
    const QString shared = p.paths().sharedFolder;
    QVERIFY(QDir().mkpath(QDir(shared).filePath(QStringLiteral("help"))));
    TestSupport::writeFile(p.paths().helpPage(), kHelpPage);
    TestSupport::writeFile(p.paths().examplePage(),
                           "<html><head><title>Fixture Example</title></head><body>Try it here</body></html>");
}

constexpr std::uint32_t kV = 0x76;

} // namespace

class TestLifetime : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { ErrorHandler::install(nullptr); }
    void transitions_data();
    void transitions();
    void closeButtonMeansCancelOnlyWhileShown();
    void windowLeavesTheScreenWhereItCannotMinimise_data();
    void windowLeavesTheScreenWhereItCannotMinimise();
    void autoSaveWaitsForTheTray();
    void tipsGoOnFromStartToStart();
    void aboutBoxIsOneAndOpensTheHomePage();
    void pagesWithoutABrowserAreShownHere_data();
    void pagesWithoutABrowserAreShownHere();
    void helpWindowReadsOnlyItsOwnFiles();
    void cancelKeepsWhatWasCapturedBefore_data();
    void cancelKeepsWhatWasCapturedBefore();
    void trayWaitsForADialogOfOurs_data();
    void trayWaitsForADialogOfOurs();
    void minimisedUnderADialogTheProgramStaysReachable();
};

void TestLifetime::transitions_data()
{
    using S = FakeConfigView::Shown;
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<S>("shown");
    QTest::addColumn<bool>("minimised");
    QTest::addColumn<bool>("hotkey");
    QTest::newRow("start") << QStringList{} << S::Away << true << true;
    QTest::newRow("configuration") << QStringList{"configure"} << S::InFront << false << false;
    QTest::newRow("OK") << QStringList{"configure", "ok"} << S::Away << true << true;
    QTest::newRow("Cancel") << QStringList{"configure", "cancel"} << S::Away << true << true;
    QTest::newRow("restore last saved") << QStringList{"configure", "restore"} << S::InFront << false << false;
    // The window manager minimises into the tray; when it restores, it shows the window itself.
    QTest::newRow("window manager minimises") << QStringList{"configure", "wm-minimise"} << S::Away << true << true;
    QTest::newRow("and restores") << QStringList{"configure", "wm-minimise", "wm-restore"} << S::Away << false
                                  << false;
    QTest::newRow("quick list off") << QStringList{"quick-list-off"} << S::Away << true << false;
}

void TestLifetime::transitions()
{
    QFETCH(QStringList, events);
    QFETCH(FakeConfigView::Shown, shown);
    QFETCH(bool, minimised);
    QFETCH(bool, hotkey);
    CoreFixture p;
    p.returningUser();
    Scrapkeeper &program = p.start();
    for (const QString &event : events) {
        if (event == QLatin1String("configure"))
            program.showConfiguration();
        else if (event == QLatin1String("ok"))
            program.acceptRequested();
        else if (event == QLatin1String("cancel"))
            program.discardRequested(false);
        else if (event == QLatin1String("restore"))
            program.discardRequested(true);
        else if (event == QLatin1String("wm-minimise"))
            program.windowStateChanged(true);
        else if (event == QLatin1String("wm-restore"))
            program.windowStateChanged(false);
        else if (event == QLatin1String("quick-list-off"))
            program.options().set(Option::QuickListActive, false);
    }
    QCOMPARE(p.view.state, shown);
    QCOMPARE(program.isMinimisedState(), minimised);
    QCOMPARE(p.hotkeyGrabbed(), hotkey);
    QCOMPARE(program.trayIcon().isActive(), minimised && hotkey);
    QVERIFY(p.boxes.unexpected().isEmpty());
}

void TestLifetime::closeButtonMeansCancelOnlyWhileShown()
{
    CoreFixture p;
    p.returningUser();
    Scrapkeeper &program = p.start();
    QVERIFY(program.closeRequested());
    program.showConfiguration();
    program.options().set(Option::AutoSaveMinutes, 33);
    QVERIFY(!program.closeRequested());
    QVERIFY(program.isMinimisedState());
    QCOMPARE(program.options().number(Option::AutoSaveMinutes), 2);
}

void TestLifetime::windowLeavesTheScreenWhereItCannotMinimise_data()
{
    using S = FakeConfigView::Shown;
    QTest::addColumn<bool>("minimises");
    QTest::addColumn<bool>("tray");
    QTest::addColumn<bool>("hideFromTaskbar");
    QTest::addColumn<QString>("way");
    QTest::addColumn<S>("shown");
    // A compositor without a minimised state (sway) would leave the window on
    // the screen and the pop-up list off: it goes away, tray or none.
    for (const char *way : {"ok", "cancel", "close"}) {
        QTest::addRow("no minimise, tray, %s", way) << false << true << true << QString::fromLatin1(way) << S::Away;
        QTest::addRow("no minimise, no tray, %s", way) << false << false << true << QString::fromLatin1(way) << S::Away;
        QTest::addRow("no minimise, kept in taskbar, %s", way)
            << false << true << false << QString::fromLatin1(way) << S::Away;
    }
    // Where the window manager minimises, the iconified window stays the way
    // back in without a tray icon.
    QTest::newRow("minimise, no tray, ok") << true << false << true << QStringLiteral("ok") << S::Iconified;
    QTest::newRow("minimise, kept in taskbar, close") << true << true << false << QStringLiteral("close") << S::Iconified;
    QTest::newRow("minimise, tray, cancel") << true << true << true << QStringLiteral("cancel") << S::Away;
}

void TestLifetime::windowLeavesTheScreenWhereItCannotMinimise()
{
    QFETCH(bool, minimises);
    QFETCH(bool, tray);
    QFETCH(bool, hideFromTaskbar);
    QFETCH(QString, way);
    QFETCH(FakeConfigView::Shown, shown);
    CoreFixture p;
    p.returningUser();
    p.desktop.minimises = minimises;
    p.desktop.tray = tray;
    Scrapkeeper &program = p.start();
    program.options().set(Option::HideFromTaskbar, hideFromTaskbar);
    program.showConfiguration();
    QCOMPARE(p.view.state, FakeConfigView::Shown::InFront);
    if (way == QLatin1String("ok"))
        program.acceptRequested();
    else if (way == QLatin1String("cancel"))
        program.discardRequested(false);
    else
        QVERIFY(!program.closeRequested());
    QCOMPARE(p.view.state, shown);
    // The pop-up list is armed: the hotkey, and so `scrapkeeper popup`, open it.
    QVERIFY(program.isMinimisedState());
    QVERIFY(p.hotkeyGrabbed());
    p.desktop.focus.window = 42;
    program.onHotkeyPressed(0);
    QVERIFY(program.popup());
    program.popup()->close();
    QVERIFY(p.boxes.unexpected().isEmpty());
}

void TestLifetime::tipsGoOnFromStartToStart()
{
    CoreFixture p;
    p.returningUser();
    // Each showing answers the tip it was on; the user reads one and closes.
    QList<int> shown;
    bool keepShowing = true;
    p.tipShower = [&](int index, bool showOnStart) {
        shown << index;
        return Scrapkeeper::TipChoice{index, keepShowing && showOnStart};
    };
    Scrapkeeper *program = &p.start();
    // And once more from the tray's entry.
    program->trayIcon().menu()->findChild<QAction *>(QStringLiteral("TipOfTheDay1"))->trigger();
    program->shutDown();
    p.core.reset();
    keepShowing = false;  // "Show tips on startup" unticked at the next start
    program = &p.start();
    program->shutDown();
    p.core.reset();
    p.start();
    QCOMPARE(shown, (QList<int>{0, 1, 2}));
    QVERIFY(!p.core->options().flag(Option::TipOnStart));
    QCOMPARE(p.core->options().number(Option::NextTip), 3);
}

void TestLifetime::aboutBoxIsOneAndOpensTheHomePage()
{
    CoreFixture p;
    p.returningUser();
    Scrapkeeper &program = p.start();
    const auto aboutBoxes = [] {
        QList<AboutDialog *> boxes;
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (auto *box = qobject_cast<AboutDialog *>(window); box && box->isVisible())
                boxes << box;
        }
        return boxes;
    };
    emit program.trayIcon().menu()->aboutRequested();
    emit program.trayIcon().menu()->aboutRequested();  // brought forward, not a second one
    QCOMPARE(aboutBoxes().size(), 1);
    AboutDialog *box = aboutBoxes().first();
    QVERIFY(box->findChild<QLabel *>(QStringLiteral("Version"))->text().contains(QStringLiteral("2.3")));

    emit box->homePageRequested(AboutDialog::homePage());
    QCOMPARE(p.desktop.opened, QList<QUrl>{AboutDialog::homePage()});
    p.desktop.openSucceeds = false;
    emit box->homePageRequested(AboutDialog::homePage());
    QCOMPARE(p.boxes.shown().size(), 1);
    QCOMPARE(p.boxes.shown().first().text, QStringLiteral("Error launching default browser"));
}

void TestLifetime::pagesWithoutABrowserAreShownHere_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("scrolled");
    QTest::newRow("help at a topic") << "help" << "Fixture Help" << true;
    QTest::newRow("example page") << "example" << "Fixture Example" << false;
    QTest::newRow("first run's example page") << "welcome" << "Fixture Example" << false;
}

void TestLifetime::pagesWithoutABrowserAreShownHere()
{
    QFETCH(QString, how);
    QFETCH(QString, title);
    QFETCH(bool, scrolled);
    CoreFixture p;
    shipHelp(p);
    p.desktop.openSucceeds = false;  // a desktop with no browser
    if (how == QLatin1String("welcome")) {
        p.boxes.answerNext(MessageBoxService::Yes);
        p.start();
    } else {
        p.returningUser();
        Scrapkeeper &program = p.start();
        if (how == QLatin1String("help"))
            program.openHelp(QStringLiteral("Edit_More"));
        else
            program.trayIcon().menu()->findChild<QAction *>(QStringLiteral("ExamplePage1"))->trigger();
    }
    QVERIFY(!p.desktop.opened.isEmpty());  // the desktop was asked first
    HelpWindow *window = p.core->helpWindow();
    QVERIFY(window);
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QCOMPARE(window->windowTitle(), title);
    QCOMPARE(window->notice(), HelpWindow::NoBrowserNotice);
    // No error box sends the user to a browser they do not have.
    for (const auto &box : p.boxes.shown())
        QVERIFY2(box.icon != MessageBoxService::Icon::Error, qPrintable(box.text));
    const int top = window->browser()->verticalScrollBar()->value();
    QCOMPARE(top > 0, scrolled);
    if (scrolled) {
        const QTextCursor shown = window->browser()->cursorForPosition(QPoint(5, 5));
        QCOMPARE(shown.block().text(), QStringLiteral("Edit More"));
    }
}

void TestLifetime::helpWindowReadsOnlyItsOwnFiles()
{
    CoreFixture p;
    shipHelp(p);
    p.desktop.openSucceeds = false;
    p.returningUser();
    Scrapkeeper &program = p.start();
    program.openHelp(QStringLiteral("Introduction"));
    HelpWindow *window = p.core->helpWindow();
    QVERIFY(window);
    QTextBrowser *browser = window->browser();
    QVERIFY(!browser->openExternalLinks());
    const QUrl page = browser->source();

    // Nothing from the network or from outside the help's folder is read.
    for (const QUrl &address : {QUrl(QStringLiteral("http://127.0.0.1:9/picture.png")),
                                QUrl(QStringLiteral("https://example.org/")), QUrl(QStringLiteral("file:///etc/hostname")),
                                QUrl(QStringLiteral("../../../../../../etc/hostname"))})
        QVERIFY2(browser->loadResource(QTextDocument::ImageResource, address).isNull(), qPrintable(address.toString()));
    QVERIFY(!browser->loadResource(QTextDocument::HtmlResource, QUrl(QStringLiteral("../quickpaste.html"))).isNull());

    // A web link is not followed, and the window says so.
    emit browser->anchorClicked(QUrl(QStringLiteral("http://127.0.0.1:9/remote.html")));
    QCOMPARE(browser->source(), page);
    QVERIFY(window->notice().contains(QStringLiteral("http://127.0.0.1:9/remote.html")));
    emit browser->anchorClicked(QUrl(QStringLiteral("file:///etc/hostname")));
    QCOMPARE(browser->source(), page);
    // A page of the help's own folder is.
    emit browser->anchorClicked(QUrl(QStringLiteral("../quickpaste.html")));
    QCOMPARE(browser->source().toLocalFile(), QFileInfo(p.paths().examplePage()).canonicalFilePath());
    QCOMPARE(window->windowTitle(), QStringLiteral("Fixture Example"));

    // One window, brought forward with the next topic.
    program.openHelp(QStringLiteral("Edit_More"));
    QCOMPARE(p.core->helpWindow(), window);
    QCOMPARE(browser->source().fragment(), QStringLiteral("Edit_More"));

    // A missing help file is said, not passed over.
    QFile::remove(p.paths().helpPage());
    p.boxes.clear();
    program.openHelp(QStringLiteral("Introduction"));
    QCOMPARE(p.boxes.shown().size(), 1);
    QVERIFY(p.boxes.shown().first().text.contains(QStringLiteral("help")));
}

void TestLifetime::autoSaveWaitsForTheTray()
{
    CoreFixture p;
    p.returningUser();
    Scrapkeeper &program = p.start();
    const QString data = QDir(p.paths().programFolder).filePath(QStringLiteral("data.db"));
    program.showConfiguration();
    program.collection().addNewItem(false, textItem(QStringLiteral("captured")));
    program.collection().setCaptureModified();
    program.autoSave();
    QVERIFY(!readFile(data).contains("captured"));
    program.windowStateChanged(true);
    program.autoSave();
    QVERIFY(readFile(data).contains("captured"));
    QVERIFY(!program.collection().captureModified());
}

void TestLifetime::cancelKeepsWhatWasCapturedBefore_data()
{
    QTest::addColumn<int>("autoSaveChoice");
    QTest::newRow("every few minutes") << 0;
    QTest::newRow("when the window is shown") << 1;
    QTest::newRow("only on exit") << 2;
}

void TestLifetime::cancelKeepsWhatWasCapturedBefore()
{
    QFETCH(int, autoSaveChoice);
    CoreFixture p;
    p.returningUser();
    Scrapkeeper &program = p.start();
    program.options().set(Option::AutoSaveChoice, autoSaveChoice);
    program.options().set(Option::ConfirmItemDelete, false);
    p.clipboard.offer({{"text/plain", "captured in the tray"}});
    CategoryNode *mail = program.collection().category(0);
    QCOMPARE(mail->itemCount(), 2);

    // The user opens the window, deletes an item, then takes it back.
    program.showConfiguration();
    program.treeEditor().remove({mail, mail->items.back().get()});
    program.discardChanges();
    mail = program.collection().category(0);
    QCOMPARE(mail->itemCount(), 2);
    QCOMPARE(mail->items.front()->text, QStringLiteral("captured in the tray"));
    QCOMPARE(mail->items.back()->alias, QStringLiteral("hi"));
}

void TestLifetime::trayWaitsForADialogOfOurs_data()
{
    QTest::addColumn<bool>("question");  // else the category's properties
    QTest::newRow("category properties") << false;
    QTest::newRow("delete question") << true;
}

void TestLifetime::trayWaitsForADialogOfOurs()
{
    // The example data file is current, so opening the window from the tray
    // offers to switch group lists, which frees every category. A
    // StatusNotifierItem's activation comes over the bus, past the modal
    // dialog: it must wait until the dialog's answer has landed.
    QFETCH(bool, question);
    CoreFixture p;
    p.desktop.kind = Desktop::TrayKind::StatusNotifier;
    p.returningUser();
    const QDir folder(p.paths().programFolder);
    const QString example = folder.filePath(QStringLiteral("skexdata.db"));
    const QString mine = folder.filePath(QStringLiteral("mine.db"));
    writeFile(example, CoreFixture::kOneCategory);
    writeFile(mine, QByteArray(CoreFixture::kOneCategory).replace("Mail", "Mine"));
    QSettings(p.paths().settingsFile, QSettings::IniFormat).setValue(QStringLiteral("currdb"), example);
    p.boxes.answerNext(MessageBoxService::No);  // the example file's question at start
    Scrapkeeper &program = p.start();
    QVERIFY(!program.isMinimisedState());
    p.boxes.clear();

    int activations = 0;
    const auto activate = [&] {
        ++activations;
        program.trayIcon().activate(QSystemTrayIcon::Trigger);
    };
    CategoryNode *mail = program.collection().findCategory(QStringLiteral("Mail"));
    if (question) {
        program.options().set(Option::ConfirmItemDelete, true);
        p.boxes.answerNext(MessageBoxService::Yes);
        p.boxes.setWhileShown([&](const QString &) {
            if (activations == 0)
                activate();
        });
    } else {
        CategoryProperties renamed;
        renamed.name = QStringLiteral("Post");
        p.treeDialogs.categoryAnswers.enqueue(renamed);
        // Clicked twice: one window, one question.
        p.treeDialogs.whileShown = [&] { activate(), activate(); };
    }
    // What the activation asks once it runs: switch (Yes), save the edit (Yes), this file.
    p.boxes.answerNext(MessageBoxService::Yes);
    p.boxes.answerNext(MessageBoxService::Yes);
    p.dialogs.answers << mine;

    if (question)
        program.treeEditor().remove({mail, mail->items.front().get()});
    else
        program.treeEditor().editCategory(mail);
    QVERIFY(activations > 0);
    // The answer landed on the category the dialog was opened for, in the file still current.
    QCOMPARE(program.dataFiles().currentFile(), example);
    QCOMPARE(p.boxes.shown().size(), question ? 1 : 0);
    if (question)
        QCOMPARE(mail->itemCount(), 0);
    else
        QCOMPARE(mail->name, QStringLiteral("Post"));

    // Then what the tray asked for runs, and the edit is saved before the switch.
    QCoreApplication::processEvents();
    const QStringList texts = p.boxes.texts();
    QCOMPARE(texts.size(), question ? 3 : 2);
    QVERIFY(texts[texts.size() - 2].startsWith(QStringLiteral("The example data file")));
    QCOMPARE(program.dataFiles().currentFile(), mine);
    QVERIFY(program.collection().findCategory(QStringLiteral("Mine")));
    const QByteArray saved = readFile(example);
    QVERIFY(question ? !saved.contains("hi\r\n") : saved.contains("Post\r\n"));
    QVERIFY(p.boxes.unexpected().isEmpty());
}

void TestLifetime::minimisedUnderADialogTheProgramStaysReachable()
{
    // A window manager iconifies a dialog's owner with the dialog. Gone to
    // the tray then, the program would wait in the dialog's loop with every
    // window out of sight and the list under a dialog nobody can see.
    CoreFixture p;
    p.returningUser();
    Scrapkeeper &program = p.start();
    program.showConfiguration();
    bool minimisedDuring = true;
    bool hotkeyDuring = true;
    p.treeDialogs.whileShown = [&] {
        program.windowStateChanged(true);
        minimisedDuring = program.isMinimisedState();
        hotkeyDuring = p.hotkeyGrabbed();
    };
    program.treeEditor().editCategory(program.collection().category(0));
    QVERIFY(!minimisedDuring);
    QVERIFY(!hotkeyDuring);
    // The window comes back once the event loop runs again.
    p.view.state = FakeConfigView::Shown::Iconified;
    QCoreApplication::processEvents();
    QCOMPARE(p.view.state, FakeConfigView::Shown::InFront);
    // Without a dialog the same minimise goes to the tray, as ever.
    program.windowStateChanged(true);
    QVERIFY(program.isMinimisedState());
    QVERIFY(p.hotkeyGrabbed());

    // In the tray, a hotkey press under one of our questions leaves the list closed.
    p.desktop.focus.window = 0x4200001;
    p.boxes.setWhileShown([&](const QString &) { QVERIFY(p.keys.press(kV, KeyGrabber::Ctrl)); });
    program.trayIcon().menu()->showKeyboardShortcuts();
    QVERIFY(!program.popup());
    QVERIFY(p.keys.press(kV, KeyGrabber::Ctrl));
    QVERIFY(program.popup());
    program.popup()->close();
}

QTEST_MAIN(TestLifetime)
#include "tst_lifetime.moc"
