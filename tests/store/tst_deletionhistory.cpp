#include "store/collection.h"
#include "store/deletionhistory.h"
#include "store/sidefiles.h"

#include <QSignalSpy>
#include <QTest>

#include "testsupport.h"

using namespace TestSupport;

namespace {

// A category holding items named by the letters of `letters`, top first.
CategoryNode *categoryOf(Collection &c, const QString &name, const QString &letters, int limit = 0, bool lock = false)
{
    CategorySettings rec;
    rec.limit = limit;
    rec.lockAtLimit = lock;
    CategoryNode *node = c.appendCategory(name, rec);
    for (const QChar letter : letters) {
        Item item = textItem(QString(letter));
        item.category = name;
        node->items.push_back(std::make_unique<Item>(item));
    }
    return node;
}

QString letters(const CategoryNode *node)
{
    QString result;
    for (const auto &item : node->items)
        result += item->alias;
    return result;
}

QStringList names(const Collection &c)
{
    QStringList result;
    for (const auto &category : c.categories())
        result << category->name;
    return result;
}

} // namespace

class TestDeletionHistory : public QObject
{
    Q_OBJECT
private slots:
    void undoPutsItemsBackWhereTheyWere_data();
    void undoPutsItemsBackWhereTheyWere();
    void aDeletedCategoryComesBackWithItsItems_data();
    void aDeletedCategoryComesBackWithItsItems();
    void aLockedFullCategoryRefusesAndKeepsTheStep();
    void aRenamedCategoryIsFollowed();
    void aReloadThatBroughtTheItemBackDoesNotDoubleIt_data();
    void aReloadThatBroughtTheItemBackDoesNotDoubleIt();
    void theHistoryIsBounded();
    void aDeletedPictureKeepsItsFileWhileItCanComeBack();
};

void TestDeletionHistory::undoPutsItemsBackWhereTheyWere_data()
{
    // Each step deletes the rows given (as they stand when deleted), in that order.
    QTest::addColumn<QList<QList<int>>>("steps");
    QTest::addColumn<int>("undos");
    QTest::addColumn<QString>("after");
    QTest::newRow("middle item") << QList<QList<int>>{{2}} << 1 << "abcde";
    QTest::newRow("last item") << QList<QList<int>>{{4}} << 1 << "abcde";
    QTest::newRow("two levels, one undone") << QList<QList<int>>{{2}, {0}} << 1 << "abde";
    QTest::newRow("two levels, both undone") << QList<QList<int>>{{2}, {0}} << 2 << "abcde";
    QTest::newRow("three levels, two undone") << QList<QList<int>>{{4}, {1}, {0}} << 2 << "abcd";
    // The pop-up list deletes its selection in list order, as one step.
    QTest::newRow("several items as one step") << QList<QList<int>>{{1, 2}} << 1 << "abcde";
    QTest::newRow("more undos than steps") << QList<QList<int>>{{3}} << 3 << "abcde";
}

void TestDeletionHistory::undoPutsItemsBackWhereTheyWere()
{
    QFETCH(QList<QList<int>>, steps);
    QFETCH(int, undos);
    QFETCH(QString, after);
    Collection c;
    CategoryNode *category = categoryOf(c, QStringLiteral("Forms"), QStringLiteral("abcde"));
    c.setCurrentCategory(category);
    c.refreshCurrentItems();
    DeletionHistory &history = c.deletions();
    for (const QList<int> &rows : steps) {
        history.startStep();
        for (const int row : rows)
            history.removeItem(category->items[size_t(row)].get());
        history.finishStep();
    }
    for (int i = 0; i < undos; ++i)
        history.undo();
    QCOMPARE(letters(category), after);
    // The current list names the records as they stand, restored ones too.
    QCOMPARE(c.currentItems().size(), category->itemCount());
    for (int row = 0; row < category->itemCount(); ++row)
        QCOMPARE(c.currentItems()[row].item, category->items[size_t(row)].get());
    for (const auto &item : category->items)
        QCOMPARE(item->category, QStringLiteral("Forms"));
}

void TestDeletionHistory::aDeletedCategoryComesBackWithItsItems_data()
{
    QTest::addColumn<bool>("keepCategory");
    QTest::newRow("category deleted") << false;
    QTest::newRow("category emptied") << true;
}

void TestDeletionHistory::aDeletedCategoryComesBackWithItsItems()
{
    QFETCH(bool, keepCategory);
    Collection c;
    categoryOf(c, QStringLiteral("A"), QStringLiteral("a"));
    CategoryNode *middle = categoryOf(c, QStringLiteral("B"), QStringLiteral("xyz"), 7, true);
    middle->rec.setExtraText(QStringLiteral("after"));
    categoryOf(c, QStringLiteral("C"), QStringLiteral("c"));
    if (keepCategory)
        c.deletions().removeItems(middle);
    else
        c.deletions().removeCategory(middle);
    QCOMPARE(c.deletions().depth(), 1);

    const DeletionHistory::Undone undone = c.deletions().undo();
    QVERIFY(!undone.refusal);
    QCOMPARE(undone.restored.size(), 3);
    QCOMPARE(names(c), (QStringList{"A", "B", "C"}));
    const CategoryNode *back = c.category(1);
    QCOMPARE(letters(back), QStringLiteral("xyz"));
    QCOMPARE(back->rec.limit, 7);
    QVERIFY(back->rec.lockAtLimit);
    QCOMPARE(back->rec.extraText, QStringLiteral("after"));
    QVERIFY(!c.deletions().canUndo());
}

