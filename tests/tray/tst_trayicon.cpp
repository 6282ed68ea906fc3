#include "app/corefixture.h"
#include "helpforwarding.h"
#include "auxiliary/newversionwindow.h"
#include "auxiliary/scriptedhttpserver.h"
#include "common/errorhandler.h"
#include "config/configwindow.h"
#include "settings/globalpastechoice.h"
#include "settings/optiontable.h"
#include "store/collection.h"
#include "tray/categorymenu.h"
#include "tray/copyitemmenu.h"
#include "tray/trayicon.h"
#include "tray/traymenu.h"
#include "popup/popuplist.h"

#include <QActionGroup>
#include <QPushButton>
#include <QLabel>
#include <QListView>
#include <QSettings>
#include <QSignalSpy>
#include <QApplication>
#include <QTest>

using namespace TestSupport;

Q_DECLARE_METATYPE(Item)
Q_DECLARE_METATYPE(Option)
Q_DECLARE_METATYPE(Desktop::TrayKind)

namespace {

// A menu as its reader sees it: "name|caption" per entry, "-" per separator.
QStringList entriesOf(const QMenu *menu)
{
    QStringList entries;
    for (const QAction *action : menu->actions())
        entries << (action->isSeparator() ? QStringLiteral("-") : action->objectName() + '|' + action->text());
    return entries;
}

QStringList captionsOf(const QMenu *menu)
{
    QStringList captions;
    for (const QAction *action : menu->actions())
        captions << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return captions;
}

QAction *entry(Scrapkeeper &program, const char *name)
{
    auto *found = program.trayIcon().menu()->findChild<QAction *>(QLatin1String(name));
    if (!found)
        qWarning("no entry %s", name);
    return found;
}

Item richItem(const QString &alias, const QString &rtf)
{
    Item item = textItem(alias);
    item.kind = ItemKind::RichText;
    item.text = rtf;
    return item;
}

Item imageItem(const QString &alias)
{
    Item item = textItem(alias);
    givePicture(item, filledPicture(4, 3));
    return item;
}

// A returning user in the tray, with the categories' items replaced by `items` (oldest first).
struct TrayFixture : CoreFixture
{
    Scrapkeeper &startWith(const QList<Item> &items, const QMap<Option, QVariant> &options = {})
    {
        returningUser();
        Scrapkeeper &program = start();
        for (auto it = options.begin(); it != options.end(); ++it)
            program.options().set(it.key(), it.value());
        Collection &collection = program.collection();
        CategoryNode *mail = collection.category(0);
        while (!mail->items.empty())
            collection.removeItem(mail->items.front().get());
        for (const Item &item : items)
            collection.insertFirstChild(mail, item);
        collection.refreshCurrentItems();
        return program;
    }

    CopyItemMenu &copyMenu() { return *core->trayIcon().menu()->copyItemMenu(); }
    QStringList copyCaptions()
    {
        emit core->trayIcon().menu()->aboutToShow();
        return captionsOf(&copyMenu());
    }
    QAction *copyEntry(int index) { return copyMenu().findChild<QAction *>(QStringLiteral("MenuItem%1").arg(index)); }
};

QList<Item> numberedItems(int count)
{
    QList<Item> items;
    for (int i = 0; i < count; ++i)
        items << textItem(QStringLiteral("item %1").arg(i));
    return items;
}

} // namespace

class TestTrayIcon : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { ErrorHandler::install(nullptr); }

    void menuEntries_data();
    void menuEntries();
    void entryStates();
    void checksFollowOptions_data();
    void checksFollowOptions();
    void globalPasteMenuNeedsTheQuickList();
    void globalPasteChoice_data();
    void globalPasteChoice();
    void globalPasteEntryFollowsOptions_data();
    void globalPasteEntryFollowsOptions();
    void keyboardShortcutsBox();
    void helpEntries();
    void checkForUpdatesOpensOneWindow();

    void copyItemListsNewest_data();
    void copyItemListsNewest();
    void copyItemShowsACaptureAtOnce();
    void copyItemPutsItemBackUncaptured_data();
    void copyItemPutsItemBackUncaptured();
    void copyItemOfEqualAliasesCopiesNewer();
    void copyItemOfAGoneAliasCopiesNothing();
    void copyItemCaptions();

    void categoryMenuListsAndChooses();
    void categoryMenuAfterRefreshAndOk();
    void categoryFromTheTrayGivesTheOpenListTheKeyboard();

    void activationOpensConfiguration_data();
    void activationOpensConfiguration();
    void menuOnlyWhileWindowHidden_data();
    void menuOnlyWhileWindowHidden();
    void toolTipIsCut();
    void menuPictureStandsInForTheIcon();
    void menuPictureInTheWindow();
};

