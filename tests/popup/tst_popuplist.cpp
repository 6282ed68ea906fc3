#include "pastefixture.h"
#include "popup/selectionorder.h"
#include "richtext/richedit.h"
#include "richtext/textexcerpt.h"
#include "popup/companionplacement.h"
#include "popup/popuplist.h"
#include "popup/popuplistmodel.h"
#include "popup/searchengine.h"
#include "settings/options.h"
#include "store/collection.h"
#include "store/deletionhistory.h"

#include <QApplication>
#include <QListView>
#include <QSignalSpy>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "testsupport.h"

using namespace TestSupport;


class TestPopupList : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup()
    {
        delete m_list.data();
        f.reset();
    }
    void selectionOrder_data();
    void selectionOrder();
    void clicksMakeThePasteOrder();
    void sizing_data();
    void sizing();
    void narrowListKeepsEveryRow();
    void rowsShowAliasesWithTheirKindsIcon_data();
    void rowsShowAliasesWithTheirKindsIcon();
    void longCategoryReachesItsLastRows();
    void keptOnScreen();
    void emptyCategory();
    void deleteSelectsTheEntryThatMovedUp_data();
    void deleteSelectsTheEntryThatMovedUp();
    void undoPutsDeletedEntriesBack_data();
    void undoPutsDeletedEntriesBack();
    void undoIntoALockedFullCategorySaysWhy();
    void aNoticeStandsAboveTheEntries();
    void escClosesAndGivesFocusBack();
    void escWhileTheTargetTakesTheFocusBack();
    void previewPlacement_data();
    void previewPlacement();
    void tipPlacement_data();
    void tipPlacement();
    void previewFollowsFocusAndToggles();
    void tooltipShowsPlainText();
    void moveModeDragsThePreviewAlong();
    void keptOnTheCaretsMonitor_data();
    void keptOnTheCaretsMonitor();
    void rowsKeepTheirItemsWhileCapturesArrive_data();
    void rowsKeepTheirItemsWhileCapturesArrive();
    void rowOfAFreedItemLeavesTheList();
    void tooltipShowsMarkupAsCharactersAndOnlyWhatFits();
    void hugeItemsShowABoundedStart_data();
    void hugeItemsShowABoundedStart();
    void aPicturePastTheBoundsIsNotDecoded();
    void windowKeysWorkOnAnEmptyListAndInMoveMode_data();
    void windowKeysWorkOnAnEmptyListAndInMoveMode();
    void shortcutsAreOffOnAnEmptyList();
    void leavingFromThePreviewClosesTheList();
    void anErrorInARunStillClosesTheList();
    void editChangesTheFocusedRecord_data();
    void editChangesTheFocusedRecord();
    void cancelledEditChangesNothing();
    void editOfAPictureWritesItBack();
    void editKeepsTheFocusOnTheRecordWhenACaptureArrives();
    void editOfARecordFreedMeanwhileWritesNothing();
    void searchFindsEveryCategoryAndEscGoesBack();
    void foundRowsPasteByTheirOwnCategorysSettings();
    void aCaptureDuringASearchKeepsTheRowsOnTheirItems();
    void delAndEditWorkOnFoundRows();
    void manyFoundRowsComeAsTheListScrolls();
    void typingInTheList_data();
    void typingInTheList();

private:
    CategoryNode *addCategory(const QString &name, const QStringList &texts, const CategorySettings &rec = {});
    void search(const QString &typed);
    QString rowCategory(int row) const;
    PopupList *open(int items);
    void capture(const QString &text);
    void pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void addRichAndPicture(const QString &rtf);
    void click(int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    QString rowText(int row) const;
    QRect rowRect(int row) const;
    int rowCount() const { return m_list->list()->model()->rowCount(); }
    int selectedCount() const { return int(m_list->list()->selectionModel()->selectedIndexes().size()); }

    std::unique_ptr<PasteFixture> f;
    QPointer<PopupList> m_list;
};

void TestPopupList::init()
{
    f = std::make_unique<PasteFixture>();
}

PopupList *TestPopupList::open(int items)
{
    CategoryNode *category = f->collection.currentCategory();
    for (int i = 0; i < items; ++i) {
        Item item = textItem(QStringLiteral("entry %1").arg(i));
        item.category = category->name;
        category->items.push_back(std::make_unique<Item>(item));
    }
    f->collection.refreshCurrentItems();
    m_list = new PopupList(f->collection, f->options, f->engine, f->desktop, f->boxes, f->target);
    m_list->move(100, 100);
    m_list->rebuild();
    m_list->show();
    m_list->activateWindow();
    QApplication::setActiveWindow(m_list);
    return m_list;
}

// Another program copies a text, which lands at the top of the current category.
void TestPopupList::capture(const QString &text)
{
    f->monitor.armed = true;
    f->clipboard.offer({{QStringLiteral("text/plain"), text.toUtf8()}});
}

// A key as the user presses it: to whatever has the keyboard in the list window.
void TestPopupList::pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    QWidget *focused = QApplication::focusWidget();
    QTest::keyClick(focused && focused->window() == m_list ? focused : m_list.data(), key, modifiers);
}

// A rich text entry and a picture entry, ahead of those open() adds.
void TestPopupList::addRichAndPicture(const QString &rtf)
{
    CategoryNode *category = f->collection.currentCategory();
    Item rich = textItem(rtf);
    rich.kind = ItemKind::RichText;
    rich.category = category->name;
    category->items.push_back(std::make_unique<Item>(rich));
    Item picture = textItem(QStringLiteral("pic"));
    givePicture(picture, filledPicture(5, 4));
    picture.category = category->name;
    category->items.push_back(std::make_unique<Item>(picture));
}

CategoryNode *TestPopupList::addCategory(const QString &name, const QStringList &texts, const CategorySettings &rec)
{
    CategoryNode *category = f->collection.appendCategory(name, rec);
    for (const QString &text : texts) {
        Item item = textItem(text);
        item.category = name;
        category->items.push_back(std::make_unique<Item>(item));
    }
    return category;
}

// Ctrl+F and the words typed into the field, once the search has looked everywhere.
void TestPopupList::search(const QString &typed)
{
    pressKey(Qt::Key_F, Qt::ControlModifier);
    QVERIFY(m_list->searchOpen());
    QCOMPARE(QApplication::focusWidget(), m_list->searchField());
    QTest::keyClicks(m_list->searchField(), typed);
    QTRY_VERIFY(!m_list->finder().running());
}

QString TestPopupList::rowCategory(int row) const
{
    const QAbstractItemModel *rows = m_list->list()->model();
    return rows->data(rows->index(row, 0), PopupListModel::CategoryRole).toString();
}

void TestPopupList::click(int row, Qt::KeyboardModifiers modifiers)
{
    QTest::mouseClick(m_list->list()->viewport(), Qt::LeftButton, modifiers, rowRect(row).center());
}

