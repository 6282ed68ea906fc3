#include "pastefixture.h"
#include "popup/selectionorder.h"
#include "config/richedit.h"
#include "popup/companionplacement.h"
#include "popup/tfrmlb.h"
#include "settings/options.h"
#include "store/collection.h"

#include <QApplication>
#include <QListWidget>
#include <QSignalSpy>
#include <QLabel>
#include <QTest>
#include <QTimer>

#include "testsupport.h"

using namespace TestSupport;


class TestTfrmlb : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup()
    {
        delete m_lb.data();
        f.reset();
    }
    void selectionOrder_data();
    void selectionOrder();
    void clicksMakeThePasteOrder();
    void sizing_data();
    void sizing();
    void keptOnScreen();
    void emptyCategory();
    void deleteSelectsTheEntryThatMovedUp_data();
    void deleteSelectsTheEntryThatMovedUp();
    void escClosesAndGivesFocusBack();
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
    void windowKeysWorkOnAnEmptyListAndInMoveMode_data();
    void windowKeysWorkOnAnEmptyListAndInMoveMode();
    void shortcutsAreOffOnAnEmptyList();
    void leavingFromThePreviewClosesTheList();
    void anErrorInARunStillClosesTheList();

private:
    Tfrmlb *open(int items);
    void capture(const QString &text);
    void pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void addRichAndPicture(const QString &rtf);
    void click(int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

    std::unique_ptr<PasteFixture> f;
    QPointer<Tfrmlb> m_lb;
};

void TestTfrmlb::init()
{
    f = std::make_unique<PasteFixture>();
}

Tfrmlb *TestTfrmlb::open(int items)
{
    CategoryNode *category = f->collection.currentCategory();
    for (int i = 0; i < items; ++i) {
        TItemRec item = textItem(QStringLiteral("entry %1").arg(i));
        item.Category = category->name;
        category->items.push_back(std::make_unique<TItemRec>(item));
    }
    f->collection.LoadCurrlb();
    m_lb = new Tfrmlb(f->collection, f->options, f->engine, f->desktop, f->boxes, f->target);
    m_lb->move(100, 100);
    m_lb->rebuild();
    m_lb->show();
    m_lb->activateWindow();
    QApplication::setActiveWindow(m_lb);
    return m_lb;
}

// Another program copies a text, which lands at the top of the current category.
void TestTfrmlb::capture(const QString &text)
{
    f->monitor.ClipArmed = true;
    f->clipboard.offer({{QStringLiteral("text/plain"), text.toUtf8()}});
}

// A key as the user presses it: to whatever has the keyboard in the list window.
void TestTfrmlb::pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    QWidget *focused = QApplication::focusWidget();
    QTest::keyClick(focused && focused->window() == m_lb ? focused : m_lb.data(), key, modifiers);
}

// A rich text entry and a picture entry, ahead of those open() adds.
void TestTfrmlb::addRichAndPicture(const QString &rtf)
{
    CategoryNode *category = f->collection.currentCategory();
    TItemRec rich = textItem(rtf);
    rich.Kind = TItemRec::RichText;
    rich.Category = category->name;
    category->items.push_back(std::make_unique<TItemRec>(rich));
    TItemRec picture = textItem(QStringLiteral("pic"));
    picture.Kind = TItemRec::Image;
    picture.Bitmap = QImage(5, 4, QImage::Format_RGB32);
    picture.Category = category->name;
    category->items.push_back(std::make_unique<TItemRec>(picture));
}

void TestTfrmlb::click(int row, Qt::KeyboardModifiers modifiers)
{
    QListWidget *list = m_lb->list();
    const QRect rect = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, rect.center());
}

void TestTfrmlb::selectionOrder_data()
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
}

void TestTfrmlb::selectionOrder()
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
        order.update([&](int k) { return now.contains(k); }, 10, i);
    }
    QCOMPARE(order.order(), before);
    order.update([&](int k) { return selected.contains(k); }, 10, focused);
    QCOMPARE(order.order(), after);
}

void TestTfrmlb::clicksMakeThePasteOrder()
{
    open(8);
    click(5);
    click(2, Qt::ControlModifier);
    click(7, Qt::ControlModifier);
    QCOMPARE(m_lb->SelOrder(), (QList<int>{5, 2, 7}));
    QSignalSpy closed(m_lb.data(), &Tfrmlb::closed);
    QTest::keyClick(m_lb->list(), Qt::Key_Return);
    QCOMPARE(closed.count(), 1);
    QCOMPARE(f->desktop.log.filter(QStringLiteral("ctrl+v")).size(), 3);
    QCOMPARE(f->clipboard.data(QStringLiteral("text/plain")), QByteArray("entry 7"));
}