void TestTrayIcon::menuEntries_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QStringList>("entries");
    QTest::newRow("tray menu") << "stpm"
                               << QStringList{"Options1|&Configuration...",
                                              "Help1|&Help",
                                              "Exit1|E&xit Scrapkeeper",
                                              "-",
                                              "Active1|&Quick List Active",
                                              "-",
                                              "AutoText1|Auto Capture &Text",
                                              "AutoBmp1|Auto Capture &Images",
                                              "-",
                                              "GlobalPasteMethod1|Set Global Paste Method",
                                              "-",
                                              "Copyitem1|Copy Item",
                                              "Setcurrentcat1|Set Current Category"};
    QTest::newRow("help") << "Help1"
                          << QStringList{"TipOfTheDay1|&Tip Of The Day...",
                                         "KeyboardShortcuts1|&Keyboard Shortcuts",
                                         "-",
                                         "HelpTopics1|Help Topics...",
                                         "ExamplePage1|Example Page",
                                         "-",
                                         "CheckForNewVersion1|Check for &Updates",
                                         "About1|&About Scrapkeeper v2.3"};
    QTest::newRow("global paste method") << "GlobalPasteMethod1"
                                         << QStringList{"Overwrite1|Simulate Ctrl-V", "EnterKeystrokes1|Enter Keystrokes",
                                                        "InsertText1|Insert Text", "-", "Disable1|Disable"};
}

void TestTrayIcon::menuEntries()
{
    QFETCH(QString, menu);
    QFETCH(QStringList, entries);
    CoreFixture f;
    f.returningUser();
    TrayMenu *tray = f.start().trayIcon().menu();
    const QMenu *shown = menu == QLatin1String("stpm") ? tray : tray->findChild<QMenu *>(menu);
    QVERIFY(shown);
    QCOMPARE(shown->objectName(), menu);
    QCOMPARE(entriesOf(shown), entries);
}

void TestTrayIcon::entryStates()
{
    CoreFixture f;
    f.returningUser();
    Scrapkeeper &program = f.start();
    TrayMenu *menu = program.trayIcon().menu();
    QCOMPARE(menu->defaultAction(), entry(program, "Options1"));
    QVERIFY(entry(program, "TipOfTheDay1")->isEnabled());
    QVERIFY(entry(program, "CheckForNewVersion1")->isEnabled());
    QVERIFY(entry(program, "About1")->isEnabled());
    const QStringList radios{"Overwrite1", "EnterKeystrokes1", "InsertText1", "Disable1"};
    for (const QString &name : radios) {
        QAction *radio = entry(program, qPrintable(name));
        QVERIFY(radio->isCheckable());
        QVERIFY(radio->actionGroup() && radio->actionGroup()->isExclusive());
        QCOMPARE(radio->actionGroup(), entry(program, "Overwrite1")->actionGroup());
    }
    QVERIFY(entry(program, "Disable1")->isChecked());
    QVERIFY(entry(program, "Active1")->isChecked());
}

void TestTrayIcon::checksFollowOptions_data()
{
    QTest::addColumn<Option>("option");
    QTest::addColumn<QString>("name");
    QTest::newRow("quick list") << Option::QuickListActive << "Active1";
    QTest::newRow("text capture") << Option::CaptureText << "AutoText1";
    QTest::newRow("image capture") << Option::CaptureImages << "AutoBmp1";
}

void TestTrayIcon::checksFollowOptions()
{
    QFETCH(Option, option);
    QFETCH(QString, name);
    CoreFixture f;
    f.returningUser();
    Scrapkeeper &program = f.start();
    QAction *action = entry(program, qPrintable(name));
    QVERIFY(action->isChecked());
    program.options().set(option, false);
    QVERIFY(!action->isChecked());
    action->trigger();
    QVERIFY(program.options().flag(option));
    action->trigger();
    QVERIFY(!program.options().flag(option));
    // The choice made in the menu is what the settings file keeps.
    program.acceptChanges();
    QCOMPARE(QSettings(f.paths().settingsFile, QSettings::IniFormat).value(OptionTable::def(option).name).toInt(), 0);
}