// The row as the view shows it.
QString TestPopupList::rowText(int row) const
{
    const QAbstractItemModel *rows = m_list->list()->model();
    return rows->data(rows->index(row, 0)).toString();
}

QRect TestPopupList::rowRect(int row) const
{
    QListView *list = m_list->list();
    return list->visualRect(list->model()->index(row, 0));
}

void TestPopupList::selectionOrder_data()
{
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<int>("focused");
    QTest::addColumn<QList<int>>("before");
    QTest::addColumn<QList<int>>("after");
    QTest::newRow("ctrl click appends") << QList<int>{5, 2} << 2 << QList<int>{5} << QList<int>{5, 2};
    QTest::newRow("shift range toward the focus, down") << QList<int>{2, 3, 4, 5} << 5 << QList<int>{2}
                                                        << QList<int>{2, 3, 4, 5};
    QTest::newRow("shift range toward the focus, up") << QList<int>{5, 4, 3, 2} << 2 << QList<int>{5}
                                                      << QList<int>{5, 4, 3, 2};
    QTest::newRow("deselected leaves") << QList<int>{5, 7} << 2 << QList<int>{5, 2, 7} << QList<int>{5, 7};
    QTest::newRow("select all: below the focus upward, above it downward")
        << QList<int>{0, 1, 2, 3, 4} << 2 << QList<int>{} << QList<int>{0, 1, 4, 3, 2};
    QTest::newRow("beyond the list is left out") << QList<int>{12, 3} << 3 << QList<int>{} << QList<int>{3};
    QTest::newRow("unselected focus stays out") << QList<int>{4} << 6 << QList<int>{6, 4} << QList<int>{4};
}

void TestPopupList::selectionOrder()
{
    QFETCH(QList<int>, selected);
    QFETCH(int, focused);
    QFETCH(QList<int>, before);
    QFETCH(QList<int>, after);
    SelectionOrder order;
    // Build the starting order one entry at a time.
    QList<int> now;
    for (const int i : before) {
        now << i;
        order.update(now, 10, i);
    }
    QCOMPARE(order.order(), before);
    order.update(selected, 10, focused);
    QCOMPARE(order.order(), after);
}

void TestPopupList::clicksMakeThePasteOrder()
{
    open(8);
    click(5);
    click(2, Qt::ControlModifier);
    click(7, Qt::ControlModifier);
    QCOMPARE(m_list->selectionOrder(), (QList<int>{5, 2, 7}));
    QSignalSpy closed(m_list.data(), &PopupList::closed);
    QTest::keyClick(m_list->list(), Qt::Key_Return);
    QCOMPARE(closed.count(), 1);
    QCOMPARE(f->desktop.log.filter(QStringLiteral("ctrl+v")).size(), 3);
    QCOMPARE(f->clipboard.data(QStringLiteral("text/plain")), QByteArray("entry 7"));
}

void TestPopupList::sizing_data()
{
    QTest::addColumn<int>("items");
    QTest::addColumn<bool>("shrink");
    QTest::addColumn<bool>("strip");
    QTest::addColumn<int>("rows");
    QTest::newRow("shrunk to three") << 3 << true << true << 3;
    QTest::newRow("eight rows without shrink") << 3 << false << true << 8;
    QTest::newRow("no strip") << 10 << true << false << 8;
}

void TestPopupList::sizing()
{
    QFETCH(int, items);
    QFETCH(bool, shrink);
    QFETCH(bool, strip);
    QFETCH(int, rows);
    f->options.set(Option::ShrinkList, shrink);
    f->options.set(Option::ListHelpButtons, strip);
    f->options.set(Option::ListWidth, 180);
    open(items);
    QCOMPARE(m_list->width(), 180);
    QCOMPARE(m_list->height(), rows * m_list->itemHeight() + (strip ? PopupList::StripHeight : 0));
    QCOMPARE(m_list->mask().isEmpty(), !strip);
    QCOMPARE(selectedCount(), 1);
    QCOMPARE(m_list->currentRow(), 0);
}

void TestPopupList::narrowListKeepsEveryRow()
{
    // Texts wider than the list are cut short; a scroll bar must not take a row's place.
    f->options.set(Option::ListWidth, 60);
    f->options.set(Option::ListRows, 4);
    open(10);
    QVERIFY(!m_list->list()->horizontalScrollBar()->isVisible());
    QCOMPARE(m_list->list()->viewport()->height(), 4 * m_list->itemHeight());
}

void TestPopupList::rowsShowAliasesWithTheirKindsIcon_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("alias");
    QTest::addColumn<QString>("shown");
    QTest::newRow("text") << int(ItemKind::PlainText) << "plain" << "plain";
    QTest::newRow("rich text") << int(ItemKind::RichText) << "rich" << "rich";
    QTest::newRow("picture") << int(ItemKind::Image) << "Image: 5 x 4" << "Image: 5 x 4";
    // A damaged data file may carry an alias of megabytes: only what can ever fit is laid out.
    const QString huge = QStringLiteral("x").repeated(3'000'000);
    QTest::newRow("huge alias") << int(ItemKind::PlainText) << huge << huge.left(PopupListModel::MaxShownCharacters);
}

void TestPopupList::rowsShowAliasesWithTheirKindsIcon()
{
    QFETCH(int, kind);
    QFETCH(QString, alias);
    QFETCH(QString, shown);
    CategoryNode *category = f->collection.currentCategory();
    for (const ItemKind each : {ItemKind::PlainText, ItemKind::RichText, ItemKind::Image}) {
        Item item = textItem(QStringLiteral("text"));
        item.kind = each;
        item.alias = each == ItemKind(kind) ? alias : QStringLiteral("other");
        item.category = category->name;
        category->items.push_back(std::make_unique<Item>(item));
    }
    open(0);
    const QAbstractItemModel *rows = m_list->list()->model();
    int row = 0;
    while (rows->index(row, 0).data() == QStringLiteral("other"))
        ++row;
    QCOMPARE(rowText(row), shown);
    // Each kind has an icon of its own.
    const auto iconOf = [rows](int r) {
        return rows->index(r, 0).data(Qt::DecorationRole).value<QIcon>().pixmap(11, 11).toImage();
    };
    QVERIFY(!iconOf(row).isNull());
    for (int other = 0; other < 3; ++other)
        QVERIFY(other == row || iconOf(other) != iconOf(row));
}

