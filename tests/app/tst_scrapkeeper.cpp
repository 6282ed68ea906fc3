#include "app/scrapkeeper.h"
#include "app/unixsignals.h"
#include "common/errorhandler.h"
#include "common/programerror.h"
#include "config/configwindow.h"
#include "helpforwarding.h"
#include "config/pageiconcolumn.h"
#include "config/pages/collectiontreeview.h"
#include "config/pages/clipboardpage.h"
#include "config/pages/listsetuppage.h"
#include "config/pages/popuplistpage.h"
#include "doubles/fakeclipboard.h"
#include "doubles/fakedesktop.h"
#include "doubles/fakekeygrabber.h"
#include "doubles/scriptedfiledialogs.h"
#include "doubles/scriptedmessageboxes.h"
#include "doubles/scriptedtreedialogs.h"
#include "popup/globalhotkeys.h"
#include "popup/popuplist.h"
#include "richtext/richedit.h"
#include "settings/optiontable.h"
#include "tray/categorymenu.h"
#include "tray/trayicon.h"
#include "tray/traymenu.h"

#include <QAction>
#include <QBuffer>
#include <QCheckBox>
#include <QSpinBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QMenu>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

#include "scratchhome.h"
#include "testsupport.h"

using namespace TestSupport;
#include <QToolButton>

namespace {

const QByteArray kTwoCategories = "031\r\nMail\r\n0\r\n0\r\n1\r\nhi\r\nSun, Feb 18, 2001, 12:33 PM\r\n1\r\nhello\r\n0001\r\n"
                                  "031\r\nForms\r\n0\r\n0\r\n0\r\nSK: 2.3\r\n";



} // namespace

// A configuration window over a scratch home: its own data folder, settings
// file and desktop, with every message answered by the test.
class Fixture
{
public:
    Fixture()
    {
        QDir().mkpath(paths().programFolder);
    }

    AppPaths paths() const { return scratchPaths(home); }
    QString dataFile() const { return QDir(paths().programFolder).filePath(QStringLiteral("data.db")); }

    void writeDataFile(const QByteArray &bytes, const QString &name = QStringLiteral("data.db"))
    {
        QFile f(QDir(paths().programFolder).filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    // Starts the program as a returning user would: settings already saved.
    void writeSettings(const QMap<Option, QVariant> &values = {}, const QString &currentDataFile = {})
    {
        {
            Scrapkeeper first(services());
            ConfigWindow firstWindow(first.collection(), first.treeEditor(), first, desktop, dialogs);
            first.attachView(firstWindow);
            first.initialise();
        }
        QSettings settings(paths().settingsFile, QSettings::IniFormat);
        for (auto it = values.begin(); it != values.end(); ++it)
            settings.setValue(OptionTable::def(it.key()).name, it.value());
        if (!currentDataFile.isEmpty())
            settings.setValue("currdb", currentDataFile);
        boxes.clear();
    }

    int storedNumber(Option option) const
    {
        return QSettings(paths().settingsFile, QSettings::IniFormat).value(OptionTable::def(option).name).toInt();
    }

    AppServices services() { return {boxes, dialogs, desktop, clipboard, keys, treeDialogs, paths()}; }

    // The program and its window, as main() builds them, without starting.
    Scrapkeeper &build()
    {
        program = std::make_unique<Scrapkeeper>(services());
        window = std::make_unique<ConfigWindow>(program->collection(), program->treeEditor(), *program, desktop,
                                                dialogs);
        program->attachView(*window);
        return *program;
    }

    Scrapkeeper &start()
    {
        build();
        program->initialise();
        program->startUp();
        return *program;
    }

    QTemporaryDir home;
    ScriptedMessageBoxes boxes;
    ScriptedTreeDialogs treeDialogs;
    ScriptedFileDialogs dialogs;
    FakeDesktop desktop;
    FakeClipboard clipboard;
    FakeKeyGrabber keys;
    std::unique_ptr<Scrapkeeper> program;
    std::unique_ptr<ConfigWindow> window;
};

class TestScrapkeeper : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { ErrorHandler::install(nullptr); }
    void firstRunAsksWelcome_data();
    void firstRunAsksWelcome();
    void exitDuringTheWelcomeQuestionIsKept();
    void restoringAShownWindowLeavesCancelItsWork();
    void aFailedBackupAtStartKeepsTheSettings();
    void loadingAnotherFileSetsItsCurrentCategory();
    void normalStartGoesToTray();
    void okKeepsEdits();
    void cancelRevertsEdits_data();
    void cancelRevertsEdits();
    void capturesSurviveCancel();
    void capturesMadeWhileTheWindowIsOpenSurviveCancel_data();
    void capturesMadeWhileTheWindowIsOpenSurviveCancel();
    void aCopyCancelCannotPutBackIsTold();
    void logOffKeepsWhatThePagesShow_data();
    void logOffKeepsWhatThePagesShow();
    void treeSelectionAndEditsReachTheProgram();
    void exitSavesWhenAsked_data();
    void exitSavesWhenAsked();
    void exampleDataFileKeepsWindowOpen();
    void storedCategoryIndexBeyondListSelectsFirst();
    void withoutTrayTheWindowIconifies();
    void errorHandlerNamesComponent();
    void aliasFromMemoUsesPlainText();
    void capturesLandInCurrentCategory();
    void aRefusedCopyIsToldAboveTheNextList();
    void hotkeyOpensPopupAtCaret_data();
    void hotkeyOpensPopupAtCaret();
    void hotkeyOffWhileWindowShownOrListOff();
    void hotkeyHeldElsewhereIsReported();
    void hotkeyHeldElsewhereKeepsTheWorkingOne();
    void hotkeyFollowsSettings();
    void autoSave_data();
    void autoSave();
    void groupListsSwitchFromTheToolbar();
    void aNewGroupListIsShownAndTakesCaptures();
    void editsOverAnUnreadableDataFileAreNotDroppedBySwitching();
    void pageEditsTakeEffectAtOk_data();
    void pageEditsTakeEffectAtOk();
    void pagesShowWhatChangedWhileAway();
    void hostileSettingsAreSaidOnce();
    void pagesOfferTheCategoriesAndExplain();
    void helpOpensTheTopicOfThePageShown_data();
    void helpOpensTheTopicOfThePageShown();
    void buttonRowIsOkCancelHelp();
};

void TestScrapkeeper::pageEditsTakeEffectAtOk_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("kept");
    QTest::newRow("OK") << "OK" << true;
    QTest::newRow("Cancel") << "Cancel" << false;
    QTest::newRow("close button") << "close" << false;
    QTest::newRow("restore last saved") << "SpeedButton1" << false;
    QTest::newRow("minimised by the window manager") << "minimise" << true;
}

