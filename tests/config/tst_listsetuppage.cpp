#include "config/configwindow.h"
#include "config/dialogs/categorypropertiesdialog.h"
#include "config/dialogs/finddialog.h"
#include "config/pageiconcolumn.h"
#include "config/dialogs/itemeditor.h"
#include "config/pages/collectiontreeview.h"
#include "config/pages/listsetuppage.h"
#include "config/tree/collectiontreemodel.h"
#include "config/tree/treeeditor.h"
#include "doubles/fakedesktop.h"
#include "doubles/scriptedfiledialogs.h"
#include "doubles/scriptedmessageboxes.h"
#include "doubles/scriptedtreedialogs.h"
#include "settings/options.h"
#include "store/collection.h"

#include <QAccessible>
#include <QApplication>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QMenu>
#include <QTabWidget>
#include <QTest>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolButton>

#include "richtext/textexcerpt.h"
#include "testsupport.h"
#include "unnamedcontrols.h"

using namespace TestSupport;

namespace {

// What the window tells the program, recorded.
struct RecordingHandler : ConfigViewHandler
{
    void acceptRequested() override {}
    void discardRequested(bool keepWindowOpen) override { restored += keepWindowOpen; }
    bool closeRequested() override { return true; }
    void helpRequested(const QString &) override {}
    void explanationRequested(const QString &) override {}
    void categoryPicked(int) override {}
    void categoryChosenInTree(int index) override { chosen << index; }
    void windowStateChanged(bool) override {}
    void newGroupListRequested() override { asked << QStringLiteral("new"); }
    void openGroupListRequested() override { asked << QStringLiteral("open"); }
    void recentGroupListChosen(int index) override { asked << QStringLiteral("recent %1").arg(index); }
    void clearRecentGroupListsRequested() override { asked << QStringLiteral("clear"); }
    void saveGroupListRequested() override { asked << QStringLiteral("save"); }
    QStringList recentGroupLists() const override { return recent; }

    QList<int> chosen;
    int restored = 0;
    QStringList asked;
    QStringList recent;
};

struct Window
{
    Window()
    {
        for (const QString &name : {QStringLiteral("Mail"), QStringLiteral("Code")}) {
            CategoryNode *category = collection.appendCategory(name);
            for (int i = 1; i <= 2; ++i)
                collection.insertFirstChild(category, textItem(name + QString::number(i)));
        }
        givePicture(*collection.category(1)->items[0], filledPicture(3, 2));
        QStringList names{QStringLiteral("Mail"), QStringLiteral("Code")};
        window.showCategoryNames(names, 0);
        collection.setCurrentCategory(collection.category(0));
    }
    QToolButton *button(const char *name) const { return window.findChild<QToolButton *>(QLatin1String(name)); }
    ListSetupPage &page() const { return *window.listSetupPage(); }
    void select(int category, int row = -1)
    {
        QModelIndex index = page().model()->index(category, 0);
        if (row >= 0)
            index = page().model()->index(row, 0, index);
        window.tree()->setCurrentIndex(index);
    }
    QString details() const { return window.findChild<QTextEdit *>(QStringLiteral("pMemo"))->toPlainText(); }
    QString dateLine() const { return window.findChild<QLabel *>(QStringLiteral("panelDate"))->text(); }

    Collection collection;
    Options options;
    ScriptedMessageBoxes boxes;
    ScriptedTreeDialogs dialogs;
    TreeEditor editor{collection, options, boxes, dialogs};
    RecordingHandler handler;
    FakeDesktop desktop;
    ScriptedFileDialogs files;
    ConfigWindow window{collection, editor, handler, desktop, files};
};

} // namespace

class TestListSetupPage : public QObject
{
    Q_OBJECT
private slots:
    void buttonsFollowTheSelection_data();
    void buttonsFollowTheSelection();
    void detailsShowTheSelectedNode();
    void detailsOfHugeItemsAreBounded();
    void comboFollowsTheTree();
    void addMenuSaysWhenTheCategoryIsFull();
    void findContinuesFromTheSelection();
    void deleteKeyDeletesTheSelectedNode();
    void dragScrollsFasterFartherOut_data();
    void dragScrollsFasterFartherOut();
    void printAndQuickAddReachTheirDialogs();
    void groupListCommandsReachTheProgram();
    void theGroupListMenuShowsTheRecentFiles_data();
    void theGroupListMenuShowsTheRecentFiles();
    void theCaptionsNameTheDataFile();
    void everyControlHasAnAccessibleName();
    void everyPageFitsASmallScreen_data();
    void everyPageFitsASmallScreen();
};

void TestListSetupPage::buttonsFollowTheSelection_data()
{
    QTest::addColumn<int>("category");
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("keepCategory");
    QTest::addColumn<bool>("print");

    QTest::newRow("category") << 0 << -1 << true << false;
    QTest::newRow("text item") << 0 << 0 << false << true;
    QTest::newRow("picture") << 1 << 0 << false << false;
}

