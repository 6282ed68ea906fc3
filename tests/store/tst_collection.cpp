#include "store/collection.h"

#include <QSignalSpy>
#include <QTest>

#include "testsupport.h"

using namespace TestSupport;

namespace {


CategoryNode *categoryWith(Collection &c, const QString &name, int items, int limit, int lock)
{
    CategorySettings rec;
    rec.limit = limit;
    rec.lockAtLimit = lock;
    CategoryNode *node = c.appendCategory(name, rec);
    for (int i = 1; i <= items; ++i) {
        c.setCurrentCategory(node);
        node->items.push_back(std::make_unique<Item>(textItem(QStringLiteral("old%1").arg(i))));
    }
    return node;
}

QStringList aliases(const CategoryNode *node)
{
    QStringList result;
    for (const auto &item : node->items)
        result << item->alias;
    return result;
}

} // namespace

class TestCollection : public QObject
{
    Q_OBJECT
private slots:
    void addToCurrentCategory_data();
    void addToCurrentCategory();
    void addToEveryCategorySkipsLockedAndFull();
    void trimmingCurrentItemList();
    void captureTrimNeverLeavesDanglingEntry();
    void getCategoryNodeIsCaseSensitive();
    void currentListFollowsCategory();
};

void TestCollection::addToCurrentCategory_data()
{
    QTest::addColumn<int>("items");
    QTest::addColumn<int>("limit");
    QTest::addColumn<int>("lock");
    QTest::addColumn<bool>("result");
    QTest::addColumn<int>("countAfter");
    QTest::addColumn<bool>("added");
    QTest::addColumn<bool>("oldestKept");

    QTest::newRow("no limit grows") << 3 << 0 << 0 << false << 4 << true << true;
    QTest::newRow("limit trims oldest") << 3 << 3 << 0 << true << 3 << true << false;
    QTest::newRow("below limit") << 2 << 3 << 0 << false << 3 << true << true;
    QTest::newRow("locked and full refuses") << 3 << 3 << 1 << false << 3 << false << true;
    QTest::newRow("locked below limit accepts") << 2 << 3 << 1 << false << 3 << true << true;
    QTest::newRow("locked above limit accepts and trims") << 5 << 3 << 1 << true << 5 << true << false;
}

void TestCollection::addToCurrentCategory()
{
    QFETCH(int, items);
    QFETCH(int, limit);
    QFETCH(int, lock);
    Collection c;
    CategoryNode *node = categoryWith(c, QStringLiteral("Mail"), items, limit, lock);
    const QString oldest = node->items.back()->alias;

    QFETCH(bool, result);
    QCOMPARE(c.addNewItem(false, textItem(QStringLiteral("new"))), result);
    QFETCH(int, countAfter);
    QCOMPARE(node->itemCount(), countAfter);
    QFETCH(bool, added);
    QCOMPARE(node->items.front()->alias == QStringLiteral("new"), added);
    if (added)
        QCOMPARE(node->items.front()->category, QStringLiteral("Mail"));
    QFETCH(bool, oldestKept);
    QCOMPARE(aliases(node).contains(oldest), oldestKept);
}

void TestCollection::addToEveryCategorySkipsLockedAndFull()
{
    Collection c;
    CategoryNode *a = categoryWith(c, QStringLiteral("A"), 0, 0, 0);
    CategoryNode *full = categoryWith(c, QStringLiteral("Full"), 2, 2, 1);
    CategoryNode *b = categoryWith(c, QStringLiteral("B"), 1, 1, 0);

    QVERIFY(c.addNewItem(true, textItem(QStringLiteral("x"))));
    QCOMPARE(aliases(a), QStringList{QStringLiteral("x")});
    QCOMPARE(aliases(full), (QStringList{QStringLiteral("old1"), QStringLiteral("old2")}));
    QCOMPARE(aliases(b), QStringList{QStringLiteral("x")});
    QCOMPARE(a->items.front()->category, QStringLiteral("A"));
    QCOMPARE(b->items.front()->category, QStringLiteral("B"));
    QVERIFY(a->items.front().get() != b->items.front().get());
}

void TestCollection::trimmingCurrentItemList()
{
    Collection c;
    CategoryNode *node = categoryWith(c, QStringLiteral("Mail"), 3, 2, 0);
    c.setCurrentCategory(node);
    c.refreshCurrentItems();
    QCOMPARE(c.currentItems().size(), 3);

    QVERIFY(c.enforceLimit(node, true));
    QCOMPARE(node->itemCount(), 2);
    QCOMPARE(c.currentItems().size(), 2);
    QCOMPARE(c.currentItems().last().item, node->items.back().get());
    QVERIFY(!c.enforceLimit(node, true));
}

void TestCollection::captureTrimNeverLeavesDanglingEntry()
{
    // A capture trims without touching the current list; the entry of the
    // freed record must still go, or the pop-up would read freed memory.
    Collection c;
    CategoryNode *node = categoryWith(c, QStringLiteral("Mail"), 2, 2, 0);
    c.setCurrentCategory(node);
    c.refreshCurrentItems();
    QVERIFY(c.addNewItem(false, textItem(QStringLiteral("new"))));
    for (const CurrentItem &entry : c.currentItems()) {
        bool found = false;
        for (const auto &item : node->items)
            found = found || item.get() == entry.item;
        QVERIFY(found);
    }
}

void TestCollection::getCategoryNodeIsCaseSensitive()
{
    Collection c;
    CategoryNode *lower = c.appendCategory(QStringLiteral("notes"));
    CategoryNode *upper = c.appendCategory(QStringLiteral("Notes"));
    QCOMPARE(c.findCategory(QStringLiteral("notes")), lower);
    QCOMPARE(c.findCategory(QStringLiteral("Notes")), upper);
    QCOMPARE(c.findCategory(QStringLiteral("NOTES")), nullptr);
}

void TestCollection::currentListFollowsCategory()
{
    Collection c;
    categoryWith(c, QStringLiteral("A"), 1, 0, 0);
    CategoryNode *b = categoryWith(c, QStringLiteral("B"), 2, 0, 0);
    c.setCurrentCategory(b);
    c.refreshCurrentItems();
    QCOMPARE(c.currentItems().size(), 2);
    QCOMPARE(c.currentItems().first().alias, QStringLiteral("old1"));

    QSignalSpy reset(&c, &Collection::reset);
    c.clear();
    QCOMPARE(reset.count(), 1);
    QCOMPARE(c.currentCategory(), nullptr);
    QVERIFY(c.currentItems().isEmpty());
    c.refreshCurrentItems();
    QVERIFY(c.currentItems().isEmpty());
}

QTEST_GUILESS_MAIN(TestCollection)
#include "tst_collection.moc"