void TestScrapkeeper::pageEditsTakeEffectAtOk()
{
    QFETCH(QString, how);
    QFETCH(bool, kept);
    Fixture f;
    f.writeDataFile(kTwoCategories);
    f.writeSettings();
    Scrapkeeper &w = f.start();
    w.showConfiguration();
    QWidget *page = f.window->popupListPage()->widget();
    auto *rows = page->findChild<QSpinBox *>(QStringLiteral("heightse"));
    auto *width = page->findChild<QSpinBox *>(QStringLiteral("wud"));
    QCOMPARE(rows->value(), 8);
    QCOMPARE(width->value(), 250);
    rows->setValue(20);
    width->setValue(101);
    page->findChild<QCheckBox *>(QStringLiteral("altcb"))->click();
    f.window->clipboardPage()->widget()->findChild<QCheckBox *>(QStringLiteral("Autocb"))->click();
    // Nothing takes effect before the window is left.
    QCOMPARE(w.options().number(Option::ListRows), 8);
    QVERIFY(w.options().flag(Option::CaptureText));

    if (how == QLatin1String("close"))
        f.window->close();
    else if (how == QLatin1String("minimise"))
        w.windowStateChanged(true);
    else if (how == QLatin1String("SpeedButton1"))
        f.window->findChild<QToolButton *>(how)->click();
    else
        f.window->findChild<QPushButton *>(how)->click();

    QCOMPARE(w.options().number(Option::ListRows), kept ? 20 : 8);
    QCOMPARE(w.options().number(Option::ListWidth), kept ? 101 : 250);
    QCOMPARE(w.options().flag(Option::CaptureText), !kept);
    if (how == QLatin1String("OK")) {
        QCOMPARE(f.storedNumber(Option::ListRows), 20);
        QCOMPARE(f.storedNumber(Option::ListWidth), 101);
        QCOMPARE(f.storedNumber(Option::CaptureText), 0);
        // The hotkey is grabbed again with the new modifier.
        QCOMPARE(f.keys.grabs.value(0).modifiers, std::uint8_t(KeyGrabber::Ctrl | KeyGrabber::Alt));
    } else if (!kept) {
        QCOMPARE(f.storedNumber(Option::ListRows), 8);
        QCOMPARE(f.storedNumber(Option::ListWidth), 250);
        // Away in the tray, the hotkey is the one stored.
        if (w.isMinimisedState())
            QCOMPARE(f.keys.grabs.value(0).modifiers, std::uint8_t(KeyGrabber::Ctrl));
    }
    // Shown again, the pages show the options in force.
    w.showConfiguration();
    QCOMPARE(rows->value(), kept ? 20 : 8);
    QCOMPARE(width->value(), kept ? 101 : 250);
}

void TestScrapkeeper::hostileSettingsAreSaidOnce()
{
    Fixture f;
    f.writeDataFile(kTwoCategories);
    f.writeSettings({{Option::HotkeyKey, 99999}, {Option::TextCategory, QStringLiteral("99999999999999")},
                     {Option::ListRows, 20}, {Option::ConfirmItemDelete, 1}});
    f.boxes.setAutoAcknowledge(true);
    Scrapkeeper &w = f.start();
    // One message names both; the values after the bad ones still apply.
    QCOMPARE(f.boxes.shown().size(), 1);
    QVERIFY2(f.boxes.shown().first().text.contains(QLatin1String("hkindex, catcombo3")),
             qPrintable(f.boxes.shown().first().text));
    QCOMPARE(w.options().number(Option::ListRows), 20);
    QVERIFY(w.options().flag(Option::ConfirmItemDelete));
    // The hotkey is the default key, V, and the file says so at once.
    QCOMPARE(w.options().number(Option::HotkeyKey), 49);
    QCOMPARE(f.storedNumber(Option::HotkeyKey), 49);
    // Cancel reads the settings again: nothing more is said.
    w.showConfiguration();
    w.discardChanges();
    QCOMPARE(f.boxes.shown().size(), 1);
    QCOMPARE(w.options().number(Option::ListRows), 20);
}

void TestScrapkeeper::pagesShowWhatChangedWhileAway()
{
    Fixture f;
    f.writeDataFile(kTwoCategories);
    f.writeSettings({{Option::HotkeyKey, 500}});
    Scrapkeeper &w = f.start();
    // The tray menu switches text capture off while the window is away.
    w.trayIcon().menu()->autoTextAction()->trigger();
    w.showConfiguration();
    QWidget *page = f.window->clipboardPage()->widget();
    QVERIFY(!page->findChild<QCheckBox *>(QStringLiteral("Autocb"))->isChecked());
    QVERIFY(!page->findChild<QCheckBox *>(QStringLiteral("dupcb"))->isEnabled());
    // A stored key beyond the list shows (and is kept as) the default key, V.
    auto *key = f.window->popupListPage()->widget()->findChild<QComboBox *>(QStringLiteral("hkcbox"));
    QCOMPARE(key->currentIndex(), 49);
    w.acceptChanges();
    QVERIFY(!w.options().flag(Option::CaptureText));
    QCOMPARE(f.storedNumber(Option::HotkeyKey), 49);

    // The same menu, opened from the window's picture while the window is
    // shown, changes the page too, and leaves the page's other edits alone.
    w.showConfiguration();
    auto *rows = f.window->popupListPage()->widget()->findChild<QSpinBox *>(QStringLiteral("heightse"));
    rows->setValue(30);
    w.trayIcon().menu()->autoTextAction()->trigger();
    QVERIFY(page->findChild<QCheckBox *>(QStringLiteral("Autocb"))->isChecked());
    QVERIFY(page->findChild<QCheckBox *>(QStringLiteral("dupcb"))->isEnabled());
    QCOMPARE(rows->value(), 30);
    w.acceptChanges();
    QVERIFY(w.options().flag(Option::CaptureText));
    QCOMPARE(w.options().number(Option::ListRows), 30);
}

void TestScrapkeeper::pagesOfferTheCategoriesAndExplain()
{
    Fixture f;
    f.writeDataFile(kTwoCategories);
    f.writeSettings({{Option::TextToChosenCategory, 1}, {Option::TextCategory, 1}});
    Scrapkeeper &w = f.start();
    w.showConfiguration();
    auto *textCategory = f.window->clipboardPage()->widget()->findChild<QComboBox *>(QStringLiteral("catcombo3"));
    QCOMPARE(textCategory->count(), 2);
    QCOMPARE(textCategory->currentText(), QStringLiteral("Forms"));
    QVERIFY(textCategory->isEnabled());
    // A category added before it keeps the choice on the same category.
    CategoryNode *first = w.collection().appendCategory(QStringLiteral("First"));
    w.collection().moveCategory(first, w.collection().category(0));
    emit w.treeEditor().categoriesChanged();
    QCOMPARE(textCategory->count(), 3);
    QCOMPARE(textCategory->currentText(), QStringLiteral("Forms"));
    // Another page and back.
    QTest::mouseClick(f.window->pageIcons()->icon(1), Qt::LeftButton);
    QTest::mouseClick(f.window->pageIcons()->icon(2), Qt::LeftButton);
    QCOMPARE(textCategory->currentText(), QStringLiteral("Forms"));
    w.acceptChanges();
    QCOMPARE(w.options().number(Option::TextCategory), 2);

    // The global paste help goes through the program's message boxes.
    w.showConfiguration();
    f.boxes.setAutoAcknowledge(true);
    f.window->popupListPage()->widget()->findChild<QToolButton *>(QStringLiteral("hlpsp"))->click();
    QCOMPARE(f.boxes.shown().size(), 1);
    QCOMPARE(f.boxes.shown().first().title, kApplicationTitle);
    QVERIFY(f.boxes.shown().first().text.startsWith(QStringLiteral("The Global Pasting Method overrides")));
    QVERIFY(f.boxes.shown().first().text.endsWith(QStringLiteral("directly place the text in it.")));
}

