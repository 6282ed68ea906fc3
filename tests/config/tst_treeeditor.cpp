#include "config/tree/treeeditor.h"

#include "config/tree/nodedetails.h"
#include "doubles/scriptedmessageboxes.h"
#include "doubles/scriptedtreedialogs.h"
#include "settings/options.h"
#include "store/collection.h"

#include <QSignalSpy>
#include <QTest>

#include "testsupport.h"

using namespace TestSupport;

namespace {

const QString kGeneralQuestion = QStringLiteral(
    "Are you sure you want to delete?  (pressing Cancel will restore all changes you make)\r\n\r\n(This dialog can "
    "be disabled from the Miscellaneous tab in General Options.)");
const QString kCategoryQuestion = QStringLiteral(
    "Are you sure you want to delete this category and everything in it?\r\n\r\n(This dialog can be disabled from "
    "the Miscellaneous tab in General Options.)");
const QString kEmptyQuestion = QStringLiteral(
    "Are you sure you want to delete everything in this category?\r\n\r\n(This dialog can be disabled from the "
    "Miscellaneous tab in General Options.)");

// A collection of categories named by the keys, each with items "<name>1".. newest first.
struct Tree
{
    Tree(std::initializer_list<std::pair<QString, int>> categories)
    {
        for (const auto &[name, count] : categories) {
            CategoryNode *node = collection.appendCategory(name);
            for (int i = 1; i <= count; ++i) {
                Item item = textItem(name + QString::number(i));
                item.category = name;
                node->items.push_back(std::make_unique<Item>(item));
            }
        }
        collection.setCurrentCategory(collection.category(0));
        options.set(Option::ConfirmItemDelete, false);
        options.set(Option::ConfirmCategoryDelete, false);
    }
    CategoryNode *operator[](const QString &name) const { return collection.findCategory(name); }
    TreeNode item(const QString &category, int row) const
    {
        CategoryNode *node = (*this)[category];
        return {node, node->items[size_t(row)].get()};
    }
    QStringList aliases(const QString &category) const
    {
        QStringList result;
        for (const auto &item : (*this)[category]->items)
            result << item->alias + QLatin1Char('@') + item->category;
        return result;
    }
    QStringList names() const
    {
        QStringList result;
        for (const auto &category : collection.categories())
            result << category->name;
        return result;
    }

    Collection collection;
    Options options;
    ScriptedMessageBoxes boxes;
    ScriptedTreeDialogs dialogs;
    TreeEditor editor{collection, options, boxes, dialogs};
};

CategoryProperties named(const QString &name)
{
    CategoryProperties properties;
    properties.name = name;
    return properties;
}

} // namespace

class TestTreeEditor : public QObject
{
    Q_OBJECT
private slots:
    void deleteAsksAsConfigured_data();
    void deleteAsksAsConfigured();
    void emptyingCategoryKeepsIt();
    void deletingLastCategoryInsistsOnANewOne();
    void undoPutsBackWhatWasDeleted_data();
    void undoPutsBackWhatWasDeleted();
    void dropRules_data();
    void dropRules();
    void droppingCategoryUpdatesNamesOnce();
    void find_data();
    void find();
    void findOverNothingSays();
    void newCategoryTakesCopiesAndBecomesCurrentWhenAlone();
    void editedCategoryRenamesItsItems();
    void copyingKeepsOrderAndStopsAtLock_data();
    void copyingKeepsOrderAndStopsAtLock();
    void copiedPictureSharesItsSideFile();
    void addTextItemHonoursLocks();
    void editOpensWhatTheNodeNeeds();
    void imageViewerSavesReachTheItem_data();
    void imageViewerSavesReachTheItem();
    void editMoreWritesEveryChangedItemStillThere();
    void recordFreedWhileADialogIsUpIsLeftAlone();
    void categoryFreedWhileADialogIsUpIsLeftAlone_data();
    void categoryFreedWhileADialogIsUpIsLeftAlone();
    void quickAddPutsRowsOnTopInRowOrder_data();
    void quickAddPutsRowsOnTopInRowOrder();
    void printOpensOnlyForTextItems();
    void categorySummary_data();
    void categorySummary();
};

void TestTreeEditor::deleteAsksAsConfigured_data()
{
    QTest::addColumn<bool>("confirmItems");
    QTest::addColumn<bool>("confirmCategories");
    QTest::addColumn<QString>("node");  // "item", "full", "empty"
    QTest::addColumn<bool>("keepCategory");
    QTest::addColumn<QString>("question");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QStringList>("namesAfter");
    QTest::addColumn<int>("fullCountAfter");

    const QStringList all{"Full", "Empty"};
    QTest::newRow("item, no question") << false << true << "item" << false << QString() << true << all << 1;
    QTest::newRow("item, asked, yes") << true << false << "item" << false << kGeneralQuestion << true << all << 1;
    QTest::newRow("item, asked, no") << true << false << "item" << false << kGeneralQuestion << false << all << 2;
    QTest::newRow("category, general question only") << true << true << "full" << false << kGeneralQuestion << true
                                                     << QStringList{"Empty"} << -1;
    QTest::newRow("category question") << false << true << "full" << false << kCategoryQuestion << true
                                       << QStringList{"Empty"} << -1;
    QTest::newRow("category question, no") << false << true << "full" << false << kCategoryQuestion << false << all
                                           << 2;
    QTest::newRow("empty category, no question") << false << true << "empty" << false << QString() << true
                                                 << QStringList{"Full"} << 2;
    QTest::newRow("keep category question") << false << true << "full" << true << kEmptyQuestion << true << all << 0;
    QTest::newRow("nothing asked") << false << false << "full" << false << QString() << true << QStringList{"Empty"}
                                   << -1;
}