void TestPopupList::longCategoryReachesItsLastRows()
{
    open(10000);
    QCOMPARE(rowCount(), 10000);
    pressKey(Qt::Key_End);
    QCOMPARE(m_list->currentRow(), 9999);
    // The last row is scrolled into the viewport.
    QVERIFY(m_list->list()->viewport()->rect().contains(rowRect(9999)));
    pressKey(Qt::Key_Up, Qt::ShiftModifier);
    pressKey(Qt::Key_Up, Qt::ShiftModifier);
    QCOMPARE(m_list->selectionOrder(), (QList<int>{9999, 9998, 9997}));
    click(9998, Qt::ControlModifier);
    QCOMPARE(m_list->selectionOrder(), (QList<int>{9999, 9997}));
    pressKey(Qt::Key_Return);
    QCOMPARE(f->desktop.log.filter(QStringLiteral("ctrl+v")).size(), 2);
    QCOMPARE(f->clipboard.data(QStringLiteral("text/plain")), QByteArray("entry 9997"));
}

void TestPopupList::keptOnScreen()
{
    open(3);
    m_list->move(1270, 795);
    m_list->rebuild();
    QCOMPARE(m_list->x() + m_list->width(), 1280);
    QCOMPARE(m_list->y() + m_list->height(), 800);
}

void TestPopupList::emptyCategory()
{
    open(0);
    QVERIFY(m_list->noItems());
    QVERIFY(!m_list->list()->isEnabled());
    QCOMPARE(rowText(0), QStringLiteral("*NO ITEMS IN CURRENT CATEGORY*"));
    QCOMPARE(rowText(2), QStringLiteral("  -PRESS ALT TO SWITCH CATEGORIES"));
    QVERIFY(m_list->findChild<QWidget *>(QStringLiteral("pmsb"))->isEnabled());
    QVERIFY(!m_list->findChild<QWidget *>(QStringLiteral("deletesb"))->isEnabled());
    QCOMPARE(m_list->height(), 8 * m_list->itemHeight() + PopupList::StripHeight);
}

void TestPopupList::deleteSelectsTheEntryThatMovedUp_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("selectedAfter");
    QTest::newRow("middle") << 2 << "entry 3";
    QTest::newRow("last") << 4 << "entry 3";
}

void TestPopupList::deleteSelectsTheEntryThatMovedUp()
{
    QFETCH(int, row);
    QFETCH(QString, selectedAfter);
    open(5);
    click(row);
    QTest::keyClick(m_list->list(), Qt::Key_Delete);
    QCOMPARE(f->collection.currentCategory()->itemCount(), 4);
    QCOMPARE(rowCount(), 4);
    QCOMPARE(rowText(m_list->currentRow()), selectedAfter);
    QVERIFY(f->collection.captureModified());
    QCOMPARE(m_list->selectionOrder().size(), 1);
}

void TestPopupList::undoPutsDeletedEntriesBack_data()
{
    // Each step selects the rows given (the first clicked, the others
    // Ctrl+clicked) and presses Del.
    QTest::addColumn<int>("items");
    QTest::addColumn<QList<QList<int>>>("steps");
    QTest::addColumn<int>("undos");
    QTest::addColumn<QStringList>("rowsAfter");
    QTest::addColumn<QStringList>("selectedAfter");
    const QStringList all{"entry 0", "entry 1", "entry 2", "entry 3", "entry 4"};
    QTest::newRow("one entry") << 5 << QList<QList<int>>{{2}} << 1 << all << QStringList{"entry 2"};
    QTest::newRow("two levels, both undone") << 5 << QList<QList<int>>{{3}, {0}} << 2 << all
                                             << QStringList{"entry 3"};
    QTest::newRow("two levels, one undone") << 5 << QList<QList<int>>{{3}, {0}} << 1
                                            << QStringList{"entry 0", "entry 1", "entry 2", "entry 4"}
                                            << QStringList{"entry 0"};
    QTest::newRow("a selection is one step") << 5 << QList<QList<int>>{{1, 4}} << 1 << all
                                             << QStringList{"entry 1", "entry 4"};
    QTest::newRow("the list emptied") << 1 << QList<QList<int>>{{0}} << 1 << QStringList{"entry 0"}
                                      << QStringList{"entry 0"};
}

void TestPopupList::undoPutsDeletedEntriesBack()
{
    QFETCH(int, items);
    QFETCH(QList<QList<int>>, steps);
    QFETCH(int, undos);
    QFETCH(QStringList, rowsAfter);
    QFETCH(QStringList, selectedAfter);
    open(items);
    for (const QList<int> &rows : steps) {
        for (int i = 0; i < rows.size(); ++i)
            click(rows[i], i == 0 ? Qt::NoModifier : Qt::ControlModifier);
        pressKey(Qt::Key_Delete);
    }
    f->collection.clearModified();
    for (int i = 0; i < undos; ++i)
        pressKey(Qt::Key_Z, Qt::ControlModifier);

    QStringList rows;
    for (int row = 0; row < rowCount(); ++row)
        rows << rowText(row);
    QCOMPARE(rows, rowsAfter);
    // The category holds them in that order, and the change is to be saved.
    QCOMPARE(f->category->itemCount(), rowsAfter.size());
    for (int row = 0; row < rowsAfter.size(); ++row)
        QCOMPARE(f->category->items[size_t(row)]->alias, rowsAfter[row]);
    QVERIFY(f->collection.captureModified());
    QVERIFY(m_list->list()->isEnabled());
    QStringList selected;
    for (const int row : m_list->selectionOrder())
        selected << rowText(row);
    QCOMPARE(selected, selectedAfter);
    QVERIFY(f->boxes.shown().isEmpty());
}

void TestPopupList::undoIntoALockedFullCategorySaysWhy()
{
    f->category->rec.limit = 3;
    f->category->rec.lockAtLimit = true;
    open(3);
    click(1);
    pressKey(Qt::Key_Delete);
    capture(QStringLiteral("filled it again"));
    QCOMPARE(f->category->itemCount(), 3);

    pressKey(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(f->boxes.texts(), QStringList{"What you deleted last was not put back. Category \"Forms\" is locked and "
                                           "full (its limit is 3)."});
    QCOMPARE(f->category->itemCount(), 3);
    QVERIFY(f->collection.deletions().canUndo());
    QVERIFY(m_list->isVisible());
}

void TestPopupList::aNoticeStandsAboveTheEntries()
{
    open(2);
    const int plainHeight = m_list->height();
    m_list->setNotice(QStringLiteral("Last copy not kept: a reason"));
    m_list->rebuild();
    auto *notice = m_list->findChild<QLabel *>(QStringLiteral("noticerow"));
    QVERIFY(notice->isVisible());
    QCOMPARE(notice->toolTip(), QStringLiteral("Last copy not kept: a reason"));
    QCOMPARE(m_list->height(), plainHeight + m_list->itemHeight());
    // Between the button strip and the entries, none of which it hides.
    QCOMPARE(notice->y(), PopupList::StripHeight);
    QCOMPARE(m_list->list()->y(), notice->geometry().bottom() + 1);
    QCOMPARE(rowCount(), 2);
    QCOMPARE(rowText(m_list->currentRow()), QStringLiteral("entry 0"));
}

void TestPopupList::escClosesAndGivesFocusBack()
{
    open(2);
    QSignalSpy closed(m_list.data(), &PopupList::closed);
    QTest::keyClick(m_list->list(), Qt::Key_Escape);
    QCOMPARE(closed.count(), 1);
    QCOMPARE(f->desktop.log, QStringList{"focus 7"});
}

// The desktop waits for the target to have the focus again and lets events
// through meanwhile: the list goes inactive under the Esc that closes it.
void TestPopupList::escWhileTheTargetTakesTheFocusBack()
{
    open(2);
    QVERIFY(QTest::qWaitForWindowActive(m_list.data()));
    QTest::qWait(20);
    QSignalSpy closed(m_list.data(), &PopupList::closed);
    QWidget target;
    f->desktop.whileRefocusing = [&target] {
        target.show();
        target.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&target));
        QTest::qWait(20);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    };
    QTest::keyClick(m_list->list(), Qt::Key_Escape);
    QCOMPARE(closed.count(), 1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!m_list);
    QCOMPARE(f->desktop.log, QStringList{"focus 7"});
}