void TestListSetupPage::buttonsFollowTheSelection()
{
    QFETCH(int, category);
    QFETCH(int, row);
    Window w;
    w.select(category, row);
    QTEST(w.button("keepcatsb")->isEnabled(), "keepCategory");
    QTEST(w.button("printsb")->isEnabled(), "print");
    QCOMPARE(w.button("keepcatsb")->toolTip(),
             QStringLiteral("Delete selected category's items,\r\nbut don't delete the actual category"));
}

void TestListSetupPage::detailsShowTheSelectedNode()
{
    Window w;
    w.select(0, 1);
    QCOMPARE(w.dateLine(), QStringLiteral("Created:  ") + kStamp);
    QCOMPARE(w.details(), QStringLiteral("Mail1"));

    w.collection.category(0)->items[0]->kind = ItemKind::RichText;
    w.collection.category(0)->items[0]->text = QStringLiteral(R"({\rtf1\ansi plain {\b bold}})");
    w.select(0, 0);
    QCOMPARE(w.details(), QStringLiteral("plain bold"));
    QTextCursor cursor(w.window.findChild<QTextEdit *>(QStringLiteral("pMemo"))->document());
    cursor.setPosition(8);
    QCOMPARE(cursor.charFormat().fontWeight(), int(QFont::Bold));

    w.select(1, 0);
    QVERIFY(w.window.findChild<QLabel *>(QStringLiteral("img"))->pixmap().size() == QSize(3, 2));

    w.select(0);
    QCOMPARE(w.dateLine(), QStringLiteral("Category Properties:"));
    QVERIFY(w.details().contains(QStringLiteral("Number of items:\t\t2")));
    // A capture into the selected category is counted at once.
    w.collection.insertFirstChild(w.collection.category(0), textItem(QStringLiteral("new")));
    QVERIFY(w.details().contains(QStringLiteral("Number of items:\t\t3")));
}

void TestListSetupPage::detailsOfHugeItemsAreBounded()
{
    Window w;
    QString rtf = QStringLiteral(R"({\rtf1\ansi {\b Opening} words\par )");
    for (int i = 0; i < 200000; ++i)
        rtf += QStringLiteral("Paragraph %1 of a document some forty megabytes long once laid out\\par\r\n").arg(i);
    w.collection.category(0)->items[0]->kind = ItemKind::RichText;
    w.collection.category(0)->items[0]->text = rtf + QLatin1Char('}');
    w.select(0, 0);
    const QTextDocument *shown = w.window.findChild<QTextEdit *>(QStringLiteral("pMemo"))->document();
    QVERIFY2(shown->characterCount() <= TextExcerpt::MaxCharacters + 3, qPrintable(QString::number(shown->characterCount())));
    QVERIFY(shown->blockCount() <= TextExcerpt::MaxParagraphs + 2);
    QVERIFY(w.details().startsWith(QLatin1String("Opening words\nParagraph 0 of")));
    QTextCursor cursor(shown->firstBlock());
    cursor.setPosition(3);
    QCOMPARE(cursor.charFormat().fontWeight(), int(QFont::Bold));

    // A picture whose header declares 16000 x 16000 is not decoded: the panel says why.
    QTemporaryDir dir;
    const QString side = dir.filePath(QStringLiteral("data.db.b9"));
    writeFile(side, blankPng(16000, 16000));
    w.collection.category(1)->items[0]->text = side;
    w.select(1, 1);
    w.select(1, 0);
    auto *picture = w.window.findChild<QLabel *>(QStringLiteral("img"));
    QVERIFY(picture->pixmap().isNull());
    QVERIFY2(picture->text().contains(QLatin1String("16000 x 16000")), qPrintable(picture->text()));
}

void TestListSetupPage::comboFollowsTheTree()
{
    Window w;
    w.select(1, 1);
    QCOMPARE(w.window.categoryCombo()->currentText(), QStringLiteral("Code"));
    QCOMPARE(w.handler.chosen, QList<int>{1});
    w.select(1);  // same category: nothing to tell
    w.select(0);
    QCOMPARE(w.window.categoryCombo()->currentText(), QStringLiteral("Mail"));
    QCOMPARE(w.handler.chosen, (QList<int>{1, 0}));
    // The tree keeps the item selected: only the combo followed.
    QVERIFY(w.page().tree()->selectedNode().isCategory());
}