void TestScrapkeeper::helpOpensTheTopicOfThePageShown_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("topic");
    QTest::newRow("List Setup") << 0 << "List_Setup_Tab";
    QTest::newRow("Pop-up List") << 1 << "Listbox_Options_Tab";
    QTest::newRow("Clipboard") << 2 << "Clipboard_Tab";
    QTest::newRow("General") << 3 << "Miscellaneous_Tab";
}

void TestScrapkeeper::helpOpensTheTopicOfThePageShown()
{
    QFETCH(int, page);
    QFETCH(QString, topic);
    Fixture f;
    f.writeDataFile(kTwoCategories);
    f.writeSettings();
    Scrapkeeper &w = f.start();
    w.showConfiguration();
    QTest::mouseClick(f.window->pageIcons()->icon(page), Qt::LeftButton);
    QCOMPARE(f.window->currentPageIndex(), page);
    QVERIFY(f.window->pageIcons()->icon(page)->isCurrent());
    f.window->findChild<QPushButton *>(QStringLiteral("Help"))->click();
    QCOMPARE(f.desktop.opened.size(), 1);
    QCOMPARE(helpForwardingTarget(f.desktop.opened.first()).fragment(), topic);
    // Back from the tray, the window opens on List Setup again.
    w.acceptChanges();
    w.showConfiguration();
    QCOMPARE(f.window->currentPageIndex(), 0);
    QVERIFY(f.window->pageIcons()->icon(0)->isCurrent());
}

void TestScrapkeeper::buttonRowIsOkCancelHelp()
{
    Fixture f;
    f.writeDataFile(kTwoCategories);
    f.writeSettings();
    f.start().showConfiguration();
    const auto button = [&f](const char *name) {
        return f.window->findChild<QPushButton *>(QLatin1String(name));
    };
    QPushButton *ok = button("OK");
    QPushButton *cancel = button("Cancel");
    QPushButton *help = button("Help");
    QVERIFY(ok->isVisible() && cancel->isVisible() && help->isVisible());
    // Side by side, Help rightmost, and Tab goes the same way.
    QCOMPARE(ok->y(), help->y());
    QVERIFY(ok->geometry().right() < cancel->x());
    QVERIFY(cancel->geometry().right() < help->x());
    QCOMPARE(ok->nextInFocusChain(), cancel);
    QCOMPARE(cancel->nextInFocusChain(), help);
    QCOMPARE(ok->toolTip(), QStringLiteral("Save all information and minimize"));
    QCOMPARE(cancel->toolTip(), QStringLiteral("Cancel changes (if any) and minimize"));
    QCOMPARE(help->toolTip(), QStringLiteral("Bring up help file page for current options"));
}

void TestScrapkeeper::autoSave_data()
{
    QTest::addColumn<int>("choice");
    QTest::addColumn<bool>("timerOn");
    QTest::newRow("every two minutes") << 0 << true;
    QTest::newRow("only when the window is restored") << 1 << false;
    QTest::newRow("only on exit") << 2 << false;
}

void TestScrapkeeper::autoSave()
{
    QFETCH(int, choice);
    QFETCH(bool, timerOn);
    Fixture f;
    f.writeDataFile(kTwoCategories);
    f.writeSettings({{Option::AutoSaveChoice, choice}});
    Scrapkeeper &w = f.start();
    QCOMPARE(w.autoSaveTimer().isActive(), timerOn);
    if (timerOn)
        QCOMPARE(w.autoSaveTimer().interval(), 2 * 60000);

    // With the window open nothing is written.
    w.showConfiguration();
    w.collection().addNewItem(false, textItem(QStringLiteral("captured")));
    w.collection().setCaptureModified();
    QFile::remove(f.paths().settingsFile);
    w.autoSave();
    QVERIFY(!readFile(f.dataFile()).contains("captured"));
    QVERIFY(!QFile::exists(f.paths().settingsFile));

    // In the tray a tick writes the capture and the settings.
    w.acceptChanges();
    QFile::remove(f.paths().settingsFile);
    w.collection().addNewItem(false, textItem(QStringLiteral("later")));
    w.collection().setCaptureModified();
    w.autoSave();
    QVERIFY(readFile(f.dataFile()).contains("later"));
    QVERIFY(QFile::exists(f.paths().settingsFile));
    QVERIFY(!w.collection().captureModified());
}

void TestScrapkeeper::groupListsSwitchFromTheToolbar()
{
    Fixture f;
    f.writeDataFile(kTwoCategories);
    f.writeDataFile("031\r\nRecipes\r\n0\r\n0\r\n0\r\nSK: 2.3\r\n", QStringLiteral("recipes.db"));
    const QString recipes = QDir(f.paths().programFolder).filePath(QStringLiteral("recipes.db"));
    f.writeSettings();
    Scrapkeeper &w = f.start();
    w.showConfiguration();
    QMenu *menu = f.window->listSetupPage()->groupListMenu();
    auto *pages = f.window->findChild<QTabWidget *>(QStringLiteral("ConfigPC"));
    const auto tabText = [pages, &f] { return pages->tabText(pages->indexOf(f.window->listSetupPage()->widget())); };

    f.dialogs.answers << recipes;
    menu->findChild<QAction *>(QStringLiteral("Open1"))->trigger();
    QCOMPARE(w.dataFiles().currentFile(), recipes);
    QCOMPARE(f.window->windowTitle(), QStringLiteral("Scrapkeeper Configuration - ") + recipes);
    QCOMPARE(tabText(), QStringLiteral("List Setup - recipes.db"));
    QCOMPARE(f.window->categoryCombo()->currentText(), QStringLiteral("Recipes"));
    QCOMPARE(w.collection().currentCategory()->name, QStringLiteral("Recipes"));
    QCOMPARE(w.trayIcon().menu()->categoryMenu()->checkedCategory(), 0);

    // The menu lists what was opened, newest first.
    emit menu->aboutToShow();
    QAction *first = menu->findChild<QAction *>(QStringLiteral("One"));
    QAction *second = menu->findChild<QAction *>(QStringLiteral("Two"));
    QCOMPARE(first->text(), recipes);
    QCOMPARE(second->text(), f.dataFile());
    QVERIFY(!menu->findChild<QAction *>(QStringLiteral("Three"))->isVisible());

    // Cancel goes back to the file the settings name.
    f.window->findChild<QPushButton *>(QStringLiteral("Cancel"))->click();
    QCOMPARE(w.dataFiles().currentFile(), f.dataFile());
    QCOMPARE(w.collection().category(0)->name, QStringLiteral("Mail"));
    QCOMPARE(tabText(), QStringLiteral("List Setup - data.db"));

    // A recent entry opened and kept with OK is the file of the next start.
    w.showConfiguration();
    emit menu->aboutToShow();
    second->trigger();
    QCOMPARE(w.dataFiles().currentFile(), recipes);
    f.window->findChild<QPushButton *>(QStringLiteral("OK"))->click();
    QCOMPARE(QSettings(f.paths().settingsFile, QSettings::IniFormat).value("currdb").toString(), recipes);
    QVERIFY(f.boxes.unexpected().isEmpty());
}