void TestDeletionHistory::aLockedFullCategoryRefusesAndKeepsTheStep()
{
    Collection c;
    CategoryNode *category = categoryOf(c, QStringLiteral("Locked"), QStringLiteral("ab"), 2, true);
    c.deletions().removeItem(category->items[1].get());
    // A capture fills it again meanwhile.
    c.insertFirstChild(category, textItem(QStringLiteral("n")));

    DeletionHistory::Undone undone = c.deletions().undo();
    QCOMPARE(undone.refusal.reason, Refusal::Reason::LockedAndFull);
    QVERIFY2(undone.refusal.why.contains(QLatin1String("\"Locked\"")), qPrintable(undone.refusal.why));
    QVERIFY(undone.restored.isEmpty());
    QCOMPARE(letters(category), QStringLiteral("na"));
    QVERIFY(c.deletions().canUndo());

    // Once there is room, the same step goes back, to the row it had.
    category->rec.limit = 3;
    undone = c.deletions().undo();
    QVERIFY(!undone.refusal);
    QCOMPARE(letters(category), QStringLiteral("nba"));
    QVERIFY(!c.deletions().canUndo());
}

void TestDeletionHistory::aRenamedCategoryIsFollowed()
{
    Collection c;
    CategoryNode *category = categoryOf(c, QStringLiteral("Old"), QStringLiteral("ab"));
    categoryOf(c, QStringLiteral("Other"), QString());
    c.deletions().removeItem(category->items[0].get());
    c.renameCategory(category, QStringLiteral("New"));
    c.deletions().undo();
    QCOMPARE(letters(category), QStringLiteral("ab"));
    QCOMPARE(category->items[0]->category, QStringLiteral("New"));
}

void TestDeletionHistory::aReloadThatBroughtTheItemBackDoesNotDoubleIt_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("reloaded");  // what a reload brings; empty: no reload
    QTest::addColumn<QString>("after");
    // Row 1 is deleted. Cancel in the configuration window reloads the saved
    // file, which may still hold what was deleted in the window.
    QTest::newRow("reload brought it back") << "abc" << "abc" << "abc";
    QTest::newRow("reload without it") << "abc" << "ac" << "abc";
    // Two equal items, one deleted, no reload: it comes back beside its twin.
    QTest::newRow("no reload, equal twin stays") << "aab" << "" << "aab";
}

void TestDeletionHistory::aReloadThatBroughtTheItemBackDoesNotDoubleIt()
{
    QFETCH(QString, before);
    QFETCH(QString, reloaded);
    QFETCH(QString, after);
    Collection c;
    CategoryNode *category = categoryOf(c, QStringLiteral("Forms"), before);
    c.deletions().removeItem(category->items[1].get());
    if (!reloaded.isEmpty()) {
        CategoryList saved;
        saved.push_back(std::make_unique<CategoryNode>());
        saved.back()->name = QStringLiteral("Forms");
        for (const QChar letter : reloaded)
            saved.back()->items.push_back(std::make_unique<Item>(textItem(QString(letter))));
        c.replaceAll(std::move(saved));
        category = c.category(0);
    }
    c.deletions().undo();
    QCOMPARE(letters(category), after);
}

void TestDeletionHistory::theHistoryIsBounded()
{
    Collection c;
    CategoryNode *category = categoryOf(c, QStringLiteral("Forms"), QString());
    for (int i = 0; i < DeletionHistory::MaxSteps + 5; ++i)
        category->items.push_back(std::make_unique<Item>(textItem(QString::number(i))));
    for (int i = 0; i < DeletionHistory::MaxSteps + 5; ++i)
        c.deletions().removeItem(category->items[0].get());
    QCOMPARE(c.deletions().depth(), DeletionHistory::MaxSteps);
    // The newest deletion is the one kept: the last item deleted comes back.
    c.deletions().undo();
    QCOMPARE(letters(category), QString::number(DeletionHistory::MaxSteps + 4));
}

void TestDeletionHistory::aDeletedPictureKeepsItsFileWhileItCanComeBack()
{
    QTemporaryDir folder;
    Collection c;
    CategoryNode *category = categoryOf(c, QStringLiteral("Pictures"), QString());
    Item picture = textItem(QStringLiteral("pic"));
    givePicture(picture, filledPicture(4, 3), folder.filePath(QStringLiteral("data.db")));
    category->items.push_back(std::make_unique<Item>(picture));
    const QString identity = SideFiles::identity(picture.text);
    QVERIFY(!identity.isEmpty());

    c.deletions().removeItem(category->items[0].get());
    // A save or a reload now must not sweep the file the step still needs.
    QVERIFY(ItemPictures::shared().heldIdentities().contains(identity));
    c.deletions().undo();
    QCOMPARE(category->itemCount(), 1);
    QCOMPARE(category->items[0]->text, picture.text);
    QVERIFY(!ItemPictures::shared().heldIdentities().contains(identity));

    c.deletions().removeItem(category->items[0].get());
    c.deletions().clear();
    QVERIFY(!ItemPictures::shared().heldIdentities().contains(identity));
}

QTEST_GUILESS_MAIN(TestDeletionHistory)
#include "tst_deletionhistory.moc"