void TestTreeEditor::deleteAsksAsConfigured()
{
    QFETCH(bool, confirmItems);
    QFETCH(bool, confirmCategories);
    QFETCH(QString, node);
    QFETCH(bool, keepCategory);
    QFETCH(QString, question);
    QFETCH(bool, yes);
    QFETCH(QStringList, namesAfter);
    QFETCH(int, fullCountAfter);

    Tree t{{"Full", 2}, {"Empty", 0}};
    t.options.set(Option::ConfirmItemDelete, confirmItems);
    t.options.set(Option::ConfirmCategoryDelete, confirmCategories);
    t.boxes.answerNext(yes ? MessageBoxService::Yes : MessageBoxService::No);
    const TreeNode target = node == "item" ? t.item("Full", 0) : TreeNode{t[node == "full" ? "Full" : "Empty"], nullptr};
    t.editor.remove(target, keepCategory);

    if (question.isEmpty()) {
        QVERIFY(t.boxes.shown().isEmpty());
    } else {
        QCOMPARE(t.boxes.shown().size(), 1);
        QCOMPARE(t.boxes.shown().first().text, question);
        QCOMPARE(t.boxes.shown().first().title, QStringLiteral("Confirmation"));
        QCOMPARE(t.boxes.shown().first().icon, MessageBoxService::Icon::Question);
    }
    QCOMPARE(t.names(), namesAfter);
    QCOMPARE(t["Full"] ? t["Full"]->itemCount() : -1, fullCountAfter);
    const bool changed = namesAfter != QStringList{"Full", "Empty"} || fullCountAfter != 2;
    QCOMPARE(t.collection.editModified(), changed);
}

void TestTreeEditor::emptyingCategoryKeepsIt()
{
    Tree t{{"Mail", 3}};
    QSignalSpy changed(&t.editor, &TreeEditor::nodeChanged);
    t.collection.refreshCurrentItems();
    t.editor.remove({t["Mail"], nullptr}, true);
    QCOMPARE(t.names(), QStringList{"Mail"});
    QCOMPARE(t["Mail"]->itemCount(), 0);
    QVERIFY(t.collection.currentItems().isEmpty());  // nothing left pointing at freed records
    QCOMPARE(changed.size(), 1);
    QVERIFY(NodeDetails::categorySummary(*t["Mail"]).contains(QStringLiteral("Number of items:\t\t0")));
}

void TestTreeEditor::deletingLastCategoryInsistsOnANewOne()
{
    Tree t{{"Only", 1}};
    t.dialogs.categoryAnswers.enqueue(named(QStringLiteral("Fresh")));
    QSignalSpy listsStale(&t.editor, &TreeEditor::categoriesChanged);
    t.editor.remove({t["Only"], nullptr});

    QCOMPARE(t.boxes.texts(), QStringList{QStringLiteral("There is currently no data.  Please create a new category now.")});
    QCOMPARE(t.boxes.shown().first().title, QStringLiteral("Information"));
    QCOMPARE(t.dialogs.categoryCalls.size(), 1);
    QVERIFY(!t.dialogs.categoryCalls.first().cancelAllowed);
    QCOMPARE(t.names(), QStringList{"Fresh"});
    QCOMPARE(t.collection.currentCategory(), t["Fresh"]);
    QVERIFY(listsStale.size() >= 1);
}

void TestTreeEditor::undoPutsBackWhatWasDeleted_data()
{
    // Deletions in order: "A1" item 1 of A, "B" category B, "B*" B's items only.
    QTest::addColumn<QStringList>("deletions");
    QTest::addColumn<int>("undos");
    QTest::addColumn<QStringList>("namesAfter");
    QTest::addColumn<QStringList>("aAfter");
    QTest::addColumn<QStringList>("bAfter");
    const QStringList names{"A", "B", "C"};
    const QStringList a{"A1@A", "A2@A", "A3@A"};
    const QStringList b{"B1@B", "B2@B"};
    QTest::newRow("item") << QStringList{"A1"} << 1 << names << a << b;
    QTest::newRow("category with its items") << QStringList{"B"} << 1 << names << a << b;
    QTest::newRow("category's items") << QStringList{"B*"} << 1 << names << a << b;
    QTest::newRow("two levels, one undone") << QStringList{"A1", "B"} << 1 << names << QStringList{"A1@A", "A3@A"} << b;
    QTest::newRow("two levels, both undone") << QStringList{"A1", "B"} << 2 << names << a << b;
}