void TestScrapkeeper::aNewGroupListIsShownAndTakesCaptures()
{
    Fixture f;
    f.writeDataFile(kTwoCategories);
    f.writeSettings();
    Scrapkeeper &w = f.start();
    w.showConfiguration();
    const QString fresh = QDir(f.paths().programFolder).filePath(QStringLiteral("fresh.db"));
    f.dialogs.answers << QDir(f.paths().programFolder).filePath(QStringLiteral("fresh"));
    CategoryProperties snippets;
    snippets.name = QStringLiteral("Snippets");
    f.treeDialogs.categoryAnswers.enqueue(snippets);

    f.window->findChild<QToolButton *>(QStringLiteral("newdbbtn"))->click();
    QVERIFY(f.boxes.shown().isEmpty());
    QCOMPARE(w.dataFiles().currentFile(), fresh);
    QCOMPARE(f.window->windowTitle(), QStringLiteral("Scrapkeeper Configuration - ") + fresh);
    QVERIFY(readFile(fresh).contains("Snippets"));
    QCOMPARE(f.window->categoryCombo()->count(), 1);
    QCOMPARE(f.window->categoryCombo()->currentText(), QStringLiteral("Snippets"));
    QCOMPARE(w.recentFiles().paths().first(), fresh);
    QVERIFY(!w.collection().addNewItem(false, textItem(QStringLiteral("captured"))));
    QCOMPARE(w.collection().category(0)->items.front()->text, QStringLiteral("captured"));
    QCOMPARE(readFile(f.dataFile()), kTwoCategories);
}

void TestScrapkeeper::editsOverAnUnreadableDataFileAreNotDroppedBySwitching()
{
    Fixture f;
    f.writeSettings();
    // A data file that opens but cannot be read.
    QVERIFY(QFile::remove(f.dataFile()));
    QVERIFY(QFile::link(QStringLiteral("/proc/self/mem"), f.dataFile()));
    f.writeDataFile(kTwoCategories, QStringLiteral("other.db"));
    Scrapkeeper &w = f.start();
    w.showConfiguration();
    w.collection().appendCategory(QStringLiteral("Typed since"));
    w.collection().setEditModified();

    // Yes to saving cannot save there: the switch stops, the edits stay.
    f.boxes.answerNext(MessageBoxService::Yes);
    QVERIFY_THROWS_EXCEPTION(ProgramError, w.groupLists().openChosen());
    QVERIFY(f.dialogs.asked.isEmpty());
    QCOMPARE(w.collection().category(0)->name, QStringLiteral("Typed since"));
    QVERIFY(QFileInfo(f.dataFile()).isSymLink());

    // Saved under another name they are safe, and OK keeps saving them there.
    const QString kept = QDir(f.paths().programFolder).filePath(QStringLiteral("kept.db"));
    f.dialogs.answers << kept;
    w.groupLists().saveAs();
    QVERIFY(readFile(kept).contains("Typed since"));
    w.collection().appendCategory(QStringLiteral("Then this"));
    w.collection().setEditModified();
    w.acceptChanges();
    QVERIFY(readFile(kept).contains("Then this"));
}

namespace {
constexpr std::uint32_t kV = 0x76;
}

void TestScrapkeeper::hotkeyOpensPopupAtCaret_data()
{
    QTest::addColumn<bool>("caretKnown");
    QTest::addColumn<QPoint>("caret");
    QTest::addColumn<QPoint>("expected");
    QTest::newRow("caret from the application") << true << QPoint(300, 200) << QPoint(300, 213);
    QTest::newRow("pointer without a caret") << false << QPoint() << QPoint(100, 113);
    QTest::newRow("caret far off screen") << true << QPoint(5000, 200) << QPoint(40, 63);
}

void TestScrapkeeper::hotkeyOpensPopupAtCaret()
{
    QFETCH(bool, caretKnown);
    QFETCH(QPoint, caret);
    QFETCH(QPoint, expected);
    Fixture f;
    f.writeDataFile(kTwoCategories);
    f.writeSettings();
    Scrapkeeper &w = f.start();
    QVERIFY(f.keys.grabs.contains(0));
    f.desktop.focus.window = 0x4200001;
    f.desktop.focus.caretKnown = caretKnown;
    f.desktop.focus.caret = caret;
    f.desktop.focus.windowOrigin = QPoint(40, 50);
    f.desktop.focus.inCombo = true;
    f.desktop.focus.comboSelStart = 2;
    f.desktop.focus.comboSelEnd = 5;

    QVERIFY(f.keys.press(kV, KeyGrabber::Ctrl));
    QVERIFY(w.popup());
    QCOMPARE(w.popup()->pos(), expected);
    QCOMPARE(w.pasteTarget().window, quint64(0x4200001));
    QCOMPARE(w.pasteTarget().comboSelEnd, 5);
    QCOMPARE(f.desktop.foregrounded.last(), quint64(w.popup()->winId()));
    // While the list shows, Ctrl+V reaches the windows.
    QVERIFY(f.keys.grabs.isEmpty());
    QVERIFY(!f.keys.press(kV, KeyGrabber::Ctrl));
    w.popup()->close();
    QVERIFY(!w.popup());
    QVERIFY(f.keys.grabs.contains(0));

    // A press while one of our own windows is in front keeps the last caret.
    f.desktop.focus = ForeignFocus{};
    f.desktop.focus.ownWindow = true;
    f.desktop.focus.windowOrigin = QPoint(40, 50);
    f.desktop.pointer = QPoint(900, 700);
    QVERIFY(f.keys.press(kV, KeyGrabber::Ctrl));
    QCOMPARE(w.popup()->pos(), expected);
    w.popup()->close();
}

void TestScrapkeeper::hotkeyOffWhileWindowShownOrListOff()
{
    Fixture f;
    f.writeDataFile(kTwoCategories);
    f.writeSettings();
    Scrapkeeper &w = f.start();
    w.showConfiguration();
    QVERIFY(!f.keys.press(kV, KeyGrabber::Ctrl));
    QVERIFY(!w.popup());
    w.discardChanges();
    QVERIFY(f.keys.press(kV, KeyGrabber::Ctrl));
    // The tray's "Configuration..." while the list is open leaves the window away.
    w.showConfiguration();
    QVERIFY(w.isMinimisedState());
    QVERIFY(w.popup()->isVisible());
    w.popup()->close();

    w.options().set(Option::QuickListActive, false);
    QVERIFY(f.keys.grabs.isEmpty());
    QVERIFY(!w.trayIcon().isActive());
    QVERIFY(!f.keys.press(kV, KeyGrabber::Ctrl));
    // A press that still arrives is ignored.
    w.popups().onHotkey(0);
    QVERIFY(!w.popup());
    w.options().set(Option::QuickListActive, true);
    QVERIFY(f.keys.grabs.contains(0));
    QVERIFY(w.trayIcon().isActive());
}