void TestTrayIcon::globalPasteMenuNeedsTheQuickList()
{
    CoreFixture f;
    f.returningUser();
    Scrapkeeper &program = f.start();
    QAction *method = entry(program, "GlobalPasteMethod1");
    QVERIFY(method->isEnabled());
    entry(program, "Active1")->trigger();
    QVERIFY(!program.options().flag(Option::QuickListActive));
    QVERIFY(!method->isEnabled());
    program.options().set(Option::QuickListActive, true);
    QVERIFY(method->isEnabled());
}

void TestTrayIcon::globalPasteChoice_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("global");
    QTest::addColumn<int>("method");
    QTest::newRow("Ctrl-V") << "Overwrite1" << true << 0;
    QTest::newRow("keystrokes") << "EnterKeystrokes1" << true << 1;
    QTest::newRow("insert") << "InsertText1" << true << 2;
    // Off, with "Enter keystrokes" left chosen for the next time.
    QTest::newRow("disable") << "Disable1" << false << 1;
}

void TestTrayIcon::globalPasteChoice()
{
    QFETCH(QString, name);
    QFETCH(bool, global);
    QFETCH(int, method);
    CoreFixture f;
    f.returningUser();
    Scrapkeeper &program = f.start();
    // Start from something each row changes.
    program.options().set(Option::GlobalPaste, !global);
    program.options().set(Option::GlobalPasteMethod, method == 0 ? 2 : 0);
    entry(program, qPrintable(name))->trigger();
    QCOMPARE(program.options().flag(Option::GlobalPaste), global);
    QCOMPARE(program.options().number(Option::GlobalPasteMethod), method);
    QVERIFY(entry(program, qPrintable(name))->isChecked());
}

void TestTrayIcon::globalPasteEntryFollowsOptions_data()
{
    QTest::addColumn<bool>("global");
    QTest::addColumn<int>("method");
    QTest::addColumn<QString>("checked");
    QTest::newRow("off, whatever the method") << false << 2 << "Disable1";
    QTest::newRow("Ctrl-V") << true << 0 << "Overwrite1";
    QTest::newRow("keystrokes") << true << 1 << "EnterKeystrokes1";
    QTest::newRow("insert") << true << 2 << "InsertText1";
}

void TestTrayIcon::globalPasteEntryFollowsOptions()
{
    QFETCH(bool, global);
    QFETCH(int, method);
    QFETCH(QString, checked);
    CoreFixture f;
    f.returningUser();
    Scrapkeeper &program = f.start();
    program.options().set(Option::GlobalPasteMethod, method);
    program.options().set(Option::GlobalPaste, global);
    QVERIFY(entry(program, qPrintable(checked))->isChecked());
    QCOMPARE(GlobalPasteChoice::current(program.options()), global ? method : GlobalPasteChoice::Disabled);
}

void TestTrayIcon::keyboardShortcutsBox()
{
    CoreFixture f;
    f.returningUser();
    Scrapkeeper &program = f.start();
    entry(program, "KeyboardShortcuts1")->trigger();
    QCOMPARE(f.boxes.shown().size(), 1);
    const auto &box = f.boxes.shown().front();
    QCOMPARE(box.icon, MessageBoxService::Icon::Information);
    QCOMPARE(box.title, QStringLiteral("Shortcuts"));
    QCOMPARE(box.buttons, MessageBoxService::Buttons(MessageBoxService::Ok));
    QCOMPARE(box.text, QStringLiteral("These shortcuts apply when the pop-up list is showing:\r\n\r\n"
                                      "ALT:\tswitch categories\r\n"
                                      "ESC:\tclose the list\r\n"
                                      "DEL:\tdelete selected item(s)\r\n"
                                      "CTRL-Z:\tput back the item(s) deleted last\r\n"
                                      "CTRL-M:\tmove the list window\r\n"
                                      "CTRL-D:\tdisable the Quick List feature\r\n"
                                      "CTRL-C:\tbring up the Configuration window\r\n"
                                      "CTRL-E:\tedit the selected text or image item\r\n"
                                      "CTRL-P:\tshow/hide preview window\r\n"
                                      "CTRL-T:\tshow/hide tooltips window\r\n"
                                      "CTRL-G:\tchange Global Pasting Method\r\n"
                                      "CTRL-F:\tsearch all categories (ESC ends the search)"));
}