void TestListSetupPage::addMenuSaysWhenTheCategoryIsFull()
{
    Window w;
    CategoryNode *mail = w.collection.category(0);
    mail->rec.limit = 2;
    mail->rec.lockAtLimit = true;
    QMenu *menu = w.page().addMenu();
    emit menu->aboutToShow();
    QAction *addItem = menu->findChild<QAction *>(QStringLiteral("Additem1"));
    QCOMPARE(addItem->text(), QStringLiteral("Category locked; limit reached"));
    QVERIFY(!addItem->isEnabled());
    QVERIFY(menu->findChild<QAction *>(QStringLiteral("NewCategory1"))->isEnabled());
    mail->rec.limit = 3;
    emit menu->aboutToShow();
    QCOMPARE(addItem->text(), QStringLiteral("Add Text Item..."));
    QVERIFY(addItem->isEnabled());
}

void TestListSetupPage::findContinuesFromTheSelection()
{
    Window w;
    w.select(0);
    FindDialog *find = w.page().findDialog();
    w.page().showFindDialog();
    find->findChild<QLineEdit *>(QStringLiteral("findText"))->setText(QStringLiteral("mail"));
    w.page().findNext();
    QCOMPARE(w.page().tree()->selectedNode().item->alias, QStringLiteral("Mail2"));
    w.page().findNext();
    QCOMPARE(w.page().tree()->selectedNode().item->alias, QStringLiteral("Mail1"));
    w.page().findNext();
    QCOMPARE(w.boxes.texts(), QStringList{QStringLiteral("No matches found")});
    // Shown again, it looks at the selection itself first.
    find->hide();
    w.page().showFindDialog();
    w.page().findNext();
    QCOMPARE(w.page().tree()->selectedNode().item->alias, QStringLiteral("Mail1"));
    find->hide();
}

void TestListSetupPage::deleteKeyDeletesTheSelectedNode()
{
    Window w;
    w.options.set(Option::ConfirmItemDelete, false);
    w.window.show();
    w.select(0, 0);
    QTest::keyClick(w.page().tree(), Qt::Key_Delete);
    QCOMPARE(w.collection.category(0)->itemCount(), 1);
    QVERIFY(w.collection.editModified());
    // The tree moved on to a neighbour, and the panel with it.
    QVERIFY(!w.page().tree()->selectedNode().isNull());
}

void TestListSetupPage::dragScrollsFasterFartherOut_data()
{
    QTest::addColumn<int>("distance");
    QTest::addColumn<int>("interval");
    QTest::newRow("at the edge") << 0 << 75;
    QTest::newRow("a little out") << 20 << 55;
    QTest::newRow("far out") << 74 << 1;
    QTest::newRow("farther still") << 300 << 1;
}

void TestListSetupPage::dragScrollsFasterFartherOut()
{
    QFETCH(int, distance);
    QTEST(CollectionTreeView::dragScrollInterval(distance), "interval");
}

void TestListSetupPage::everyControlHasAnAccessibleName()
{
    Window w;
    w.window.show();
    w.select(0);
    QCOMPARE(unnamedControls(&w.window).join(u","), QString());

    CategoryPropertiesDialog dialog(CategoryPropertiesDialog::Mode::Edit, w.collection, w.collection.category(0),
                                    w.boxes);
    dialog.show();
    QCOMPARE(unnamedControls(&dialog), QStringList());

    w.page().showFindDialog();
    QCOMPARE(unnamedControls(w.page().findDialog()), QStringList());
    w.page().findDialog()->hide();

    ScriptedFileDialogs files;
    ItemEditor editor(ItemEditor::Mode::Add, w.boxes, files);
    editor.show();
    QCOMPARE(unnamedControls(&editor), QStringList());
}

void TestListSetupPage::printAndQuickAddReachTheirDialogs()
{
    Window w;
    w.select(0, 1);
    w.button("printsb")->click();
    QCOMPARE(w.dialogs.printed.size(), 1);
    QCOMPARE(w.dialogs.printed.first().text, QStringLiteral("Mail1"));

    QAction *quickAdd = w.page().addMenu()->findChild<QAction *>(QStringLiteral("QuickAdd1"));
    QVERIFY(quickAdd);
    QCOMPARE(quickAdd->text(), QStringLiteral("Quick Add..."));
    QVERIFY(quickAdd->isEnabled());
    w.dialogs.quickAddAnswers.enqueue(QList<Item>{textItem(QStringLiteral("quick"))});
    quickAdd->trigger();
    QCOMPARE(w.dialogs.quickAddCalls, 1);
    QCOMPARE(w.collection.category(0)->items[0]->text, QStringLiteral("quick"));
    w.select(0);
    QVERIFY(w.details().contains(QStringLiteral("Number of items:\t\t3")));
}