void TestScrapkeeper::hotkeyHeldElsewhereIsReported()
{
    Fixture f;
    f.writeDataFile(kTwoCategories);
    f.writeSettings();
    f.keys.heldElsewhere.insert(FakeKeyGrabber::key(kV, KeyGrabber::Ctrl));
    Scrapkeeper &w = f.start();
    QCOMPARE(f.boxes.shown().size(), 1);
    QCOMPARE(f.boxes.shown().first().title, QStringLiteral("Error!"));
    QVERIFY(f.boxes.shown().first().text.startsWith(
        QStringLiteral("The current hotkey is already registered by another program on your system!")));
    QCOMPARE(w.hotkeys().hotkeyCount(), 0);
    // Shown again on every minimise until OK registers a free key.
    w.showConfiguration();
    w.discardChanges();
    QCOMPARE(f.boxes.shown().size(), 2);
    w.showConfiguration();
    f.window->findChild<QComboBox *>(QStringLiteral("hkcbox"))->setCurrentIndex(48);  // "U"
    w.acceptChanges();
    QCOMPARE(f.boxes.shown().size(), 2);
    QVERIFY(w.hotkeys().hotkeyAt(0).registered);
}

void TestScrapkeeper::hotkeyHeldElsewhereKeepsTheWorkingOne()
{
    Fixture f;
    f.writeDataFile(kTwoCategories);
    f.writeSettings();
    constexpr std::uint32_t kU = 0x75;
    f.keys.heldElsewhere.insert(FakeKeyGrabber::key(kU, KeyGrabber::Ctrl));
    Scrapkeeper &w = f.start();
    QVERIFY(f.boxes.shown().isEmpty());

    w.showConfiguration();
    w.options().set(Option::HotkeyKey, 48);  // "U", held by another program
    w.acceptChanges();
    QCOMPARE(f.boxes.shown().size(), 1);
    QCOMPARE(f.boxes.shown().first().title, QStringLiteral("Error!"));
    // Ctrl+V still opens the list, and is what the options and the settings file say.
    QCOMPARE(w.options().number(Option::HotkeyKey), 49);
    QCOMPARE(f.storedNumber(Option::HotkeyKey), 49);
    QVERIFY(f.keys.press(kV, KeyGrabber::Ctrl));
    QVERIFY(!f.keys.press(kU, KeyGrabber::Ctrl));
}

void TestScrapkeeper::hotkeyFollowsSettings()
{
    Fixture f;
    f.writeDataFile(kTwoCategories);
    f.writeSettings({{Option::HotkeyCtrl, 1}, {Option::HotkeyAlt, 1}, {Option::HotkeyKey, 66}});  // "Num -"
    f.start();
    QCOMPARE(f.keys.grabs.value(0).keysym, 0xFFADu);
    QCOMPARE(f.keys.grabs.value(0).modifiers, std::uint8_t(KeyGrabber::Ctrl | KeyGrabber::Alt));
}

void TestScrapkeeper::capturesLandInCurrentCategory()
{
    Fixture f;
    f.writeDataFile(kTwoCategories);
    f.writeSettings({{Option::CurrentCategory, 1}, {Option::CaptureSound, 1}});
    f.clipboard.offer({{"text/plain", "on the clipboard before the start"}});
    Scrapkeeper &w = f.start();
    QCOMPARE(w.collection().category(1)->itemCount(), 0);
    f.clipboard.offer({{"text/plain", "copied"}});
    QCOMPARE(w.collection().category(1)->items.front()->text, QStringLiteral("copied"));
    QCOMPARE(w.collection().currentItems().size(), 1);
    QCOMPARE(f.desktop.beeps, 1);
    QVERIFY(w.collection().captureModified());
    QVERIFY(!w.collection().editModified());

    // The tray entries switch capture off and mirror the options.
    w.trayIcon().menu()->autoTextAction()->trigger();
    QVERIFY(!w.options().flag(Option::CaptureText));
    f.clipboard.offer({{"text/plain", "not captured"}});
    QCOMPARE(w.collection().category(1)->itemCount(), 1);
    w.options().set(Option::CaptureImages, false);
    QVERIFY(!w.trayIcon().menu()->autoImagesAction()->isChecked());
}

void TestScrapkeeper::aRefusedCopyIsToldAboveTheNextList()
{
    Fixture f;
    f.writeDataFile(kTwoCategories);
    f.writeSettings();
    Scrapkeeper &w = f.start();
    CategoryNode *mail = w.collection().category(0);
    QCOMPARE(w.collection().currentCategory(), mail);
    mail->rec.limit = 1;
    mail->rec.lockAtLimit = true;
    const QString told = QStringLiteral("Last copy not kept: Category \"Mail\" is locked and full (its limit is 1).");

    f.clipboard.offer({{"text/plain", "refused copy"}});
    QCOMPARE(mail->itemCount(), 1);
    // The next list says so above the older item it would paste.
    QVERIFY(f.keys.press(kV, KeyGrabber::Ctrl));
    QCOMPARE(w.popup()->notice(), told);
    QVERIFY(w.popup()->findChild<QLabel *>(QStringLiteral("noticerow"))->isVisible());
    QVERIFY(f.boxes.shown().isEmpty());
    w.popup()->close();
    // Once.
    QVERIFY(f.keys.press(kV, KeyGrabber::Ctrl));
    QVERIFY(w.popup()->notice().isEmpty());
    w.popup()->close();

    // A copy kept after a refused one takes the word back: nothing wrong is pasted then.
    f.clipboard.offer({{"text/plain", "refused again"}});
    mail->rec.limit = 2;
    f.clipboard.offer({{"text/plain", "kept"}});
    QCOMPARE(mail->items.front()->text, QStringLiteral("kept"));
    QVERIFY(f.keys.press(kV, KeyGrabber::Ctrl));
    QVERIFY(w.popup()->notice().isEmpty());
    w.popup()->close();
}

void TestScrapkeeper::aliasFromMemoUsesPlainText()
{
    Fixture f;
    f.writeDataFile(kTwoCategories);
    f.writeSettings();
    f.start();
    QVERIFY(f.window->memo()->isHidden());
    loadRichText(f.window->memo(), QStringLiteral(R"({\rtf1\ansi {\b   First} line\par second})"));
    QString alias;
    f.window->setAliasFromMemo(alias);
    QCOMPARE(alias, QStringLiteral("First line..."));
    resetRichEdit(f.window->memo());
    QVERIFY(f.window->memo()->plainTextMode());
}

void TestScrapkeeper::firstRunAsksWelcome_data()
{
    QTest::addColumn<bool>("launchExample");
    QTest::newRow("no") << false;
    QTest::newRow("yes") << true;
}