void TestPopupList::previewPlacement_data()
{
    QTest::addColumn<int>("listLeft");
    QTest::addColumn<int>("left");
    QTest::newRow("room on the right") << 100 << 300;
    QTest::newRow("near the right edge") << 1000 << 771;
    QTest::newRow("exactly at the limit goes left") << 851 << 622;
}

void TestPopupList::previewPlacement()
{
    QFETCH(int, listLeft);
    // List 200 wide, preview 229 wide, screen 1280 wide.
    QFETCH(int, left);
    QCOMPARE(CompanionPlacement::previewLeft(listLeft, 200, 229, QRect(0, 0, 1280, 800)), left);
}

void TestPopupList::tipPlacement_data()
{
    QTest::addColumn<QPoint>("pointer");
    QTest::addColumn<QPoint>("at");
    QTest::newRow("below right of the pointer") << QPoint(100, 100) << QPoint(115, 115);
    QTest::newRow("pulled in from the right edge") << QPoint(1250, 100) << QPoint(1180, 115);
    QTest::newRow("above the pointer near the bottom") << QPoint(100, 780) << QPoint(115, 725);
    QTest::newRow("never above the screen") << QPoint(100, 20) << QPoint(115, 35);
}

void TestPopupList::tipPlacement()
{
    QFETCH(QPoint, pointer);
    QFETCH(QPoint, at);
    QCOMPARE(CompanionPlacement::tipPosition(QSize(100, 40), pointer, QRect(0, 0, 1280, 800)), at);
    QCOMPARE(CompanionPlacement::tipPosition(QSize(100, 900), QPoint(10, 10), QRect(0, 0, 1280, 800)).y(), 0);
}

void TestPopupList::previewFollowsFocusAndToggles()
{
    f->options.set(Option::PreviewWindow, true);
    addRichAndPicture(QStringLiteral(R"({\rtf1 {\b Bold} rich})"));
    open(1);  // a plain entry after the two above
    QVERIFY(m_list->preview());
    QVERIFY(m_list->preview()->isVisible());
    // Eight configured rows high even though the list shrank to three.
    QCOMPARE(m_list->preview()->height(), 8 * m_list->itemHeight());
    QCOMPARE(m_list->preview()->x(), m_list->x() + m_list->width());
    QCOMPARE(m_list->preview()->memo()->toPlainText(), QStringLiteral("Bold rich"));
    click(1);
    QVERIFY(m_list->preview()->showingPicture());
    click(2);
    QCOMPARE(m_list->preview()->memo()->toPlainText(), QStringLiteral("entry 0"));

    QTest::keyClick(m_list->list(), Qt::Key_P, Qt::ControlModifier);
    QVERIFY(!m_list->preview());
    QVERIFY(!f->options.flag(Option::PreviewWindow));
    QTest::keyClick(m_list->list(), Qt::Key_P, Qt::ControlModifier);
    QVERIFY(m_list->preview());
    QVERIFY(f->options.flag(Option::PreviewWindow));
}

void TestPopupList::tooltipShowsPlainText()
{
    f->options.set(Option::ItemTooltip, true);
    addRichAndPicture(QStringLiteral(R"({\rtf1 {\b Bold} tip})"));
    open(0);
    QVERIFY(m_list->hintWindow());
    QListView *list = m_list->list();
    QTest::mouseMove(list->viewport(), rowRect(0).center());
    QTRY_VERIFY(m_list->hintWindow()->isVisible());
    QCOMPARE(m_list->hintWindow()->text(), QStringLiteral("Bold tip"));
    QTest::mouseMove(list->viewport(), rowRect(1).center());
    QTRY_VERIFY(!m_list->hintWindow()->isVisible());
    QTest::keyClick(list, Qt::Key_T, Qt::ControlModifier);
    QVERIFY(!m_list->hintWindow());
    QVERIFY(!f->options.flag(Option::ItemTooltip));
}

void TestPopupList::moveModeDragsThePreviewAlong()
{
    f->options.set(Option::PreviewWindow, true);
    open(2);
    QTest::keyClick(m_list->list(), Qt::Key_M, Qt::ControlModifier);
    QVERIFY(m_list->moveMode());
    QVERIFY(!m_list->list()->isEnabled());
    m_list->move(300, 200);
    QCOMPARE(m_list->preview()->pos(), QPoint(300 + m_list->width(), 200 + m_list->list()->y()));
    QTest::keyClick(m_list, Qt::Key_M, Qt::ControlModifier);
    QVERIFY(!m_list->moveMode());
    QVERIFY(m_list->list()->isEnabled());
}

void TestPopupList::keptOnTheCaretsMonitor_data()
{
    QTest::addColumn<QPoint>("caret");
    QTest::addColumn<QPoint>("anchor");
    QTest::addColumn<QPoint>("keptAt");
    // Two monitors side by side: 1280x800, then 1024x768 to its right.
    QTest::newRow("on the first") << QPoint(300, 200) << QPoint(300, 200) << QPoint(300, 200);
    QTest::newRow("on the second") << QPoint(1500, 300) << QPoint(1500, 300) << QPoint(1500, 300);
    QTest::newRow("second, near its corner") << QPoint(2290, 760) << QPoint(2290, 760) << QPoint(2104, 668);
    QTest::newRow("far beyond the second") << QPoint(2400, 300) << QPoint(40, 50) << QPoint(40, 50);
}

void TestPopupList::keptOnTheCaretsMonitor()
{
    QFETCH(QPoint, caret);
    QFETCH(QPoint, anchor);
    QFETCH(QPoint, keptAt);
    f->desktop.monitors = {QRect(0, 0, 1280, 800), QRect(1280, 0, 1024, 768)};
    const QRect screen = f->desktop.screenGeometry(caret);
    QCOMPARE(CompanionPlacement::listAnchor(caret, QPoint(40, 50), screen), anchor);
    QCOMPARE(CompanionPlacement::keptOnScreen(anchor, QSize(200, 100), f->desktop.screenGeometry(anchor)), keptAt);
    // The list does it itself when it is built where the caret is.
    open(3);
    m_list->move(anchor);
    m_list->rebuild();
    const QRect monitor = f->desktop.screenGeometry(anchor);
    QVERIFY(monitor.contains(m_list->geometry()));
}