void TestTrayIcon::helpEntries()
{
    CoreFixture f;
    f.returningUser();
    Scrapkeeper &program = f.start();
    entry(program, "HelpTopics1")->trigger();
    QCOMPARE(f.desktop.opened.size(), 1);
    const QUrl help = helpForwardingTarget(f.desktop.opened.last());
    QCOMPARE(help.fragment(), QStringLiteral("Introduction"));
    QCOMPARE(help.toLocalFile(), f.paths().helpPage());

    entry(program, "ExamplePage1")->trigger();
    QCOMPARE(f.desktop.opened.last().toLocalFile(), f.paths().examplePage());

    entry(program, "About1")->trigger();
    const QWidgetList windows = QApplication::topLevelWidgets();
    QVERIFY(std::any_of(windows.cbegin(), windows.cend(), [](const QWidget *window) {
        return window->objectName() == QStringLiteral("AboutBox") && window->isVisible();
    }));

    // While the about box is shown, "&Configuration..." only brings it forward.
    entry(program, "Options1")->trigger();
    QCOMPARE(f.view.state, FakeConfigView::Shown::Away);
    QVERIFY(program.isMinimisedState());
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->objectName() == QStringLiteral("AboutBox"))
            window->close();
    }
    entry(program, "Options1")->trigger();
    QCOMPARE(f.view.state, FakeConfigView::Shown::InFront);
    entry(program, "Exit1")->trigger();
    QVERIFY(program.exitRequested());
}

void TestTrayIcon::checkForUpdatesOpensOneWindow()
{
    ScriptedHttpServer server;
    server.answerWith(ScriptedHttpServer::ok("You have the newest version."));
    CoreFixture f;
    f.returningUser();
    Scrapkeeper &program = f.start();
    QVERIFY(program.isMinimisedState());
    VersionCheckServer local;
    local.host = QStringLiteral("127.0.0.1");
    local.port = server.port();
    program.versionCheck().setServer(local);

    entry(program, "CheckForNewVersion1")->trigger();
    NewVersionWindow *window = program.versionCheck().window();
    QVERIFY(window);
    QSignalSpy ended(window, &NewVersionWindow::checkEnded);
    // A second command while the window is open does nothing.
    entry(program, "CheckForNewVersion1")->trigger();
    QCOMPARE(program.versionCheck().window(), window);
    QTRY_COMPARE_WITH_TIMEOUT(ended.size(), 1, 5000);
    QCOMPARE(server.connections, 1);

    // Leaving the window hides the application's window again.
    f.view.state = FakeConfigView::Shown::InFront;
    QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("OKbtn")), Qt::LeftButton);
    QCOMPARE(f.view.state, FakeConfigView::Shown::Away);
    f.view.state = FakeConfigView::Shown::InFront;
    QTRY_VERIFY_WITH_TIMEOUT(!program.versionCheck().window(), 5000);
    QTRY_COMPARE_WITH_TIMEOUT(f.view.state, FakeConfigView::Shown::Away, 5000);
}

void TestTrayIcon::copyItemListsNewest_data()
{
    QTest::addColumn<int>("items");
    QTest::addColumn<int>("size");
    QTest::addColumn<QStringList>("captions");
    QStringList newest25;
    for (int i = 39; i >= 15; --i)
        newest25 << QStringLiteral("item %1").arg(i);
    QTest::newRow("40 items, 25 entries") << 40 << 25 << newest25;
    QTest::newRow("3 items") << 3 << 25 << QStringList{"item 2", "item 1", "item 0"};
    QTest::newRow("a smaller menu") << 40 << 2 << QStringList{"item 39", "item 38"};
    QTest::newRow("empty category") << 0 << 25 << QStringList{};
}