void TestScrapkeeper::firstRunAsksWelcome()
{
    QFETCH(bool, launchExample);
    Fixture f;
    f.boxes.answerNext(launchExample ? MessageBoxService::Yes : MessageBoxService::No);
    Scrapkeeper &w = f.start();

    QVERIFY(w.firstRun());
    const auto &shown = f.boxes.shown();
    // A first run expects no data file: the welcome is the first word.
    QVERIFY(!shown.isEmpty());
    QCOMPARE(shown[0].title, QStringLiteral("Welcome to Scrapkeeper v2.3!"));
    QCOMPARE(shown[0].text, QStringLiteral("\r\nA great beginner resource for familiarizing yourself with Scrapkeeper "
                                           "is the Example Page included with the program.\r\n\r\nWould you like to "
                                           "launch the Example Page now?\r\n"));
    if (launchExample) {
        QCOMPARE(f.desktop.opened.size(), 1);
        QVERIFY(f.desktop.opened.first().toLocalFile().endsWith(QStringLiteral("quickpaste.html")));
    } else {
        QVERIFY(shown[1].text.startsWith(QStringLiteral("The basic idea behind Scrapkeeper")));
        QVERIFY(f.desktop.opened.isEmpty());
    }
    QVERIFY(f.boxes.unexpected().isEmpty());
    // The welcome ends as OK does: settings written, program in the tray.
    QVERIFY(w.isMinimisedState());
    QCOMPARE(QSettings(f.paths().settingsFile, QSettings::IniFormat).value("FirstTime").toInt(), 0);
    QVERIFY(QFile::exists(f.dataFile()));
}

void TestScrapkeeper::exitDuringTheWelcomeQuestionIsKept()
{
    Fixture f;
    Scrapkeeper *started = nullptr;
    // A log-off arrives while the first question is up.
    f.boxes.setWhileShown([&started](const QString &) {
        if (started)
            started->quit();
    });
    started = &f.build();
    f.program->initialise();
    f.program->startUp();
    QVERIFY(f.program->exitRequested());
    QCOMPARE(f.boxes.shown().size(), 1);
}

void TestScrapkeeper::restoringAShownWindowLeavesCancelItsWork()
{
    Fixture f;
    f.writeDataFile(kTwoCategories);
    f.writeSettings();
    Scrapkeeper &w = f.start();
    w.showConfiguration();
    w.options().set(Option::AutoSaveMinutes, 33);
    // The tray's "Configuration..." again while the window is up.
    w.showConfiguration();
    w.discardChanges();
    QCOMPARE(w.options().number(Option::AutoSaveMinutes), 2);
    QCOMPARE(f.storedNumber(Option::AutoSaveMinutes), 2);
}

void TestScrapkeeper::aFailedBackupAtStartKeepsTheSettings()
{
    Fixture f;
    f.writeDataFile(kTwoCategories);
    f.writeSettings({{Option::AutoSaveMinutes, 7}});
    QFile::remove(f.dataFile() + QStringLiteral(".~bk"));
    QVERIFY(QDir(f.paths().programFolder).mkdir(QStringLiteral("data.db.~bk")));
    Scrapkeeper &w = f.start();
    // Reported once; the program starts as usual, with the user's settings.
    QCOMPARE(f.boxes.shown().size(), 1);
    QCOMPARE(f.boxes.shown().first().title, QStringLiteral("Error"));
    QVERIFY(w.isMinimisedState());
    QVERIFY(f.keys.grabs.contains(0));
    QCOMPARE(w.options().number(Option::AutoSaveMinutes), 7);
    w.showConfiguration();
    w.acceptChanges();
    w.shutDown();
    QCOMPARE(f.storedNumber(Option::AutoSaveMinutes), 7);
}

void TestScrapkeeper::loadingAnotherFileSetsItsCurrentCategory()
{
    Fixture f;
    f.writeDataFile(kTwoCategories, QStringLiteral("skexdata.db"));
    f.writeSettings({}, QDir(f.paths().programFolder).filePath(QStringLiteral("skexdata.db")));
    f.writeDataFile(kTwoCategories, QStringLiteral("mine.db"));
    f.boxes.answerNext(MessageBoxService::Yes);
    f.dialogs.answers << QDir(f.paths().programFolder).filePath(QStringLiteral("mine.db"));
    Scrapkeeper &w = f.start();
    QCOMPARE(w.dataFiles().currentFile(), QDir(f.paths().programFolder).filePath(QStringLiteral("mine.db")));
    QVERIFY(w.collection().currentCategory());
    // A capture now lands in it at once.
    QVERIFY(!w.collection().addNewItem(false, textItem(QStringLiteral("captured"))));
    QCOMPARE(w.collection().currentCategory()->items.front()->text, QStringLiteral("captured"));
}

void TestScrapkeeper::normalStartGoesToTray()
{
    Fixture f;
    f.writeDataFile(kTwoCategories);
    f.writeSettings();
    Scrapkeeper &w = f.start();
    QVERIFY(!w.firstRun());
    QVERIFY(f.boxes.shown().isEmpty());
    QVERIFY(w.isMinimisedState());
    QVERIFY(!f.window->isVisible());
    QVERIFY(w.trayIcon().isVisible());
    QCOMPARE(w.collection().currentCategory()->name, QStringLiteral("Mail"));
    QCOMPARE(w.collection().currentItems().size(), 1);
    QCOMPARE(f.window->windowTitle(), QStringLiteral("Scrapkeeper Configuration - ") + f.dataFile());
    QCOMPARE(readFile(f.dataFile() + QStringLiteral(".~bk")), kTwoCategories);
}

void TestScrapkeeper::okKeepsEdits()
{
    Fixture f;
    f.writeDataFile(kTwoCategories);
    f.writeSettings();
    Scrapkeeper &w = f.start();
    w.showConfiguration();
    QVERIFY(!w.isMinimisedState());
    QVERIFY(f.window->isVisible());
    QVERIFY(!w.trayIcon().isActive());
    w.collection().addNewItem(false, textItem(QStringLiteral("kept")));
    w.collection().setEditModified();
    f.window->findChild<QPushButton *>(QStringLiteral("OK"))->click();
    QVERIFY(w.isMinimisedState());
    QVERIFY(readFile(f.dataFile()).contains("kept"));
    QVERIFY(!w.collection().anyModified());
}

void TestScrapkeeper::cancelRevertsEdits_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("cancel button") << "Cancel";
    QTest::newRow("close button") << "close";
    QTest::newRow("Escape key") << "Escape";
    QTest::newRow("restore last saved") << "SpeedButton1";
}

void TestScrapkeeper::cancelRevertsEdits()
{
    QFETCH(QString, how);
    Fixture f;
    f.writeDataFile(kTwoCategories);
    f.writeSettings();
    Scrapkeeper &w = f.start();
    w.showConfiguration();
    w.collection().addNewItem(false, textItem(QStringLiteral("dropped")));
    w.collection().setEditModified();
    w.options().set(Option::AutoSaveMinutes, 33);

    if (how == QLatin1String("close")) {
        f.window->close();
    } else if (how == QLatin1String("Escape")) {
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        QTest::keyClick(f.window->tree(), Qt::Key_Escape);
    } else if (how == QLatin1String("SpeedButton1")) {
        f.window->findChild<QToolButton *>(how)->click();
    } else {
        f.window->findChild<QPushButton *>(how)->click();
    }

    QCOMPARE(w.collection().category(0)->itemCount(), 1);
    QCOMPARE(w.collection().category(0)->items.front()->alias, QStringLiteral("hi"));
    QCOMPARE(w.options().number(Option::AutoSaveMinutes), 2);
    QCOMPARE(readFile(f.dataFile()), kTwoCategories);
    QCOMPARE(w.isMinimisedState(), how != QLatin1String("SpeedButton1"));
    QCOMPARE(f.window->isVisible(), how == QLatin1String("SpeedButton1"));
}