void TestPopupList::rowsKeepTheirItemsWhileCapturesArrive_data()
{
    QTest::addColumn<Qt::Key>("key");
    QTest::newRow("Enter pastes the row's item") << Qt::Key_Return;
    QTest::newRow("Del deletes the row's item") << Qt::Key_Delete;
}

void TestPopupList::rowsKeepTheirItemsWhileCapturesArrive()
{
    QFETCH(Qt::Key, key);
    open(3);
    click(1);
    // Copies in another program while the list is open, as the row is chosen.
    capture(QStringLiteral("copied meanwhile"));
    capture(QStringLiteral("copied again"));
    QCOMPARE(f->category->itemCount(), 5);
    pressKey(key);
    if (key == Qt::Key_Return) {
        QCOMPARE(f->clipboard.data(QStringLiteral("text/plain")), QByteArray("entry 1"));
        QCOMPARE(f->desktop.log.count(QStringLiteral("key ctrl+v")), 1);
    } else {
        QStringList left;
        for (const auto &item : f->category->items)
            left << item->text;
        QCOMPARE(left, (QStringList{"copied again", "copied meanwhile", "entry 0", "entry 2"}));
    }
}

void TestPopupList::rowOfAFreedItemLeavesTheList()
{
    f->options.set(Option::PreviewWindow, true);
    f->options.set(Option::ItemTooltip, true);
    f->category->rec.limit = 3;
    open(3);
    click(2);
    QListView *list = m_list->list();
    QTest::mouseMove(list->viewport(), rowRect(2).center());
    // A capture into the full category frees its oldest item, the chosen one.
    capture(QStringLiteral("newest"));
    QCOMPARE(f->category->itemCount(), 3);
    QVERIFY(list->isRowHidden(2));
    QVERIFY(m_list->selectionOrder().isEmpty());
    QTest::mouseMove(list->viewport(), rowRect(1).center());
    click(0);
    pressKey(Qt::Key_Return);
    QCOMPARE(f->clipboard.data(QStringLiteral("text/plain")), QByteArray("entry 0"));
}

void TestPopupList::tooltipShowsMarkupAsCharactersAndOnlyWhatFits()
{
    f->options.set(Option::ItemTooltip, true);
    const QString markup = QStringLiteral("<b>bold</b><img src=\"/dev/zero\">");
    CategoryNode *category = f->collection.currentCategory();
    for (const QString &text : {markup, QStringLiteral("line\r\n").repeated(200000)}) {
        Item item = textItem(text);
        item.alias = text.left(20).simplified();
        item.category = category->name;
        category->items.push_back(std::make_unique<Item>(item));
    }
    open(0);
    QListView *list = m_list->list();
    QTest::mouseMove(list->viewport(), rowRect(0).center() + QPoint(1, 0));
    QTest::mouseMove(list->viewport(), rowRect(0).center());
    QTRY_VERIFY(m_list->hintWindow()->isVisible());
    QCOMPARE(m_list->hintWindow()->text(), markup);
    auto *label = m_list->hintWindow()->findChild<QLabel *>(QStringLiteral("hint"));
    QCOMPARE(label->textFormat(), Qt::PlainText);
    QTest::mouseMove(list->viewport(), rowRect(1).center());
    QTRY_VERIFY2(m_list->hintWindow()->text().startsWith(QLatin1String("line\nline\n")), qPrintable(m_list->hintWindow()->text().left(80)));
    QVERIFY(m_list->hintWindow()->text().size() < 1000);
    QVERIFY(m_list->hintWindow()->height() < 2000);
}

void TestPopupList::hugeItemsShowABoundedStart_data()
{
    QTest::addColumn<bool>("rich");
    QTest::addColumn<QString>("text");
    QString paragraphs = QStringLiteral(R"({\rtf1\ansi{\fonttbl{\f0 Arial;}}\f0 {\b First} line\par )");
    QString lines = QStringLiteral("First line\r\n");
    for (int i = 0; i < 100000; ++i) {
        paragraphs += QStringLiteral("Paragraph %1 of a long document\\par\r\n").arg(i);
        lines += QStringLiteral("Line %1 of a long text\r\n").arg(i);
    }
    paragraphs += QLatin1Char('}');
    const QString oneLine = QStringLiteral("First line ") + QString(3'000'000, QLatin1Char('x'));
    QTest::newRow("rich, many paragraphs") << true << paragraphs;
    QTest::newRow("rich, one paragraph") << true << (QStringLiteral(R"({\rtf1 {\b First} line)") + oneLine.mid(10) + "}");
    QTest::newRow("plain, many lines") << false << lines;
    QTest::newRow("plain, one line") << false << oneLine;
}

void TestPopupList::hugeItemsShowABoundedStart()
{
    QFETCH(bool, rich);
    QFETCH(QString, text);
    f->options.set(Option::PreviewWindow, true);
    f->options.set(Option::ItemTooltip, true);
    CategoryNode *category = f->collection.currentCategory();
    Item item = textItem(text);
    item.alias = QStringLiteral("huge");
    item.kind = rich ? ItemKind::RichText : ItemKind::PlainText;
    item.category = category->name;
    category->items.push_back(std::make_unique<Item>(item));
    open(0);

    // The preview holds the item's start and an ellipsis, never the whole.
    QVERIFY(m_list->preview());
    const QTextDocument *shown = m_list->preview()->memo()->document();
    QVERIFY2(shown->characterCount() <= TextExcerpt::MaxCharacters + 3, qPrintable(QString::number(shown->characterCount())));
    QVERIFY(shown->blockCount() <= TextExcerpt::MaxParagraphs + 2);
    QVERIFY2(shown->toPlainText().startsWith(QLatin1String("First line")), qPrintable(shown->toPlainText().left(40)));
    QCOMPARE(shown->lastBlock().text(), QString(QChar(0x2026)));
    QCOMPARE(m_list->preview()->memo()->textCursor().position(), 0);  // shown from its start
    if (rich) {
        QTextCursor first(shown->firstBlock());
        first.movePosition(QTextCursor::NextCharacter);
        QCOMPARE(first.charFormat().fontWeight(), int(QFont::Bold));
    }

    QTest::mouseMove(m_list->list()->viewport(), rowRect(0).center() + QPoint(1, 0));
    QTest::mouseMove(m_list->list()->viewport(), rowRect(0).center());
    QTRY_VERIFY(m_list->hintWindow()->isVisible());
    QVERIFY(m_list->hintWindow()->text().startsWith(QLatin1String("First line")));
    QVERIFY(m_list->hintWindow()->text().size() < 10000);
}