void TestTrayIcon::copyItemListsNewest()
{
    QFETCH(int, items);
    QFETCH(int, size);
    QFETCH(QStringList, captions);
    TrayFixture f;
    f.startWith(numberedItems(items), {{Option::CopyMenuSize, size}});
    QCOMPARE(f.copyCaptions(), captions);
    for (int i = 0; i < captions.size(); ++i)
        QCOMPARE(f.copyEntry(i)->text(), captions[i]);
}

void TestTrayIcon::copyItemShowsACaptureAtOnce()
{
    TrayFixture f;
    Scrapkeeper &program = f.startWith(numberedItems(2));
    QCOMPARE(f.copyCaptions(), (QStringList{"item 1", "item 0"}));
    f.clipboard.offer({{"text/plain", "just copied"}});
    QCOMPARE(program.collection().currentItems().size(), 3);
    QVERIFY(f.copyMenu().isStale());
    QCOMPARE(f.copyCaptions(), (QStringList{"just copied", "item 1", "item 0"}));
    QVERIFY(!f.copyMenu().isStale());
}

void TestTrayIcon::copyItemPutsItemBackUncaptured_data()
{
    QTest::addColumn<Item>("item");
    QTest::addColumn<QStringList>("formats");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("rtf");
    QTest::newRow("text") << textItem("line one\r\nline two") << QStringList{"text/plain"}
                          << QByteArray("line one\nline two") << QByteArray();
    QTest::newRow("rich text") << richItem("rich", "{\\rtf1\\ansi hello \\b world\\b0}")
                               << QStringList{"text/html", "text/plain", "text/rtf"} << QByteArray("hello world")
                               << QByteArray("{\\rtf1\\ansi hello \\b world\\b0}");
    QTest::newRow("image") << imageItem("picture") << QStringList{"application/x-qt-image"} << QByteArray()
                           << QByteArray();
}

void TestTrayIcon::copyItemPutsItemBackUncaptured()
{
    QFETCH(Item, item);
    QFETCH(QStringList, formats);
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, rtf);
    TrayFixture f;
    Scrapkeeper &program = f.startWith({textItem("older"), item});
    f.copyCaptions();
    f.copyEntry(0)->trigger();

    QStringList offered = f.clipboard.formats();
    offered.sort();
    QCOMPARE(offered, formats);
    QCOMPARE(f.clipboard.data(QStringLiteral("text/plain")).trimmed(), text);
    QCOMPARE(f.clipboard.data(QStringLiteral("text/rtf")), rtf);
    // Nothing was captured: the same two items, and the monitor ready for the user's next copy.
    QCOMPARE(program.collection().category(0)->itemCount(), 2);
    QVERIFY(!program.collection().captureModified());
    QCOMPARE(program.clipboardMonitor().suppressCount, 0);
    f.clipboard.offer({{"text/plain", "the user's own copy"}});
    QCOMPARE(program.collection().category(0)->itemCount(), 3);
}

void TestTrayIcon::copyItemOfEqualAliasesCopiesNewer()
{
    TrayFixture f;
    Item older = textItem("same");
    older.text = QStringLiteral("older text");
    Item newer = textItem("same");
    newer.text = QStringLiteral("newer text");
    f.startWith({older, newer});
    QCOMPARE(f.copyCaptions(), (QStringList{"same", "same"}));
    f.copyEntry(1)->trigger();
    QCOMPARE(f.clipboard.data(QStringLiteral("text/plain")), QByteArray("newer text"));
}

void TestTrayIcon::copyItemOfAGoneAliasCopiesNothing()
{
    TrayFixture f;
    Scrapkeeper &program = f.startWith(numberedItems(2));
    f.copyCaptions();
    Collection &collection = program.collection();
    collection.removeItem(collection.category(0)->items.front().get());
    f.clipboard.offer({{"text/plain", "before"}});
    const int items = collection.category(0)->itemCount();
    f.copyEntry(0)->trigger();
    QCOMPARE(f.clipboard.data(QStringLiteral("text/plain")), QByteArray("before"));
    QCOMPARE(collection.category(0)->itemCount(), items);
}

void TestTrayIcon::copyItemCaptions()
{
    TrayFixture f;
    f.startWith({textItem("Fish & Chips"), textItem("-"), textItem("last")});
    // A lone dash is a separator; an ampersand is shown, not a shortcut mark.
    QCOMPARE(f.copyCaptions(), (QStringList{"last", "-", "Fish && Chips"}));
    QVERIFY(f.copyEntry(1)->isSeparator());
    QCOMPARE(f.copyEntry(2)->objectName(), QStringLiteral("MenuItem2"));
    f.copyEntry(2)->trigger();
    QCOMPARE(f.clipboard.data(QStringLiteral("text/plain")), QByteArray("Fish & Chips"));
}