void TestScrapkeeper::capturesSurviveCancel()
{
    Fixture f;
    f.writeDataFile(kTwoCategories);
    f.writeSettings();
    Scrapkeeper &w = f.start();
    w.collection().addNewItem(false, textItem(QStringLiteral("captured")));
    w.collection().setCaptureModified();
    w.showConfiguration();
    w.discardChanges();
    QCOMPARE(w.collection().category(0)->items.front()->alias, QStringLiteral("captured"));
}

void TestScrapkeeper::capturesMadeWhileTheWindowIsOpenSurviveCancel_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("picture");
    for (const char *how : {"Cancel", "close", "SpeedButton1"}) {
        QTest::addRow("%s, text", how) << QString::fromLatin1(how) << false;
        QTest::addRow("%s, picture", how) << QString::fromLatin1(how) << true;
    }
}

void TestScrapkeeper::capturesMadeWhileTheWindowIsOpenSurviveCancel()
{
    QFETCH(QString, how);
    QFETCH(bool, picture);
    Fixture f;
    f.writeDataFile(kTwoCategories);
    f.writeSettings();
    Scrapkeeper &w = f.start();
    w.showConfiguration();
    // An edit the user takes back, and a copy made meanwhile in another program.
    w.collection().addNewItem(false, textItem(QStringLiteral("dropped")));
    w.collection().setEditModified();
    QImage copied = filledPicture(4, 3);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    copied.save(&buffer, "PNG");
    if (picture)
        f.clipboard.offer({{"image/png", png}});
    else
        f.clipboard.offer({{"text/plain", "copied while open"}});
    const QString alias = picture ? QStringLiteral("Image: 4 x 3") : QStringLiteral("copied while open");
    QCOMPARE(w.collection().category(0)->items.front()->alias, alias);

    if (how == QLatin1String("close"))
        f.window->close();
    else if (how == QLatin1String("SpeedButton1"))
        f.window->findChild<QToolButton *>(how)->click();
    else
        f.window->findChild<QPushButton *>(how)->click();

    const CategoryNode *mail = w.collection().category(0);
    QCOMPARE(mail->itemCount(), 2);
    QCOMPARE(mail->items.front()->alias, alias);
    QCOMPARE(mail->items.back()->alias, QStringLiteral("hi"));
    QCOMPARE(w.collection().currentItems().size(), 2);
    QVERIFY(w.collection().captureModified());
    QVERIFY(f.boxes.shown().isEmpty());

    // Saved as any capture is: in the tray by the auto-save, in the open window by OK.
    if (w.isMinimisedState())
        w.autoSave();
    else
        f.window->findChild<QPushButton *>(QStringLiteral("OK"))->click();
    const QByteArray saved = readFile(f.dataFile());
    QVERIFY(!saved.contains("dropped"));
    const Item &kept = *w.collection().category(0)->items.front();
    if (picture) {
        // Its picture outlived the reload, which sweeps the pictures the file does not name.
        QVERIFY(saved.contains(QFileInfo(kept.text).fileName().toUtf8()));
        QCOMPARE(pictureOf(kept).size(), QSize(4, 3));
    } else {
        QVERIFY(saved.contains("copied while open"));
    }
}

void TestScrapkeeper::aCopyCancelCannotPutBackIsTold()
{
    Fixture f;
    // Mail is locked at a limit of one item and full.
    f.writeDataFile("031\r\nMail\r\n1\r\n1\r\n1\r\nhi\r\nSun, Feb 18, 2001, 12:33 PM\r\n1\r\nhello\r\n0001\r\n"
                    "031\r\nForms\r\n0\r\n0\r\n0\r\nSK: 2.3\r\n");
    f.writeSettings();
    Scrapkeeper &w = f.start();
    w.showConfiguration();
    // The user empties Mail, a copy lands there, and the emptying is cancelled.
    w.collection().removeItems(w.collection().category(0));
    w.collection().setEditModified();
    f.clipboard.offer({{"text/plain", "copied while open"}});
    QCOMPARE(w.collection().category(0)->items.front()->text, QStringLiteral("copied while open"));
    f.window->findChild<QPushButton *>(QStringLiteral("Cancel"))->click();

    QCOMPARE(w.collection().category(0)->itemCount(), 1);
    QCOMPARE(w.collection().category(0)->items.front()->alias, QStringLiteral("hi"));
    QCOMPARE(f.boxes.shown().size(), 1);
    QVERIFY(f.boxes.shown().first().text.contains(QStringLiteral("\"copied while open\" in \"Mail\"")));
    // Said once: the copy is given up, not offered again.
    w.showConfiguration();
    w.collection().setEditModified();
    f.window->findChild<QPushButton *>(QStringLiteral("Cancel"))->click();
    QCOMPARE(f.boxes.shown().size(), 1);
}

void TestScrapkeeper::logOffKeepsWhatThePagesShow_data()
{
    QTest::addColumn<bool>("saveOnExit");
    QTest::newRow("saving on exit") << true;
    // Unticked on the page, "Save all changes on Exit" is honoured too.
    QTest::newRow("saving on exit unticked on the page") << false;
}

void TestScrapkeeper::logOffKeepsWhatThePagesShow()
{
    QFETCH(bool, saveOnExit);
    Fixture f;
    f.writeDataFile(kTwoCategories);
    f.writeSettings();
    Scrapkeeper &w = f.start();
    // The program's door for a log-off, as main() wires it.
    UnixSignals unixSignals;
    connect(&unixSignals, &UnixSignals::terminationRequested, &w, &Scrapkeeper::quit);

    w.showConfiguration();
    w.collection().addNewItem(false, textItem(QStringLiteral("edited")));
    w.collection().setEditModified();
    f.window->popupListPage()->widget()->findChild<QSpinBox *>(QStringLiteral("heightse"))->setValue(20);
    if (!saveOnExit)
        f.window->findChild<QCheckBox *>(QStringLiteral("savecb"))->setChecked(false);
    QCOMPARE(w.options().number(Option::ListRows), 8);

    ::raise(SIGTERM);
    QTRY_VERIFY(w.exitRequested());
    w.shutDown();

    QCOMPARE(readFile(f.dataFile()).contains("edited"), saveOnExit);
    QCOMPARE(f.storedNumber(Option::ListRows), saveOnExit ? 20 : 8);
    QCOMPARE(f.storedNumber(Option::SaveOnExit), 1);
}