void TestPopupList::aPicturePastTheBoundsIsNotDecoded()
{
    f->options.set(Option::PreviewWindow, true);
    QTemporaryDir dir;
    const QString side = dir.filePath(QStringLiteral("data.db.b1"));
    writeFile(side, blankPng(16000, 16000));
    CategoryNode *category = f->collection.currentCategory();
    Item item = textItem(side);
    item.alias = QStringLiteral("Image: 16000 x 16000");
    item.kind = ItemKind::Image;
    item.category = category->name;
    category->items.push_back(std::make_unique<Item>(item));
    open(0);

    // No picture: the preview says why in words.
    QVERIFY(!m_list->preview()->showingPicture());
    QVERIFY(m_list->preview()->findChild<QLabel *>(QStringLiteral("Img"))->pixmap().isNull());
    const QString note = m_list->preview()->memo()->toPlainText();
    QVERIFY2(note.contains(QLatin1String("16000 x 16000")), qPrintable(note));
    QVERIFY(m_list->preview()->memo()->isVisible());
}

void TestPopupList::windowKeysWorkOnAnEmptyListAndInMoveMode_data()
{
    QTest::addColumn<int>("items");
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<int>("itemsLeft");
    QTest::newRow("empty: Esc closes") << 0 << Qt::Key_Escape << true << QString() << 0;
    QTest::newRow("empty: Enter does nothing") << 0 << Qt::Key_Return << false << QString() << 0;
    QTest::newRow("moving: Esc closes") << 3 << Qt::Key_Escape << true << QString() << 3;
    QTest::newRow("moving: Enter pastes") << 3 << Qt::Key_Return << true << QStringLiteral("entry 0") << 3;
    QTest::newRow("moving: Del deletes") << 3 << Qt::Key_Delete << false << QString() << 2;
}

void TestPopupList::windowKeysWorkOnAnEmptyListAndInMoveMode()
{
    QFETCH(int, items);
    QFETCH(Qt::Key, key);
    QFETCH(bool, closes);
    QFETCH(QString, pasted);
    QFETCH(int, itemsLeft);
    open(items);
    if (items > 0) {
        pressKey(Qt::Key_M, Qt::ControlModifier);
        QVERIFY(m_list->moveMode());
    }
    QSignalSpy closed(m_list.data(), &PopupList::closed);
    pressKey(key);
    QCOMPARE(closed.size(), closes ? 1 : 0);
    QCOMPARE(QString::fromUtf8(f->clipboard.data(QStringLiteral("text/plain"))), pasted);
    QCOMPARE(f->category->itemCount(), itemsLeft);
}

void TestPopupList::shortcutsAreOffOnAnEmptyList()
{
    open(0);
    bool menuOpened = false;
    // Alt still opens the category menu; close it once it shows.
    QTimer::singleShot(0, this, [&menuOpened] {
        if (QWidget *menu = QApplication::activePopupWidget()) {
            menuOpened = true;
            menu->close();
        }
    });
    pressKey(Qt::Key_Alt);
    QVERIFY(menuOpened);
    QSignalSpy closed(m_list.data(), &PopupList::closed);
    pressKey(Qt::Key_P, Qt::ControlModifier);
    pressKey(Qt::Key_X, Qt::ControlModifier);
    pressKey(Qt::Key_M, Qt::ControlModifier);
    QVERIFY(!f->options.flag(Option::PreviewWindow));
    QVERIFY(!m_list->moveMode());
    QCOMPARE(closed.size(), 0);
}

void TestPopupList::leavingFromThePreviewClosesTheList()
{
    f->options.set(Option::PreviewWindow, true);
    open(2);
    QVERIFY(QTest::qWaitForWindowActive(m_list.data()));
    QPointer<PreviewWindow> preview = m_list->preview();
    // The user clicks into the preview: the list stays.
    preview->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(preview.data()));
    QTest::qWait(20);
    QVERIFY(m_list && m_list->isVisible());
    // Then into another window: the list and the preview go together.
    QWidget elsewhere;
    elsewhere.show();
    elsewhere.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&elsewhere));
    QTRY_VERIFY(!m_list);
    QTRY_VERIFY(!preview);
}

void TestPopupList::anErrorInARunStillClosesTheList()
{
    open(2);
    QSignalSpy closed(m_list.data(), &PopupList::closed);
    f->desktop.failCtrlV = true;
    bool thrown = false;
    try {
        m_list->pasteSelection();
    } catch (const std::runtime_error &) {
        thrown = true;
    }
    QVERIFY(thrown);
    QCOMPARE(closed.size(), 1);
    QVERIFY(f->keys.grabs.isEmpty());
}


void TestPopupList::editChangesTheFocusedRecord_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Ctrl+E") << QStringLiteral("key");
    QTest::newRow("the list's edit button") << QStringLiteral("editsb");
    QTest::newRow("the preview's Edit Item") << QStringLiteral("preview");
}

void TestPopupList::editChangesTheFocusedRecord()
{
    QFETCH(QString, how);
    f->options.set(Option::PreviewWindow, how == QLatin1String("preview"));
    open(4);
    QStringList edited;
    m_list->setItemEditor([&edited](Item &item) {
        edited << item.text;
        item.alias = QStringLiteral("changed alias");
        item.text = QStringLiteral("changed text");
        item.action = AfterPasteAction::PressEnter;
        item.actionCount = 2;
        return true;
    });
    click(2);
    if (how == QLatin1String("key"))
        QTest::keyClick(m_list->list(), Qt::Key_E, Qt::ControlModifier);
    else if (how == QLatin1String("editsb"))
        m_list->findChild<QToolButton *>(QStringLiteral("editsb"))->click();
    else
        m_list->preview()->findChild<QToolButton *>(QStringLiteral("editsb"))->click();
    QCOMPARE(edited, QStringList{QStringLiteral("entry 2")});
    const Item &record = *f->collection.currentCategory()->items[2];
    QCOMPARE(record.text, QStringLiteral("changed text"));
    QCOMPARE(record.action, AfterPasteAction::PressEnter);
    QCOMPARE(int(record.actionCount), 2);
    QVERIFY(f->collection.captureModified());
    QCOMPARE(rowCount(), 4);
    QCOMPARE(m_list->currentRow(), 2);
    QCOMPARE(rowText(m_list->currentRow()), QStringLiteral("changed alias"));
    QCOMPARE(m_list->selectionOrder(), QList<int>{2});
}

void TestPopupList::cancelledEditChangesNothing()
{
    open(3);
    m_list->setItemEditor([](Item &item) {
        item.text = QStringLiteral("thrown away");
        return false;
    });
    click(1);
    QTest::keyClick(m_list->list(), Qt::Key_E, Qt::ControlModifier);
    QCOMPARE(f->collection.currentCategory()->items[1]->text, QStringLiteral("entry 1"));
    QVERIFY(!f->collection.captureModified());
}