void TestTreeEditor::undoPutsBackWhatWasDeleted()
{
    QFETCH(QStringList, deletions);
    QFETCH(int, undos);
    Tree t{{"A", 3}, {"B", 2}, {"C", 0}};
    for (const QString &deletion : deletions) {
        if (deletion == QLatin1String("B*"))
            t.editor.remove({t["B"], nullptr}, true);
        else if (deletion.size() == 1)
            t.editor.remove({t[deletion], nullptr});
        else
            t.editor.remove(t.item(deletion.left(1), deletion.mid(1).toInt()));
    }
    t.collection.clearModified();
    QSignalSpy listsStale(&t.editor, &TreeEditor::categoriesChanged);
    QSignalSpy selected(&t.editor, &TreeEditor::selectNode);
    for (int i = 0; i < undos; ++i)
        t.editor.undoDelete();
    QTEST(t.names(), "namesAfter");
    QTEST(t.aliases("A"), "aAfter");
    QTEST(t.aliases("B"), "bAfter");
    QVERIFY(t.collection.editModified());
    QVERIFY(t.boxes.texts().isEmpty());
    // A category that came back makes the lists naming categories stale; what came back is selected.
    QCOMPARE(listsStale.isEmpty(), !deletions.contains(QStringLiteral("B")));
    QCOMPARE(selected.size(), undos);
}

void TestTreeEditor::dropRules_data()
{
    QTest::addColumn<QString>("source");  // "A" category, "A0" item 0 of A
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("lockB");      // B locked at its limit of 2 (it holds 2)
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QStringList>("aAfter");
    QTest::addColumn<QStringList>("bAfter");
    QTest::addColumn<QStringList>("namesAfter");
    QTest::addColumn<QString>("told");  // why a drop was refused, when the user is told

    const QStringList a{"A1@A", "A2@A"};
    const QString lockedB = QStringLiteral("The item was not moved. Category \"B\" is locked and full (its limit is 2).");
    const QStringList b{"B1@B", "B2@B"};
    const QStringList names{"A", "B", "C"};
    QTest::newRow("item onto category: first in it") << "A1" << "B" << false << true << QStringList{"A1@A"}
                                                     << QStringList{"A2@B", "B1@B", "B2@B"} << names << QString();
    QTest::newRow("item onto item: just before it") << "A0" << "B1" << false << true << QStringList{"A2@A"}
                                                    << QStringList{"B1@B", "A1@B", "B2@B"} << names << QString();
    QTest::newRow("item down within its category") << "A0" << "A1" << false << true << a << b << names << QString();
    QTest::newRow("item up within its category") << "A1" << "A0" << false << true
                                                  << QStringList{"A2@A", "A1@A"} << b << names << QString();
    QTest::newRow("onto a locked full category") << "A0" << "B" << true << false << a << b << names << lockedB;
    QTest::newRow("onto an item of a locked full category") << "A0" << "B0" << true << false << a << b << names << lockedB;
    QTest::newRow("within a locked full category") << "B1" << "B0" << true << false << a << b << names << lockedB;
    QTest::newRow("category onto category: before it") << "C" << "A" << false << true << a << b
                                                        << QStringList{"C", "A", "B"} << QString();
    QTest::newRow("category moved down") << "A" << "C" << false << true << a << b << QStringList{"B", "A", "C"} << QString();
    QTest::newRow("category onto locked category") << "A" << "B" << true << true << a << b << names << QString();
    QTest::newRow("category onto an item") << "C" << "A0" << false << false << a << b << names << QString();
}

void TestTreeEditor::dropRules()
{
    QFETCH(QString, source);
    QFETCH(QString, target);
    QFETCH(bool, lockB);
    QFETCH(bool, accepted);

    Tree t{{"A", 2}, {"B", 2}, {"C", 0}};
    if (lockB) {
        t["B"]->rec.limit = 2;
        t["B"]->rec.lockAtLimit = true;
    }
    const auto node = [&t](const QString &name) {
        return name.size() == 1 ? TreeNode{t[name], nullptr} : t.item(name.left(1), name.mid(1).toInt());
    };
    QSignalSpy selected(&t.editor, &TreeEditor::selectNode);
    const TreeNode targetNode = node(target);
    QCOMPARE(t.editor.canDrop(node(source), targetNode), accepted);
    QCOMPARE(t.editor.drop(node(source), targetNode), accepted);
    QTEST(t.aliases("A"), "aAfter");
    QTEST(t.aliases("B"), "bAfter");
    QTEST(t.names(), "namesAfter");
    QFETCH(QString, told);
    QCOMPARE(t.boxes.texts(), told.isEmpty() ? QStringList() : QStringList{told});
    QCOMPARE(t.collection.editModified(), accepted);
    if (accepted) {
        QCOMPARE(selected.size(), 1);
        QCOMPARE(selected.first().first().value<TreeNode>(), targetNode);
    }
}