void TestTfrmlb::sizing_data()
{
    QTest::addColumn<int>("items");
    QTest::addColumn<bool>("shrink");
    QTest::addColumn<bool>("strip");
    QTest::addColumn<int>("rows");
    QTest::newRow("shrunk to three") << 3 << true << true << 3;
    QTest::newRow("eight rows without shrink") << 3 << false << true << 8;
    QTest::newRow("no strip") << 10 << true << false << 8;
}

void TestTfrmlb::sizing()
{
    QFETCH(int, items);
    QFETCH(bool, shrink);
    QFETCH(bool, strip);
    QFETCH(int, rows);
    f->options.set("shrink", shrink);
    f->options.set("showx", strip);
    f->options.set("wedit", 180);
    open(items);
    QCOMPARE(m_lb->width(), 180);
    QCOMPARE(m_lb->height(), rows * m_lb->ItemHeight() + (strip ? Tfrmlb::StripHeight : 0));
    QCOMPARE(m_lb->mask().isEmpty(), !strip);
    QCOMPARE(m_lb->list()->selectedItems().size(), 1);
    QCOMPARE(m_lb->list()->currentRow(), 0);
}

void TestTfrmlb::keptOnScreen()
{
    open(3);
    m_lb->move(1270, 795);
    m_lb->rebuild();
    QCOMPARE(m_lb->x() + m_lb->width(), 1280);
    QCOMPARE(m_lb->y() + m_lb->height(), 800);
}

void TestTfrmlb::emptyCategory()
{
    open(0);
    QVERIFY(m_lb->NoItems());
    QVERIFY(!m_lb->list()->isEnabled());
    QCOMPARE(m_lb->list()->item(0)->text(), QStringLiteral("*NO ITEMS IN CURRENT CATEGORY*"));
    QCOMPARE(m_lb->list()->item(2)->text(), QStringLiteral("  -PRESS ALT TO SWITCH CATEGORIES"));
    QVERIFY(m_lb->findChild<QWidget *>(QStringLiteral("pmsb"))->isEnabled());
    QVERIFY(!m_lb->findChild<QWidget *>(QStringLiteral("deletesb"))->isEnabled());
    QCOMPARE(m_lb->height(), 8 * m_lb->ItemHeight() + Tfrmlb::StripHeight);
}

void TestTfrmlb::deleteSelectsTheEntryThatMovedUp_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("selectedAfter");
    QTest::newRow("middle") << 2 << "entry 3";
    QTest::newRow("last") << 4 << "entry 3";
}

void TestTfrmlb::deleteSelectsTheEntryThatMovedUp()
{
    QFETCH(int, row);
    QFETCH(QString, selectedAfter);
    open(5);
    click(row);
    QTest::keyClick(m_lb->list(), Qt::Key_Delete);
    QCOMPARE(f->collection.currentCategory()->itemCount(), 4);
    QCOMPARE(m_lb->list()->count(), 4);
    QCOMPARE(m_lb->list()->currentItem()->text(), selectedAfter);
    QVERIFY(f->collection.captureModified());
    QCOMPARE(m_lb->SelOrder().size(), 1);
}

void TestTfrmlb::escClosesAndGivesFocusBack()
{
    open(2);
    QSignalSpy closed(m_lb.data(), &Tfrmlb::closed);
    QTest::keyClick(m_lb->list(), Qt::Key_Escape);
    QCOMPARE(closed.count(), 1);
    QCOMPARE(f->desktop.log, QStringList{"focus 7"});
}

void TestTfrmlb::previewPlacement_data()
{
    QTest::addColumn<int>("listLeft");
    QTest::addColumn<int>("left");
    QTest::newRow("room on the right") << 100 << 300;
    QTest::newRow("near the right edge") << 1000 << 771;
    QTest::newRow("exactly at the limit goes left") << 851 << 622;
}

void TestTfrmlb::previewPlacement()
{
    QFETCH(int, listLeft);
    // List 200 wide, preview 229 wide, screen 1280 wide.
    QFETCH(int, left);
    QCOMPARE(CompanionPlacement::previewLeft(listLeft, 200, 229, QRect(0, 0, 1280, 800)), left);
}

void TestTfrmlb::tipPlacement_data()
{
    QTest::addColumn<QPoint>("pointer");
    QTest::addColumn<QPoint>("at");
    QTest::newRow("below right of the pointer") << QPoint(100, 100) << QPoint(115, 115);
    QTest::newRow("pulled in from the right edge") << QPoint(1250, 100) << QPoint(1180, 115);
    QTest::newRow("above the pointer near the bottom") << QPoint(100, 780) << QPoint(115, 725);
    QTest::newRow("never above the screen") << QPoint(100, 20) << QPoint(115, 35);
}