void TestPopupList::editOfAPictureWritesItBack()
{
    addRichAndPicture(QStringLiteral(R"({\rtf1 rich})"));
    open(0);
    QStringList kinds;
    m_list->setItemEditor([&kinds](Item &item) {
        kinds << (item.kind == ItemKind::Image ? QStringLiteral("picture") : QStringLiteral("text"));
        item.alias = QStringLiteral("Image: 2 x 3");
        item.text = QStringLiteral("/data/data.db.b9");
        item.pictureSize = QSize(2, 3);
        item.created = QStringLiteral("Mon, Mar 1, 2027, 09:15 AM");
        return true;
    });
    click(1);
    QTest::keyClick(m_list->list(), Qt::Key_E, Qt::ControlModifier);
    QCOMPARE(kinds, QStringList{QStringLiteral("picture")});
    const Item &record = *f->collection.currentCategory()->items[1];
    QCOMPARE(record.alias, QStringLiteral("Image: 2 x 3"));
    QCOMPARE(record.text, QStringLiteral("/data/data.db.b9"));
    QCOMPARE(record.pictureSize, QSize(2, 3));
    QCOMPARE(record.created, QStringLiteral("Mon, Mar 1, 2027, 09:15 AM"));
    QCOMPARE(rowText(m_list->currentRow()), QStringLiteral("Image: 2 x 3"));
}

void TestPopupList::editKeepsTheFocusOnTheRecordWhenACaptureArrives()
{
    open(3);
    Item *record = f->collection.currentCategory()->items[1].get();
    m_list->setItemEditor([this](Item &item) {
        capture(QStringLiteral("copied while editing"));
        item.alias = QStringLiteral("changed alias");
        return true;
    });
    click(1);
    QTest::keyClick(m_list->list(), Qt::Key_E, Qt::ControlModifier);
    QCOMPARE(record->alias, QStringLiteral("changed alias"));
    QCOMPARE(rowCount(), 4);
    QCOMPARE(rowText(m_list->currentRow()), QStringLiteral("changed alias"));
}

void TestPopupList::editOfARecordFreedMeanwhileWritesNothing()
{
    open(3);
    m_list->setItemEditor([this](Item &item) {
        // The record goes while the editor is open, as a full category's capture trims it.
        f->collection.removeItem(f->collection.currentCategory()->items[1].get());
        item.text = QStringLiteral("late");
        return true;
    });
    click(1);
    QTest::keyClick(m_list->list(), Qt::Key_E, Qt::ControlModifier);
    QCOMPARE(f->collection.currentCategory()->itemCount(), 2);
    for (const auto &item : f->collection.currentCategory()->items)
        QVERIFY(item->text != QLatin1String("late"));
    // Another edit finds no record behind the freed row and opens nothing.
    bool opened = false;
    m_list->setItemEditor([&opened](Item &) { return opened = true; });
    QTest::keyClick(m_list->list(), Qt::Key_E, Qt::ControlModifier);
    QVERIFY(!opened);
}


void TestPopupList::searchFindsEveryCategoryAndEscGoesBack()
{
    f->options.set(Option::PreviewWindow, true);
    f->options.set(Option::ShrinkList, false);
    addCategory(QStringLiteral("Mail"), {QStringLiteral("Your Résumé, attached"), QStringLiteral("regards")});
    addCategory(QStringLiteral("Notes"), {QStringLiteral("resume the meeting")});
    open(3);
    const int plainHeight = m_list->height();
    search(QStringLiteral("resume"));
    QVERIFY(m_list->searchField()->isVisible());
    // The field stands above the rows; the window grew to hold it.
    QVERIFY(m_list->searchField()->geometry().bottom() < m_list->list()->geometry().top());
    QCOMPARE(m_list->height(), plainHeight + m_list->searchField()->height());
    QCOMPARE(rowCount(), 2);
    QCOMPARE(rowText(0), QStringLiteral("Your Résumé, attached"));
    QCOMPARE(rowCategory(0), QStringLiteral("Mail"));
    QCOMPARE(rowText(1), QStringLiteral("resume the meeting"));
    QCOMPARE(rowCategory(1), QStringLiteral("Notes"));
    // The field keeps the keyboard while Down moves the rows; the preview follows.
    QCOMPARE(m_list->currentRow(), 0);
    pressKey(Qt::Key_Down);
    QCOMPARE(m_list->currentRow(), 1);
    QCOMPARE(QApplication::focusWidget(), m_list->searchField());
    QCOMPARE(m_list->preview()->memo()->toPlainText(), QStringLiteral("resume the meeting"));
    // Two words in any order, and then one that nothing holds.
    QTest::keyClicks(m_list->searchField(), QStringLiteral(" meet"));
    QTRY_VERIFY(!m_list->finder().running());
    QCOMPARE(rowCount(), 1);
    QTest::keyClicks(m_list->searchField(), QStringLiteral("zzz"));
    QTRY_VERIFY(!m_list->finder().running());
    QCOMPARE(rowCount(), 0);
    QSignalSpy closed(m_list.data(), &PopupList::closed);
    pressKey(Qt::Key_Return);  // nothing found: nothing to paste, the list stays
    QCOMPARE(closed.size(), 0);
    // The first Esc ends the search and shows the current category, the second closes.
    pressKey(Qt::Key_Escape);
    QVERIFY(!m_list->searchOpen());
    QVERIFY(!m_list->searchField()->isVisible());
    QCOMPARE(m_list->height(), plainHeight);
    QCOMPARE(rowCount(), 3);
    QCOMPARE(rowText(0), QStringLiteral("entry 0"));
    QCOMPARE(rowCategory(0), QString());
    QCOMPARE(closed.size(), 0);
    pressKey(Qt::Key_Escape);
    QCOMPARE(closed.size(), 1);
}

void TestPopupList::foundRowsPasteByTheirOwnCategorysSettings()
{
    // The current category pastes by Ctrl+V with no action; Mail types its
    // items and presses Tab twice after each.
    CategorySettings typed;
    typed.pasteMethod = PasteMethod::EnterKeystrokes;
    typed.action = AfterPasteAction::PressTab;
    typed.actionCount = 2;
    CategoryNode *mail = addCategory(QStringLiteral("Mail"), {QStringLiteral("first"), QStringLiteral("ok reply")}, typed);
    open(2);
    Item *own = f->category->items[1].get();
    own->alias = own->text = QStringLiteral("reply form");
    f->collection.refreshCurrentItems();
    search(QStringLiteral("reply"));
    QCOMPARE(rowCount(), 2);
    QCOMPARE(rowCategory(0), QStringLiteral("Forms"));
    QCOMPARE(rowCategory(1), QStringLiteral("Mail"));
    // Mail's row chosen first, then the current category's with Ctrl.
    click(1);
    click(0, Qt::ControlModifier);
    QCOMPARE(m_list->selectionOrder(), (QList<int>{1, 0}));
    QSignalSpy closed(m_list.data(), &PopupList::closed);
    pressKey(Qt::Key_Return);
    QCOMPARE(closed.size(), 1);
    QStringList keys = f->desktop.log.filter(QRegularExpression(QStringLiteral("^(key|type) ")));
    QCOMPARE(keys, (QStringList{"type o", "type k", "type  ", "type r", "type e", "type p", "type l", "type y",
                                "key tab", "key tab", "key ctrl+v"}));
    QCOMPARE(f->clipboard.data(QStringLiteral("text/plain")), QByteArray("reply form"));
    // A paste moves nothing, found or not: each stays where it was.
    QCOMPARE(mail->items.front()->text, QStringLiteral("first"));
    QCOMPARE(mail->items.back()->text, QStringLiteral("ok reply"));
    QCOMPARE(f->category->items[1]->text, QStringLiteral("reply form"));
}