void TestTreeEditor::droppingCategoryUpdatesNamesOnce()
{
    Tree t{{"A", 1}, {"B", 0}};
    QSignalSpy listsStale(&t.editor, &TreeEditor::categoriesChanged);
    t.editor.drop({t["B"], nullptr}, {t["A"], nullptr});
    QCOMPARE(listsStale.size(), 1);
    t.editor.drop(t.item("A", 0), {t["B"], nullptr});  // items leave the category lists as they were
    QCOMPARE(listsStale.size(), 1);
}

void TestTreeEditor::find_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<bool>("down");
    QTest::addColumn<QString>("from");  // "A" or "A0"
    QTest::addColumn<bool>("continuing");
    QTest::addColumn<QString>("found");  // "" for none

    QTest::newRow("case off finds upper case") << "hello" << false << true << "A" << false << "A0";
    QTest::newRow("case on skips it") << "hello" << true << true << "A" << false << "B1";
    QTest::newRow("selected item itself on a first search") << "HELLO" << true << true << "A0" << false << "A0";
    QTest::newRow("continuing moves past the match") << "hello" << false << true << "A0" << true << "B1";
    QTest::newRow("rich text never matches") << "rtf1" << false << true << "A" << false << "";
    QTest::newRow("up from the end") << "hello" << false << false << "B" << false << "A0";
    QTest::newRow("up continues backwards") << "hello" << false << false << "B1" << true << "A0";
    QTest::newRow("nothing before the first") << "hello" << false << false << "A0" << true << "";
    QTest::newRow("searches the whole text, not the alias") << "inside" << false << true << "A" << false << "B1";
}

void TestTreeEditor::find()
{
    QFETCH(QString, text);
    QFETCH(bool, matchCase);
    QFETCH(bool, down);
    QFETCH(QString, from);
    QFETCH(bool, continuing);
    QFETCH(QString, found);

    Tree t{{"A", 2}, {"B", 0}};
    t["A"]->items[0]->text = QStringLiteral("Say HELLO");
    t["A"]->items[1]->kind = ItemKind::RichText;
    t["A"]->items[1]->text = QStringLiteral("{\\rtf1 hello}");
    Item lower = textItem(QStringLiteral("alias"));
    lower.text = QStringLiteral("well hello, and inside");
    t["B"]->items.push_back(std::make_unique<Item>(lower));
    Item image = textItem(QStringLiteral("hello"));
    image.kind = ItemKind::Image;
    t["B"]->items.insert(t["B"]->items.begin(), std::make_unique<Item>(image));

    const auto node = [&t](const QString &name) {
        return name.size() == 1 ? TreeNode{t[name], nullptr} : t.item(name.left(1), name.mid(1).toInt());
    };
    const TreeNode result = t.editor.find(text, matchCase, down, node(from), continuing);
    if (found.isEmpty()) {
        QVERIFY(result.isNull());
        QCOMPARE(t.boxes.texts(), QStringList{QStringLiteral("No matches found")});
        QCOMPARE(t.boxes.shown().first().title, QStringLiteral("Done"));
        QCOMPARE(t.boxes.shown().first().icon, MessageBoxService::Icon::Error);
    } else {
        QCOMPARE(result, node(found));
        QVERIFY(t.boxes.shown().isEmpty());
    }
}

void TestTreeEditor::findOverNothingSays()
{
    Tree t{{"A", 1}};
    QVERIFY(t.editor.find(QStringLiteral("A1"), false, true, {}, false).isNull());
    QCOMPARE(t.boxes.texts(), QStringList{QStringLiteral("No matches found")});
}

void TestTreeEditor::newCategoryTakesCopiesAndBecomesCurrentWhenAlone()
{
    {
        Tree t{{"Source", 2}};
        CategoryProperties properties = named(QStringLiteral("New"));
        properties.settings.limit = 7;
        properties.copyFrom = QStringLiteral("Source");
        t.dialogs.categoryAnswers.enqueue(properties);
        QSignalSpy selected(&t.editor, &TreeEditor::selectNode);
        QSignalSpy listsStale(&t.editor, &TreeEditor::categoriesChanged);
        CategoryNode *added = t.editor.addCategory();
        QCOMPARE(added, t["New"]);
        QCOMPARE(t.names(), (QStringList{"Source", "New"}));
        QCOMPARE(t.aliases("New"), (QStringList{"Source1@New", "Source2@New"}));
        QCOMPARE(t["New"]->rec.limit, 7);
        QCOMPARE(t.dialogs.categoryCalls.first().mode, TreeDialogs::CategoryMode::New);
        QVERIFY(t.dialogs.categoryCalls.first().cancelAllowed);
        QCOMPARE(selected.size(), 1);
        QCOMPARE(listsStale.size(), 1);
        QVERIFY(t.collection.editModified());
        QCOMPARE(t.collection.currentCategory(), t["Source"]);
    }
    {
        Collection empty;
        Options options;
        ScriptedMessageBoxes boxes;
        ScriptedTreeDialogs dialogs;
        TreeEditor editor(empty, options, boxes, dialogs);
        QVERIFY(!editor.addCategory());  // cancelled: nothing
        QCOMPARE(empty.categoryCount(), 0);
        QVERIFY(!empty.editModified());
        dialogs.categoryAnswers.enqueue(named(QStringLiteral("First")));
        editor.addCategory(true);
        QCOMPARE(empty.currentCategory(), empty.category(0));
    }
}