void TestTfrmlb::tipPlacement()
{
    QFETCH(QPoint, pointer);
    QFETCH(QPoint, at);
    QCOMPARE(CompanionPlacement::tipPosition(QSize(100, 40), pointer, QRect(0, 0, 1280, 800)), at);
    QCOMPARE(CompanionPlacement::tipPosition(QSize(100, 900), QPoint(10, 10), QRect(0, 0, 1280, 800)).y(), 0);
}

void TestTfrmlb::previewFollowsFocusAndToggles()
{
    f->options.set("preview", true);
    addRichAndPicture(QStringLiteral(R"({\rtf1 {\b Bold} rich})"));
    open(1);  // a plain entry after the two above
    QVERIFY(m_lb->preview());
    QVERIFY(m_lb->preview()->isVisible());
    // Eight configured rows high even though the list shrank to three.
    QCOMPARE(m_lb->preview()->height(), 8 * m_lb->ItemHeight());
    QCOMPARE(m_lb->preview()->x(), m_lb->x() + m_lb->width());
    QCOMPARE(m_lb->preview()->memo()->toPlainText(), QStringLiteral("Bold rich"));
    click(1);
    QVERIFY(m_lb->preview()->showingPicture());
    click(2);
    QCOMPARE(m_lb->preview()->memo()->toPlainText(), QStringLiteral("entry 0"));

    QTest::keyClick(m_lb->list(), Qt::Key_P, Qt::ControlModifier);
    QVERIFY(!m_lb->preview());
    QVERIFY(!f->options.flag("preview"));
    QTest::keyClick(m_lb->list(), Qt::Key_P, Qt::ControlModifier);
    QVERIFY(m_lb->preview());
    QVERIFY(f->options.flag("preview"));
}

void TestTfrmlb::tooltipShowsPlainText()
{
    f->options.set("tooltip", true);
    addRichAndPicture(QStringLiteral(R"({\rtf1 {\b Bold} tip})"));
    open(0);
    QVERIFY(m_lb->hintWindow());
    QListWidget *list = m_lb->list();
    QTest::mouseMove(list->viewport(), list->visualItemRect(list->item(0)).center());
    QTRY_VERIFY(m_lb->hintWindow()->isVisible());
    QCOMPARE(m_lb->hintWindow()->text(), QStringLiteral("Bold tip"));
    QTest::mouseMove(list->viewport(), list->visualItemRect(list->item(1)).center());
    QTRY_VERIFY(!m_lb->hintWindow()->isVisible());
    QTest::keyClick(list, Qt::Key_T, Qt::ControlModifier);
    QVERIFY(!m_lb->hintWindow());
    QVERIFY(!f->options.flag("tooltip"));
}

void TestTfrmlb::moveModeDragsThePreviewAlong()
{
    f->options.set("preview", true);
    open(2);
    QTest::keyClick(m_lb->list(), Qt::Key_M, Qt::ControlModifier);
    QVERIFY(m_lb->moveMode());
    QVERIFY(!m_lb->list()->isEnabled());
    m_lb->move(300, 200);
    QCOMPARE(m_lb->preview()->pos(), QPoint(300 + m_lb->width(), 200 + m_lb->list()->y()));
    QTest::keyClick(m_lb, Qt::Key_M, Qt::ControlModifier);
    QVERIFY(!m_lb->moveMode());
    QVERIFY(m_lb->list()->isEnabled());
}

void TestTfrmlb::keptOnTheCaretsMonitor_data()
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

void TestTfrmlb::keptOnTheCaretsMonitor()
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
    m_lb->move(anchor);
    m_lb->rebuild();
    const QRect monitor = f->desktop.screenGeometry(anchor);
    QVERIFY(monitor.contains(m_lb->geometry()));
}

void TestTfrmlb::rowsKeepTheirItemsWhileCapturesArrive_data()
{
    QTest::addColumn<Qt::Key>("key");
    QTest::newRow("Enter pastes the row's item") << Qt::Key_Return;
    QTest::newRow("Del deletes the row's item") << Qt::Key_Delete;
}

void TestTfrmlb::rowsKeepTheirItemsWhileCapturesArrive()
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
            left << item->Text;
        QCOMPARE(left, (QStringList{"copied again", "copied meanwhile", "entry 0", "entry 2"}));
    }
}

void TestTfrmlb::rowOfAFreedItemLeavesTheList()
{
    f->options.set("preview", true);
    f->options.set("tooltip", true);
    f->category->rec.Limit = 3;
    open(3);
    click(2);
    QListWidget *list = m_lb->list();
    QTest::mouseMove(list->viewport(), list->visualItemRect(list->item(2)).center());
    // A capture into the full category frees its oldest item, the chosen one.
    capture(QStringLiteral("newest"));
    QCOMPARE(f->category->itemCount(), 3);
    QVERIFY(list->isRowHidden(2));
    QVERIFY(m_lb->SelOrder().isEmpty());
    QTest::mouseMove(list->viewport(), list->visualItemRect(list->item(1)).center());
    click(0);
    pressKey(Qt::Key_Return);
    QCOMPARE(f->clipboard.data(QStringLiteral("text/plain")), QByteArray("entry 0"));
}