void TestScrapkeeper::treeSelectionAndEditsReachTheProgram()
{
    Fixture f;
    f.writeDataFile(kTwoCategories);
    f.writeSettings();
    Scrapkeeper &w = f.start();
    w.showConfiguration();
    CollectionTreeView *tree = f.window->tree();
    CategoryMenu *trayCategories = w.trayIcon().menu()->categoryMenu();

    // Selecting a node makes its category the current one everywhere.
    tree->selectNode({w.collection().category(1), nullptr});
    QCOMPARE(w.collection().currentCategory(), w.collection().category(1));
    QCOMPARE(f.window->categoryCombo()->currentText(), QStringLiteral("Forms"));
    QCOMPARE(trayCategories->checkedCategory(), 1);
    CategoryNode *mail = w.collection().category(0);
    tree->selectNode({mail, mail->items.front().get()});
    QCOMPARE(w.collection().currentCategory(), mail);
    QCOMPARE(w.collection().currentItems().size(), 1);
    QCOMPARE(trayCategories->checkedCategory(), 0);
    QVERIFY(tree->selectedNode().isItem());

    // A new category reaches the combo and the tray's list, and is current.
    CategoryProperties notes;
    notes.name = QStringLiteral("Notes");
    f.treeDialogs.categoryAnswers.enqueue(notes);
    f.window->listSetupPage()->addMenu()->findChild<QAction *>(QStringLiteral("NewCategory1"))->trigger();
    QCOMPARE(f.window->categoryCombo()->count(), 3);
    QCOMPARE(f.window->categoryCombo()->currentText(), QStringLiteral("Notes"));
    QCOMPARE(trayCategories->actions().size(), 3);
    QCOMPARE(trayCategories->checkedCategory(), 2);
    QCOMPARE(w.collection().currentCategory()->name, QStringLiteral("Notes"));

    // Cancel takes it back from all of them.
    f.window->findChild<QPushButton *>(QStringLiteral("Cancel"))->click();
    QCOMPARE(w.collection().categoryCount(), 2);
    QCOMPARE(f.window->categoryCombo()->count(), 2);
    QCOMPARE(trayCategories->actions().size(), 2);
    QCOMPARE(readFile(f.dataFile()), kTwoCategories);
}

void TestScrapkeeper::exitSavesWhenAsked_data()
{
    QTest::addColumn<int>("save");
    QTest::newRow("save on exit") << 1;
    QTest::newRow("no save on exit") << 0;
}

void TestScrapkeeper::exitSavesWhenAsked()
{
    QFETCH(int, save);
    Fixture f;
    f.writeDataFile(kTwoCategories);
    f.writeSettings({{Option::SaveOnExit, save}});
    Scrapkeeper &w = f.start();
    w.collection().addNewItem(false, textItem(QStringLiteral("captured")));
    w.collection().setCaptureModified();
    w.shutDown();
    QCOMPARE(readFile(f.dataFile()).contains("captured"), save == 1);
    QVERIFY(readFile(QDir(f.paths().programFolder).filePath(QStringLiteral("dblist.txt"))).startsWith(f.dataFile().toUtf8()));
}

void TestScrapkeeper::exampleDataFileKeepsWindowOpen()
{
    Fixture f;
    f.writeDataFile(kTwoCategories, QStringLiteral("skexdata.db"));
    f.writeSettings({}, QDir(f.paths().programFolder).filePath(QStringLiteral("skexdata.db")));
    f.boxes.answerNext(MessageBoxService::No);
    Scrapkeeper &w = f.start();
    QVERIFY(!w.isMinimisedState());
    QVERIFY(f.window->isVisible());
    const QStringList texts = f.boxes.texts();
    QCOMPARE(texts.size(), 2);
    QVERIFY(texts[0].startsWith(QStringLiteral("The example data file (for the Example Page) is currently loaded.")));
    QVERIFY(texts[1].startsWith(QStringLiteral("If you want to create your own data file")));

    // Yes with a remembered previous file offers it in the chooser.
    f.writeDataFile(kTwoCategories, QStringLiteral("mine.db"));
    const QString mine = QDir(f.paths().programFolder).filePath(QStringLiteral("mine.db"));
    w.options().set(Option::PreviousDataFile, mine);
    f.boxes.clear();
    f.boxes.answerNext(MessageBoxService::Yes);
    f.dialogs.answers << mine;
    QVERIFY(w.checkExampleDataFile());
    QVERIFY(f.dialogs.asked.last().endsWith(mine));
    QVERIFY(f.boxes.texts().last().startsWith(QStringLiteral("Your previous data file has been located.")));
    QCOMPARE(w.dataFiles().currentFile(), mine);
}

void TestScrapkeeper::storedCategoryIndexBeyondListSelectsFirst()
{
    Fixture f;
    f.writeDataFile(kTwoCategories);
    f.writeSettings({{Option::CurrentCategory, 7}});
    Scrapkeeper &w = f.start();
    QCOMPARE(f.window->categoryCombo()->currentIndex(), 0);
    QCOMPARE(w.collection().currentCategory()->name, QStringLiteral("Mail"));

    f.writeSettings({{Option::CurrentCategory, 1}});
    Scrapkeeper &again = f.start();
    QCOMPARE(again.collection().currentCategory()->name, QStringLiteral("Forms"));
}

void TestScrapkeeper::withoutTrayTheWindowIconifies()
{
    Fixture f;
    f.writeDataFile(kTwoCategories);
    f.writeSettings();
    f.desktop.tray = false;
    Scrapkeeper &w = f.start();
    QVERIFY(w.isMinimisedState());
    QVERIFY(!w.trayIcon().isVisible());
    QVERIFY(f.window->isVisible());
    QVERIFY(f.window->isMinimized());
}

void TestScrapkeeper::errorHandlerNamesComponent()
{
    QCOMPARE(ErrorHandler::text(QStringLiteral("OK"), QStringLiteral("Disk full")),
             QStringLiteral("The following error has occured: \r\n\r\n(OK) Disk full\r\n\r\nIt is most likely not "
                            "serious, but you may want to shut down Scrapkeeper and restart it now.  If you are "
                            "receiving the error frequently or just want to report it, please e-mail us: "
                            "feedback@scrapkeeper.example.  Please include a description of the error and of what "
                            "happened."));
    QVERIFY(ErrorHandler::text(QString(), QStringLiteral("x")).contains(QStringLiteral("\r\n\r\n(not component) x\r\n")));

    ScriptedMessageBoxes boxes;
    ErrorHandler::install(&boxes);
    QObject button;
    button.setObjectName(QStringLiteral("savedbbtn"));
    ErrorHandler::guard(&button, [] { throw ProgramError(QStringLiteral("Cannot write")); });
    ErrorHandler::install(nullptr);
    QCOMPARE(boxes.shown().size(), 1);
    QCOMPARE(boxes.shown().first().title, QStringLiteral("Error"));
    QVERIFY(boxes.shown().first().text.contains(QStringLiteral("(savedbbtn) Cannot write")));

    // A save that fails on OK is reported and the window stays as it was.
    Fixture f;
    f.writeDataFile(kTwoCategories);
    f.writeSettings();
    Scrapkeeper &w = f.start();
    ErrorHandler::install(&f.boxes);
    w.showConfiguration();
    w.collection().setEditModified();
    QDir(f.paths().programFolder).removeRecursively();
    f.window->findChild<QPushButton *>(QStringLiteral("OK"))->click();
    ErrorHandler::install(nullptr);
    QVERIFY(f.boxes.texts().last().contains(QStringLiteral("(OK) Cannot write")));
    QVERIFY(!w.isMinimisedState());
    QVERIFY(w.collection().editModified());
}

QTEST_MAIN(TestScrapkeeper)
#include "tst_scrapkeeper.moc"