void TestTreeEditor::editedCategoryRenamesItsItems()
{
    Tree t{{"Mail", 3}};
    t["Mail"]->items[0]->alias = QStringLiteral("zeta");
    t["Mail"]->items[1]->alias = QStringLiteral("Alpha");
    t["Mail"]->items[2]->alias = QStringLiteral("beta");
    CategoryProperties properties = named(QStringLiteral("Post"));
    properties.settings.pasteMethod = PasteMethod::EnterKeystrokes;
    properties.alphabetize = true;
    t.dialogs.categoryAnswers.enqueue(properties);
    t.editor.edit({t["Mail"], nullptr}, true);  // a double click does not open it
    QVERIFY(t.dialogs.categoryCalls.isEmpty());
    t.editor.edit({t.collection.category(0), nullptr}, false);
    QCOMPARE(t.dialogs.categoryCalls.first().mode, TreeDialogs::CategoryMode::Edit);
    QCOMPARE(t.dialogs.categoryCalls.first().edited, t.collection.category(0));
    QCOMPARE(t.aliases("Post"), (QStringList{"Alpha@Post", "beta@Post", "zeta@Post"}));
    QCOMPARE(t["Post"]->rec.pasteMethod, PasteMethod::EnterKeystrokes);
    QVERIFY(!t["Mail"]);
}

void TestTreeEditor::copyingKeepsOrderAndStopsAtLock_data()
{
    QTest::addColumn<bool>("toEnd");
    QTest::addColumn<int>("lockLimit");  // 0: no lock
    QTest::addColumn<QStringList>("after");

    QTest::newRow("beginning, in order") << false << 0 << QStringList{"S1@D", "S2@D", "S3@D", "D1@D"};
    QTest::newRow("end") << true << 0 << QStringList{"D1@D", "S1@D", "S2@D", "S3@D"};
    QTest::newRow("stops when the lock is reached") << false << 3 << QStringList{"S1@D", "S2@D", "D1@D"};
    QTest::newRow("a full locked category takes none") << true << 1 << QStringList{"D1@D"};
}

void TestTreeEditor::copyingKeepsOrderAndStopsAtLock()
{
    QFETCH(bool, toEnd);
    QFETCH(int, lockLimit);
    Tree t{{"S", 3}, {"D", 1}};
    if (lockLimit > 0) {
        t["D"]->rec.limit = lockLimit;
        t["D"]->rec.lockAtLimit = true;
    }
    CategoryProperties properties = named(QStringLiteral("D"));
    properties.settings = t["D"]->rec;
    properties.copyFrom = QStringLiteral("S");
    properties.copyToEnd = toEnd;
    t.dialogs.categoryAnswers.enqueue(properties);
    t.editor.editCategory(t["D"]);
    QTEST(t.aliases("D"), "after");
    QCOMPARE(t["S"]->itemCount(), 3);
}

void TestTreeEditor::copiedPictureSharesItsSideFile()
{
    Tree t{{"S", 0}, {"D", 0}};
    Item picture = textItem(QStringLiteral("shot"));
    picture.kind = ItemKind::Image;
    picture.pictureSize = QSize(4, 3);
    picture.text = QStringLiteral("/data/list.db.b17");
    t["S"]->items.push_back(std::make_unique<Item>(picture));
    t.collection.copyItems(t["S"], t["D"], true);
    // No save sweeps a side file while any item names it.
    QCOMPARE(t["D"]->items[0]->text, QStringLiteral("/data/list.db.b17"));
    QCOMPARE(t["D"]->items[0]->pictureSize, QSize(4, 3));
    QCOMPARE(t["S"]->items[0]->text, QStringLiteral("/data/list.db.b17"));
}

void TestTreeEditor::addTextItemHonoursLocks()
{
    Tree t{{"Open", 0}, {"Locked", 1}};
    t["Locked"]->rec.limit = 1;
    t["Locked"]->rec.lockAtLimit = true;
    TreeDialogs::NewItem added{textItem(QStringLiteral("new")), true};
    t.dialogs.newItemAnswers.enqueue(added);
    t.editor.addTextItem();
    QCOMPARE(t.aliases("Open"), QStringList{"new@Open"});
    QCOMPARE(t.aliases("Locked"), QStringList{"Locked1@Locked"});
    QVERIFY(t.collection.editModified());
    // The category skipped is named, and why.
    QCOMPARE(t.boxes.texts(), QStringList{"The item was not added to every category. Category \"Locked\" is locked "
                                          "and full (its limit is 1)."});
    t.boxes.clear();

    t.collection.clearModified();
    t.editor.addTextItem();  // cancelled
    QVERIFY(!t.collection.editModified());
}