void TestPopupList::aCaptureDuringASearchKeepsTheRowsOnTheirItems()
{
    addCategory(QStringLiteral("Mail"), {QStringLiteral("entry by mail")});
    open(3);
    search(QStringLiteral("entry"));
    QCOMPARE(rowCount(), 4);
    click(1);
    const Item *chosen = m_list->list()->model()->index(1, 0).data().toString() == QStringLiteral("entry 1")
                             ? f->category->items[1].get()
                             : nullptr;
    QVERIFY(chosen);
    // Another program copies while the rows show: they stay on their items.
    capture(QStringLiteral("entry copied meanwhile"));
    QCOMPARE(f->category->itemCount(), 4);
    QCOMPARE(rowCount(), 4);
    QCOMPARE(rowText(1), QStringLiteral("entry 1"));
    QCOMPARE(m_list->currentRow(), 1);
    // The copy joins once the user types again, at the top of its category.
    QTest::keyClicks(m_list->searchField(), QStringLiteral(" "));
    QTRY_VERIFY(!m_list->finder().running());
    QCOMPARE(rowCount(), 5);
    QCOMPARE(rowText(0), QStringLiteral("entry copied meanwhile"));
    // The chosen item is pasted wherever its row now stands.
    click(2);
    QCOMPARE(rowText(2), QStringLiteral("entry 1"));
    capture(QStringLiteral("entry copied as Enter is pressed"));
    pressKey(Qt::Key_Return);
    QCOMPARE(f->clipboard.data(QStringLiteral("text/plain")), QByteArray("entry 1"));
}

void TestPopupList::delAndEditWorkOnFoundRows()
{
    CategoryNode *mail = addCategory(QStringLiteral("Mail"), {QStringLiteral("entry by mail"), QStringLiteral("x")});
    open(3);
    m_list->setItemEditor([](Item &item) {
        item.alias = QStringLiteral("renamed entry");
        return true;
    });
    search(QStringLiteral("entry"));
    QCOMPARE(rowCount(), 4);
    // Del at the end of the typed text deletes the focused found row from its own category.
    click(3);
    m_list->searchField()->setFocus();
    pressKey(Qt::Key_Delete);
    QCOMPARE(mail->itemCount(), 1);
    QCOMPARE(mail->items.front()->text, QStringLiteral("x"));
    QCOMPARE(rowCount(), 3);
    QCOMPARE(m_list->currentRow(), 2);
    QVERIFY(m_list->searchOpen());
    QCOMPARE(m_list->searchField()->text(), QStringLiteral("entry"));
    // Within the typed text Del edits the text.
    m_list->searchField()->setCursorPosition(0);
    pressKey(Qt::Key_Delete);
    QCOMPARE(m_list->searchField()->text(), QStringLiteral("ntry"));
    QCOMPARE(f->category->itemCount(), 3);
    QTRY_VERIFY(!m_list->finder().running());
    QCOMPARE(rowCount(), 3);
    // Ctrl+E from the field edits the focused found row; the row stays and shows the new alias.
    click(1);
    m_list->searchField()->setFocus();
    pressKey(Qt::Key_E, Qt::ControlModifier);
    QCOMPARE(f->category->items[1]->alias, QStringLiteral("renamed entry"));
    QCOMPARE(rowText(1), QStringLiteral("renamed entry"));
    QCOMPARE(m_list->currentRow(), 1);
    QVERIFY(m_list->searchOpen());
}

void TestPopupList::manyFoundRowsComeAsTheListScrolls()
{
    QStringList many;
    for (int i = 0; i < 1000; ++i)
        many << QStringLiteral("match %1").arg(i);
    addCategory(QStringLiteral("Archive"), many);
    open(3);
    search(QStringLiteral("match"));
    // The view holds a few screenfuls; End at the bottom brings the next ones.
    QCOMPARE(rowCount(), PopupListModel::FoundRowsPerFetch);
    m_list->list()->setFocus();
    for (int i = 0; i < 10 && rowCount() < 1000; ++i) {
        pressKey(Qt::Key_End);
        QCoreApplication::processEvents();
    }
    QCOMPARE(rowCount(), 1000);
    QCOMPARE(rowText(999), QStringLiteral("match 999"));
    QCOMPARE(rowCategory(999), QStringLiteral("Archive"));
}

void TestPopupList::typingInTheList_data()
{
    QTest::addColumn<bool>("searches");
    QTest::newRow("option off: a letter jumps") << false;
    QTest::newRow("option on: a letter searches") << true;
}

void TestPopupList::typingInTheList()
{
    QFETCH(bool, searches);
    f->options.set(Option::TypingSearches, searches);
    addCategory(QStringLiteral("Mail"), {QStringLiteral("mail one"), QStringLiteral("mail two")});
    open(2);
    Item *second = f->category->items[1].get();
    second->alias = second->text = QStringLiteral("more");
    f->collection.refreshCurrentItems();
    m_list->rebuild();
    QTest::keyClick(m_list->list(), Qt::Key_M);
    QCOMPARE(m_list->searchOpen(), searches);
    if (!searches) {
        QCOMPARE(m_list->currentRow(), 1);  // to "more", the first entry starting with m
        return;
    }
    QCOMPARE(m_list->searchField()->text(), QStringLiteral("m"));
    QTRY_VERIFY(!m_list->finder().running());
    QCOMPARE(rowCount(), 3);
    // Typing on in the list goes on in the field.
    m_list->list()->setFocus();
    QTest::keyClicks(m_list->list(), QStringLiteral("ail t"));
    QCOMPARE(m_list->searchField()->text(), QStringLiteral("mail t"));
    QTRY_VERIFY(!m_list->finder().running());
    QCOMPARE(rowCount(), 1);
    QCOMPARE(rowText(0), QStringLiteral("mail two"));
}

QTEST_MAIN(TestPopupList)
#include "tst_popuplist.moc"