void TestTfrmlb::tooltipShowsMarkupAsCharactersAndOnlyWhatFits()
{
    f->options.set("tooltip", true);
    const QString markup = QStringLiteral("<b>bold</b><img src=\"/dev/zero\">");
    CategoryNode *category = f->collection.currentCategory();
    for (const QString &text : {markup, QStringLiteral("line\r\n").repeated(200000)}) {
        TItemRec item = textItem(text);
        item.Alias = text.left(20).simplified();
        item.Category = category->name;
        category->items.push_back(std::make_unique<TItemRec>(item));
    }
    open(0);
    QListWidget *list = m_lb->list();
    QTest::mouseMove(list->viewport(), list->visualItemRect(list->item(0)).center() + QPoint(1, 0));
    QTest::mouseMove(list->viewport(), list->visualItemRect(list->item(0)).center());
    QTRY_VERIFY(m_lb->hintWindow()->isVisible());
    QCOMPARE(m_lb->hintWindow()->text(), markup);
    auto *label = m_lb->hintWindow()->findChild<QLabel *>(QStringLiteral("hint"));
    QCOMPARE(label->textFormat(), Qt::PlainText);
    QTest::mouseMove(list->viewport(), list->visualItemRect(list->item(1)).center());
    QTRY_VERIFY2(m_lb->hintWindow()->text().startsWith(QLatin1String("line\nline\n")), qPrintable(m_lb->hintWindow()->text().left(80)));
    QVERIFY(m_lb->hintWindow()->text().size() < 1000);
    QVERIFY(m_lb->hintWindow()->height() < 2000);
}

void TestTfrmlb::windowKeysWorkOnAnEmptyListAndInMoveMode_data()
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

void TestTfrmlb::windowKeysWorkOnAnEmptyListAndInMoveMode()
{
    QFETCH(int, items);
    QFETCH(Qt::Key, key);
    QFETCH(bool, closes);
    QFETCH(QString, pasted);
    QFETCH(int, itemsLeft);
    open(items);
    if (items > 0) {
        pressKey(Qt::Key_M, Qt::ControlModifier);
        QVERIFY(m_lb->moveMode());
    }
    QSignalSpy closed(m_lb.data(), &Tfrmlb::closed);
    pressKey(key);
    QCOMPARE(closed.size(), closes ? 1 : 0);
    QCOMPARE(QString::fromUtf8(f->clipboard.data(QStringLiteral("text/plain"))), pasted);
    QCOMPARE(f->category->itemCount(), itemsLeft);
}

void TestTfrmlb::shortcutsAreOffOnAnEmptyList()
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
    QSignalSpy closed(m_lb.data(), &Tfrmlb::closed);
    pressKey(Qt::Key_P, Qt::ControlModifier);
    pressKey(Qt::Key_X, Qt::ControlModifier);
    pressKey(Qt::Key_M, Qt::ControlModifier);
    QVERIFY(!f->options.flag("preview"));
    QVERIFY(!m_lb->moveMode());
    QCOMPARE(closed.size(), 0);
}

void TestTfrmlb::leavingFromThePreviewClosesTheList()
{
    f->options.set("preview", true);
    open(2);
    QVERIFY(QTest::qWaitForWindowActive(m_lb.data()));
    QPointer<TfrmPreview> preview = m_lb->preview();
    // The user clicks into the preview: the list stays.
    preview->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(preview.data()));
    QTest::qWait(20);
    QVERIFY(m_lb && m_lb->isVisible());
    // Then into another window: the list and the preview go together.
    QWidget elsewhere;
    elsewhere.show();
    elsewhere.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&elsewhere));
    QTRY_VERIFY(!m_lb);
    QTRY_VERIFY(!preview);
}

void TestTfrmlb::anErrorInARunStillClosesTheList()
{
    open(2);
    QSignalSpy closed(m_lb.data(), &Tfrmlb::closed);
    f->desktop.failCtrlV = true;
    bool thrown = false;
    try {
        m_lb->SpitText();
    } catch (const std::runtime_error &) {
        thrown = true;
    }
    QVERIFY(thrown);
    QCOMPARE(closed.size(), 1);
    QVERIFY(f->keys.grabs.isEmpty());
}

QTEST_MAIN(TestTfrmlb)
#include "tst_tfrmlb.moc"