void TestTreeEditor::editOpensWhatTheNodeNeeds()
{
    Tree t{{"A", 2}};
    t["A"]->items[1]->kind = ItemKind::Image;
    t.editor.edit(t.item("A", 1), true);
    QCOMPARE(t.dialogs.viewCalls, 1);
    QCOMPARE(t.dialogs.editCalls, 0);

    t.editor.edit(t.item("A", 0), false);  // cancelled
    QVERIFY(!t.collection.editModified());
    t.dialogs.editAnswers.enqueue([](Item &item) { item.alias = QStringLiteral("renamed"); });
    QSignalSpy changed(&t.editor, &TreeEditor::nodeChanged);
    t.editor.edit(t.item("A", 0), true);
    QCOMPARE(t.aliases("A").first(), QStringLiteral("renamed@A"));
    QVERIFY(t.collection.editModified());
    QCOMPARE(changed.size(), 1);
}

void TestTreeEditor::imageViewerSavesReachTheItem_data()
{
    QTest::addColumn<bool>("saved");
    QTest::newRow("saved") << true;
    QTest::newRow("closed without saving") << false;
}

void TestTreeEditor::imageViewerSavesReachTheItem()
{
    QFETCH(bool, saved);
    Tree t{{"A", 2}};
    Item *picture = t["A"]->items[1].get();
    picture->kind = ItemKind::Image;
    picture->pictureSize = QSize(40, 30);
    picture->text = QStringLiteral("/data/data.db.b3");
    picture->created = QStringLiteral("Sun, Feb 18, 2001, 12:33 PM");
    if (saved) {
        t.dialogs.viewAnswers.enqueue([](Item &item) {
            item.alias = QStringLiteral("cropped");
            item.text = QStringLiteral("/data/data.db.b9");
            item.pictureSize = QSize(10, 5);
            item.created = QStringLiteral("Mon, Mar 1, 2027, 09:15 AM");
        });
    }
    QSignalSpy changed(&t.editor, &TreeEditor::nodeChanged);
    t.editor.edit(t.item("A", 1), true);

    QCOMPARE(picture->alias, saved ? QStringLiteral("cropped") : QStringLiteral("A2"));
    QCOMPARE(picture->text, saved ? QStringLiteral("/data/data.db.b9") : QStringLiteral("/data/data.db.b3"));
    QCOMPARE(picture->pictureSize, saved ? QSize(10, 5) : QSize(40, 30));
    QCOMPARE(picture->created, saved ? QStringLiteral("Mon, Mar 1, 2027, 09:15 AM")
                                     : QStringLiteral("Sun, Feb 18, 2001, 12:33 PM"));
    QCOMPARE(t.collection.editModified(), saved);
    QCOMPARE(changed.size(), saved ? 1 : 0);
}

void TestTreeEditor::quickAddPutsRowsOnTopInRowOrder_data()
{
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QStringList>("checkedRows");  // their texts, row 1 first
    QTest::addColumn<int>("lockLimit");          // 0: no lock
    QTest::addColumn<QStringList>("aliasesAfter");
    QTest::addColumn<bool>("changed");
    QTest::addColumn<QString>("told");  // why rows were not added

    QTest::newRow("two rows above the older items")
        << true << QStringList{"row 2", "row 5"} << 0 << QStringList{"row 2@A", "row 5@A", "A1@A", "A2@A"} << true
        << QString();
    QTest::newRow("cancelled") << false << QStringList{"row 1"} << 0 << QStringList{"A1@A", "A2@A"} << false
                               << QString();
    QTest::newRow("OK with no row checked") << true << QStringList{} << 0 << QStringList{"A1@A", "A2@A"} << false
                                            << QString();
    QTest::newRow("locked and full: none taken, yet changed")
        << true << QStringList{"row 1"} << 2 << QStringList{"A1@A", "A2@A"} << true
        << "The items were not added. Category \"A\" is locked and full (its limit is 2).";
    QTest::newRow("locked with room for one: the topmost row fits last, the lowest row first")
        << true << QStringList{"row 1", "row 2"} << 3 << QStringList{"row 2@A", "A1@A", "A2@A"} << true
        << "1 of the 2 items were not added. Category \"A\" is locked and full (its limit is 3).";
}