void TestTrayIcon::categoryMenuListsAndChooses()
{
    TrayFixture f;
    Scrapkeeper &program = f.startWith(numberedItems(1));
    Collection &collection = program.collection();
    collection.appendCategory(QStringLiteral("R&D"));
    CategoryNode *forms = collection.appendCategory(QStringLiteral("Forms"));
    collection.insertFirstChild(forms, textItem("form letter"));
    program.refreshCategoryCombo();

    CategoryMenu *menu = program.trayIcon().menu()->categoryMenu();
    QCOMPARE(captionsOf(menu), (QStringList{"Mail", "R&&D", "Forms"}));
    for (QAction *action : menu->actions())
        QVERIFY(action->isCheckable());
    QCOMPARE(menu->checkedCategory(), 0);

    menu->actions().at(2)->trigger();
    QCOMPARE(collection.currentCategory(), forms);
    QCOMPARE(collection.currentItems().size(), 1);
    QCOMPARE(collection.currentItems().front().alias, QStringLiteral("form letter"));
    QCOMPARE(f.view.categoryIndex(), 2);
    QCOMPARE(menu->checkedCategory(), 2);
    // The copy menu follows the new current category.
    QCOMPARE(f.copyCaptions(), QStringList{"form letter"});
}

void TestTrayIcon::categoryMenuAfterRefreshAndOk()
{
    TrayFixture f;
    Scrapkeeper &program = f.startWith({});
    program.collection().appendCategory(QStringLiteral("Forms"));
    program.refreshCategoryCombo();
    CategoryMenu *menu = program.trayIcon().menu()->categoryMenu();
    program.showConfiguration();
    // The user picks it in the window's category list.
    f.view.setCategoryIndex(1);
    program.categoryPicked(1);
    QCOMPARE(menu->checkedCategory(), 1);
    // A refresh of the lists checks the first entry, OK the current category's.
    program.refreshCategoryCombo();
    QCOMPARE(menu->checkedCategory(), 0);
    program.acceptRequested();
    QCOMPARE(menu->checkedCategory(), 1);
}

void TestTrayIcon::categoryFromTheTrayGivesTheOpenListTheKeyboard()
{
    TrayFixture f;
    Scrapkeeper &program = f.startWith(numberedItems(2));
    CategoryNode *forms = program.collection().appendCategory(QStringLiteral("Forms"));
    program.collection().insertFirstChild(forms, textItem("form letter"));
    program.refreshCategoryCombo();
    f.desktop.focus.window = 0x4200001;
    QVERIFY(f.keys.press(0x76, KeyGrabber::Ctrl));
    PopupList *list = program.popup();
    QVERIFY(list);
    // The tray's menu had the keyboard while the user chose.
    list->list()->clearFocus();
    f.desktop.foregrounded.clear();

    program.trayIcon().menu()->categoryMenu()->actions().at(1)->trigger();
    QCOMPARE(program.popup(), list);
    QCOMPARE(list->list()->model()->rowCount(), 1);
    QCOMPARE(f.desktop.foregrounded, QList<quint64>{quint64(list->winId())});
    QCOMPARE(list->focusWidget(), list->list());
    list->close();
}

void TestTrayIcon::activationOpensConfiguration_data()
{
    using Kind = Desktop::TrayKind;
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QSystemTrayIcon::ActivationReason>("reason");
    QTest::addColumn<bool>("opens");
    QTest::newRow("embedded: double click") << Kind::XEmbed << QSystemTrayIcon::DoubleClick << true;
    QTest::newRow("embedded: single click") << Kind::XEmbed << QSystemTrayIcon::Trigger << false;
    QTest::newRow("embedded: right click") << Kind::XEmbed << QSystemTrayIcon::Context << false;
    QTest::newRow("embedded: middle click") << Kind::XEmbed << QSystemTrayIcon::MiddleClick << false;
    QTest::newRow("status notifier: activation") << Kind::StatusNotifier << QSystemTrayIcon::Trigger << true;
    QTest::newRow("status notifier: context menu") << Kind::StatusNotifier << QSystemTrayIcon::Context << false;
    QTest::newRow("status notifier: secondary activation")
        << Kind::StatusNotifier << QSystemTrayIcon::MiddleClick << false;
}