void TestListSetupPage::groupListCommandsReachTheProgram()
{
    Window w;
    for (const char *name : {"newdbbtn", "loaddbbtn", "savedbbtn"})
        QVERIFY2(w.button(name)->isEnabled(), name);
    w.button("newdbbtn")->click();
    w.button("savedbbtn")->click();
    QMenu *menu = w.page().groupListMenu();
    QCOMPARE(w.button("loaddbbtn")->menu(), menu);
    QCOMPARE(menu->objectName(), QStringLiteral("pmDBList"));
    QAction *open = menu->findChild<QAction *>(QStringLiteral("Open1"));
    QAction *clear = menu->findChild<QAction *>(QStringLiteral("Clearlist1"));
    QCOMPARE(open->text(), QStringLiteral("Open..."));
    QCOMPARE(clear->text(), QStringLiteral("Clear list"));
    open->trigger();
    clear->trigger();
    QCOMPARE(w.handler.asked, (QStringList{"new", "save", "open", "clear"}));
}

void TestListSetupPage::theGroupListMenuShowsTheRecentFiles_data()
{
    QTest::addColumn<QStringList>("recent");
    QTest::addColumn<QStringList>("shown");

    QTest::newRow("none") << QStringList{} << QStringList{};
    QTest::newRow("two") << QStringList{"/d/a.db", "/d/b.db"} << QStringList{"/d/a.db", "/d/b.db"};
    QTest::newRow("an ampersand shown as it is")
        << QStringList{"/d/Tom & Jerry.db"} << QStringList{"/d/Tom && Jerry.db"};
    QTest::newRow("five") << QStringList{"/1.db", "/2.db", "/3.db", "/4.db", "/5.db"}
                          << QStringList{"/1.db", "/2.db", "/3.db", "/4.db", "/5.db"};
}

void TestListSetupPage::theGroupListMenuShowsTheRecentFiles()
{
    QFETCH(QStringList, recent);
    QFETCH(QStringList, shown);
    Window w;
    QMenu *menu = w.page().groupListMenu();
    // A longer list shown before: its entries must not linger.
    w.handler.recent = QStringList{"/old1.db", "/old2.db", "/old3.db", "/old4.db", "/old5.db"};
    emit menu->aboutToShow();
    w.handler.recent = recent;
    emit menu->aboutToShow();

    QStringList visible;
    QList<QAction *> entries;
    for (const char *name : {"One", "Two", "Three", "Four", "Five"}) {
        QAction *entry = menu->findChild<QAction *>(QLatin1String(name));
        QVERIFY2(entry, name);
        if (entry->isVisible()) {
            visible << entry->text();
            entries << entry;
        }
    }
    QCOMPARE(visible, shown);
    if (!entries.isEmpty()) {
        entries.last()->trigger();
        QCOMPARE(w.handler.asked, QStringList{QStringLiteral("recent %1").arg(entries.size() - 1)});
    }
}

void TestListSetupPage::theCaptionsNameTheDataFile()
{
    Window w;
    w.window.showDataFile(QStringLiteral("/home/me/lists/work.db"));
    QCOMPARE(w.window.windowTitle(), QStringLiteral("Scrapkeeper Configuration - /home/me/lists/work.db"));
    auto *pages = w.window.findChild<QTabWidget *>(QStringLiteral("ConfigPC"));
    QCOMPARE(pages->tabText(pages->indexOf(w.page().widget())), QStringLiteral("List Setup - work.db"));
}

void TestListSetupPage::everyPageFitsASmallScreen_data()
{
    QTest::addColumn<int>("points");
    QTest::newRow("usual font") << 9;
    // Text as tall as at twice the scale: the pages no longer fit an 800 × 600 screen.
    QTest::newRow("large font") << 18;
}

// The tallest page scrolls rather than pushing OK and Cancel off a small
// screen, and only a page that needs it does.
void TestListSetupPage::everyPageFitsASmallScreen()
{
    QFETCH(int, points);
    const QFont saved = QApplication::font();
    QFont font = saved;
    font.setPointSize(points);
    QApplication::setFont(font);
    auto restore = qScopeGuard([&] { QApplication::setFont(saved); });

    Window w;
    const QRect room = w.window.screen()->availableGeometry();
    constexpr int titleBar = 40;
    for (int page = 0; page < 4; ++page) {
        QTest::mouseClick(w.window.pageIcons()->icon(page), Qt::LeftButton);
        QVERIFY2(w.window.minimumSizeHint().height() + titleBar <= room.height(), qPrintable(QString::number(page)));
    }
    w.window.resize(w.window.width(), room.height() - titleBar);
    w.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.window));
    auto *scroller = w.window.findChild<QScrollArea *>(QStringLiteral("PageScroller"));
    QVERIFY(scroller);
    QTest::mouseClick(w.window.pageIcons()->icon(0), Qt::LeftButton);
    QApplication::processEvents();
    QVERIFY(!scroller->verticalScrollBar()->isVisible());
}

QTEST_MAIN(TestListSetupPage)
#include "tst_listsetuppage.moc"