void TestTreeEditor::quickAddPutsRowsOnTopInRowOrder()
{
    QFETCH(bool, ok);
    QFETCH(QStringList, checkedRows);
    QFETCH(int, lockLimit);
    QFETCH(QStringList, aliasesAfter);
    QFETCH(bool, changed);
    Tree t{{"A", 2}, {"B", 1}};
    if (lockLimit > 0) {
        t["A"]->rec.limit = lockLimit;
        t["A"]->rec.lockAtLimit = true;
    }
    QList<Item> items;
    for (const QString &text : checkedRows)
        items << textItem(text);
    t.dialogs.quickAddAnswers.enqueue(ok ? std::optional(items) : std::nullopt);
    QSignalSpy nodeChanged(&t.editor, &TreeEditor::nodeChanged);
    t.editor.quickAdd();
    QCOMPARE(t.dialogs.quickAddCalls, 1);
    QCOMPARE(t.aliases("A"), aliasesAfter);
    QCOMPARE(t.aliases("B"), QStringList{"B1@B"});
    QCOMPARE(t.collection.editModified(), changed);
    QFETCH(QString, told);
    QCOMPARE(t.boxes.texts(), told.isEmpty() ? QStringList() : QStringList{told});
    QCOMPARE(nodeChanged.size(), changed ? 1 : 0);
    if (changed)
        QCOMPARE(nodeChanged.first().first().value<TreeNode>(), (TreeNode{t["A"], nullptr}));
}

void TestTreeEditor::printOpensOnlyForTextItems()
{
    Tree t{{"A", 3}};
    t["A"]->items[1]->kind = ItemKind::Image;
    t["A"]->items[2]->kind = ItemKind::RichText;
    t.editor.print({t["A"], nullptr});
    t.editor.print(t.item("A", 1));
    QVERIFY(t.dialogs.printed.isEmpty());
    t.editor.print(t.item("A", 0));
    t.editor.print(t.item("A", 2));
    QCOMPARE(t.dialogs.printed.size(), 2);
    QCOMPARE(t.dialogs.printed[0].text, QStringLiteral("A1"));
    QCOMPARE(t.dialogs.printed[1].text, QStringLiteral("A3"));
    QVERIFY(!t.collection.editModified());
}

void TestTreeEditor::editMoreWritesEveryChangedItemStillThere()
{
    Tree t{{"A", 4}, {"B", 1}};
    Item *trimmed = t["A"]->items[3].get();
    QList<Item> handedOver;
    int startedAt = -1;
    t.dialogs.editMoreAnswers.enqueue([&](QList<Item> &items, int starting) {
        handedOver = items;
        startedAt = starting;
        // A capture frees one of them while the editor is up.
        t.collection.removeItem(trimmed);
        for (Item &item : items)
            item.action = AfterPasteAction::PressEnter;
        return QList<int>{0, 2, 3};
    });
    QSignalSpy changed(&t.editor, &TreeEditor::nodeChanged);
    t.editor.edit(t.item("A", 1), true);
    QCOMPARE(t.dialogs.editedCategory, QStringLiteral("A"));
    QCOMPARE(handedOver.size(), 4);
    QCOMPARE(startedAt, 1);
    QCOMPARE(t["A"]->itemCount(), 3);
    QCOMPARE(t["A"]->items[0]->action, AfterPasteAction::PressEnter);
    QCOMPARE(t["A"]->items[1]->action, AfterPasteAction::None);  // selected, not changed
    QCOMPARE(t["A"]->items[2]->action, AfterPasteAction::PressEnter);
    QCOMPARE(t["B"]->items[0]->action, AfterPasteAction::None);
    QCOMPARE(changed.size(), 2);
    QVERIFY(t.collection.editModified());
}

void TestTreeEditor::recordFreedWhileADialogIsUpIsLeftAlone()
{
    // A capture trims the edited item away while the editor is open, and a
    // new record takes its place: nothing is written, nothing freed twice.
    {
        Tree t{{"A", 2}};
        Item *edited = t["A"]->items[1].get();
        t.dialogs.editAnswers.enqueue([&t, edited](Item &item) {
            t.collection.removeItem(edited);
            t.collection.insertFirstChild(t["A"], textItem(QStringLiteral("captured")));
            item.alias = QStringLiteral("renamed");
        });
        t.editor.edit({t["A"], edited}, false);
        QCOMPARE(t.aliases("A"), (QStringList{"captured@A", "A1@A"}));
        QVERIFY(!t.collection.editModified());
    }
    // The same during the delete question: the item that took its place stays.
    {
        Tree t{{"A", 2}};
        t.options.set(Option::ConfirmItemDelete, true);
        Item *doomed = t["A"]->items[1].get();
        t.boxes.answerNext(MessageBoxService::Yes);
        t.boxes.setWhileShown([&t, doomed](const QString &) {
            t.collection.removeItem(doomed);
            t.collection.insertFirstChild(t["A"], textItem(QStringLiteral("captured")));
        });
        t.editor.remove({t["A"], doomed});
        QCOMPARE(t.aliases("A"), (QStringList{"captured@A", "A1@A"}));
    }
}