void TestTrayIcon::activationOpensConfiguration()
{
    QFETCH(Desktop::TrayKind, kind);
    QFETCH(QSystemTrayIcon::ActivationReason, reason);
    QFETCH(bool, opens);
    CoreFixture f;
    f.returningUser();
    f.desktop.kind = kind;
    Scrapkeeper &program = f.start();
    TrayIcon &tray = program.trayIcon();
    QCOMPARE(tray.kind(), kind);
    QVERIFY(f.view.state != FakeConfigView::Shown::InFront);
    QSignalSpy requests(&tray, &TrayIcon::configurationRequested);
    tray.activate(reason);
    QCOMPARE(requests.size(), opens ? 1 : 0);
    QCOMPARE(f.view.state == FakeConfigView::Shown::InFront, opens);
}

void TestTrayIcon::menuOnlyWhileWindowHidden_data()
{
    QTest::addColumn<Desktop::TrayKind>("kind");
    QTest::newRow("embedded") << Desktop::TrayKind::XEmbed;
    QTest::newRow("status notifier") << Desktop::TrayKind::StatusNotifier;
}

void TestTrayIcon::menuOnlyWhileWindowHidden()
{
    QFETCH(Desktop::TrayKind, kind);
    CoreFixture f;
    f.returningUser();
    f.desktop.kind = kind;
    Scrapkeeper &program = f.start();
    TrayIcon &tray = program.trayIcon();
    QVERIFY(tray.isMenuAttached());
    program.showConfiguration();
    QVERIFY(!tray.isMenuAttached());
    program.acceptRequested();
    QVERIFY(tray.isMenuAttached());
    program.windowStateChanged(false);
    QVERIFY(!tray.isMenuAttached());
    program.windowStateChanged(true);
    QVERIFY(tray.isMenuAttached());
}

void TestTrayIcon::toolTipIsCut()
{
    CoreFixture f;
    f.returningUser();
    TrayIcon &tray = f.start().trayIcon();
    QCOMPARE(tray.toolTip(), QStringLiteral("Scrapkeeper v2.3"));
    const QString longTip = QString(70, QLatin1Char('x'));
    tray.setToolTip(longTip);
    QCOMPARE(tray.toolTip(), longTip.left(62));
}

void TestTrayIcon::menuPictureStandsInForTheIcon()
{
    CoreFixture f;
    f.returningUser();
    Scrapkeeper &program = f.start();
    QCOMPARE(f.view.pictureMenu, nullptr);
    program.showConfiguration();
    program.options().set(Option::MinimiseToTray, false);
    program.acceptRequested();
    QVERIFY(!program.trayIcon().isVisible());
    QCOMPARE(f.view.pictureMenu, program.trayIcon().menu());

    CoreFixture noTray(false);
    noTray.returningUser();
    Scrapkeeper &withoutTray = noTray.start();
    QCOMPARE(noTray.view.pictureMenu, withoutTray.trayIcon().menu());
}

void TestTrayIcon::menuPictureInTheWindow()
{
    CoreFixture f;
    f.returningUser();
    Scrapkeeper &program = f.start();
    ConfigWindow window(program.collection(), program.treeEditor(), program, f.desktop, f.dialogs);
    auto *picture = window.findChild<QLabel *>(QStringLiteral("imgico"));
    QVERIFY(picture);
    QCOMPARE(picture->size(), QSize(32, 32));
    QCOMPARE(picture->toolTip(), QStringLiteral("Click to display menu!"));
    QCOMPARE(picture->accessibleName(), QStringLiteral("Click to display menu!"));
    QVERIFY(picture->isHidden());
    window.showMenuPicture(program.trayIcon().menu(), program.trayIcon().picture());
    QVERIFY(!picture->isHidden());
    QVERIFY(!picture->pixmap().isNull());
    window.showMenuPicture(nullptr, {});
    QVERIFY(picture->isHidden());
}

QTEST_MAIN(TestTrayIcon)
#include "tst_trayicon.moc"