void TestTreeEditor::categoryFreedWhileADialogIsUpIsLeftAlone_data()
{
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<bool>("switchList");  // else the category alone is deleted
    for (const char *dialog : {"properties", "item question", "category question", "empty question", "editor"}) {
        QTest::addRow("%s, group list switched", dialog) << dialog << true;
        QTest::addRow("%s, category deleted", dialog) << dialog << false;
    }
}

void TestTreeEditor::categoryFreedWhileADialogIsUpIsLeftAlone()
{
    // Something frees the category while its dialog or question is up: a
    // switch of group list frees every category (and may bring one of the
    // same name), or the category alone goes. The answer must then touch
    // neither the freed records nor whatever stands in their place.
    QFETCH(QString, dialog);
    QFETCH(bool, switchList);
    Tree t{{"A", 2}, {"B", 1}};
    const auto freeCategory = [&t, switchList] {
        if (!switchList) {
            t.collection.removeCategory(t["A"]);
            return;
        }
        CategoryList other;
        for (const char *name : {"A", "C"}) {
            auto category = std::make_unique<CategoryNode>();
            category->name = QLatin1String(name);
            Item item = textItem(QStringLiteral("other"));
            item.category = category->name;
            category->items.push_back(std::make_unique<Item>(item));
            other.push_back(std::move(category));
        }
        t.collection.replaceAll(std::move(other));
    };
    const QStringList namesAfter = switchList ? QStringList{"A", "C"} : QStringList{"B"};
    const QStringList aliasesOfA = switchList ? QStringList{"other@A"} : QStringList{};

    if (dialog == "properties") {
        CategoryProperties properties = named(QStringLiteral("Z"));
        properties.settings.limit = 9;
        properties.alphabetize = true;
        properties.copyFrom = QStringLiteral("B");
        t.dialogs.categoryAnswers.enqueue(properties);
        t.dialogs.whileShown = freeCategory;
        t.editor.edit({t["A"], nullptr}, false);
        // The user is told the changes went nowhere.
        QCOMPARE(t.boxes.shown().size(), 1);
        QVERIFY(t.boxes.shown().first().text.contains(QStringLiteral("\"A\"")));
    } else if (dialog == "editor") {
        t.dialogs.editMoreAnswers.enqueue([&](QList<Item> &items, int) {
            freeCategory();
            for (Item &item : items)
                item.alias = QStringLiteral("edited");
            return QList<int>{0, 1};
        });
        t.editor.edit(t.item("A", 0), false);
    } else {
        t.options.set(Option::ConfirmItemDelete, dialog == "item question");
        t.options.set(Option::ConfirmCategoryDelete, true);
        t.boxes.answerNext(MessageBoxService::Yes);
        t.boxes.setWhileShown([&](const QString &) { freeCategory(); });
        const TreeNode target = dialog == "item question" ? t.item("A", 0) : TreeNode{t["A"], nullptr};
        t.editor.remove(target, dialog == "empty question");
        QCOMPARE(t.boxes.shown().size(), 1);
    }
    QCOMPARE(t.names(), namesAfter);
    if (switchList)
        QCOMPARE(t.aliases("A"), aliasesOfA);
    QVERIFY(!t.collection.editModified());
}

void TestTreeEditor::categorySummary_data()
{
    QTest::addColumn<int>("limit");
    QTest::addColumn<bool>("lock");
    QTest::addColumn<int>("action");
    QTest::addColumn<int>("method");
    QTest::addColumn<QString>("expected");

    QTest::newRow("plain") << 0 << false << 0 << 3
                           << "\nNumber of items:\t\t2\nCategory limit:\t\tNO LIMIT\nLock if limit reached:\tNO\n\n"
                              "Category action after paste:\tNone\n\nCategory pasting method:\tDisabled";
    QTest::newRow("limit, lock, output, keystrokes")
        << 5 << true << 5 << 1
        << "\nNumber of items:\t\t2\nCategory limit:\t\t5\nLock if limit reached:\tYES\n\n"
           "Category action after paste:\tOutput: bye\nNumber of times:\t\t3\n\nCategory pasting method:\tEnter keystrokes";
}

void TestTreeEditor::categorySummary()
{
    QFETCH(int, limit);
    QFETCH(bool, lock);
    QFETCH(int, action);
    QFETCH(int, method);
    Tree t{{"A", 2}};
    CategorySettings &rec = t["A"]->rec;
    rec.limit = limit;
    rec.lockAtLimit = lock;
    rec.action = AfterPasteAction(action);
    rec.pasteMethod = PasteMethod(method);
    rec.actionCount = 3;
    rec.extraText = QStringLiteral("bye");
    QTEST(NodeDetails::categorySummary(*t["A"]), "expected");

    rec.extraText = QString(400, QLatin1Char('x'));
    for (const QString &line : NodeDetails::categorySummary(*t["A"]).split(QLatin1Char('\n')))
        QVERIFY(line.size() <= 255);
}

QTEST_GUILESS_MAIN(TestTreeEditor)
#include "tst_treeeditor.moc"
