#include "popup/searchengine.h"
#include "store/collection.h"

#include <QSignalSpy>
#include <QTest>

#include "testsupport.h"

using namespace TestSupport;

// The search across every category: what it finds and in which order, that
// a longer query looks only among the earlier finds, that its work comes in
// slices a newer query cancels, and that captures and deletions in the
// middle of a search never leave it pointing at a freed item.
class TestSearchEngine : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void findsAcrossCategories_data();
    void findsAcrossCategories();
    void aLongerQueryLooksAmongTheEarlierFinds_data();
    void aLongerQueryLooksAmongTheEarlierFinds();
    void slicesFindWhatOneRunFinds();
    void aNewQueryEndsTheRunningOne();
    void theFirstSliceEndsWithAScreenful();
    void aCaptureDuringASearchWaitsForTheNextKey();
    void anItemFreedDuringASearchIsForgotten();
    void aRichItemIsReadAgainAfterAnEdit();

private:
    CategoryNode *addCategory(const QString &name, const QStringList &items);
    QStringList aliases(const std::vector<Item *> &items) const;
    QStringList searchAll(SearchEngine &engine, const QString &typed);

    std::unique_ptr<Collection> m_collection;
};

// "alias|text", "rich:alias|rtf" or "picture:alias".
CategoryNode *TestSearchEngine::addCategory(const QString &name, const QStringList &items)
{
    CategoryNode *category = m_collection->appendCategory(name);
    for (const QString &described : items) {
        Item item;
        QString rest = described;
        if (rest.startsWith(QLatin1String("rich:"))) {
            item.kind = ItemKind::RichText;
            rest = rest.mid(5);
        } else if (rest.startsWith(QLatin1String("picture:"))) {
            item.kind = ItemKind::Image;
            rest = rest.mid(8);
        }
        item.alias = rest.section(QLatin1Char('|'), 0, 0);
        // A picture's text is its side file's path, which the search must never read.
        item.text = item.kind == ItemKind::Image ? QStringLiteral("/tmp/data.db.b7 %1").arg(item.alias)
                                                 : rest.section(QLatin1Char('|'), 1);
        item.category = name;
        category->items.push_back(std::make_unique<Item>(item));
    }
    return category;
}

void TestSearchEngine::init()
{
    m_collection = std::make_unique<Collection>();
    addCategory(QStringLiteral("Work"), {QStringLiteral("Invoice|Invoice for the March order"),
                                         QStringLiteral("rich:Letter|{\\rtf1 Dear client,\\par your {\\b r\\'e9sum\\'e9} "
                                                        "arrived}"),
                                         QStringLiteral("picture:Image: scan of the order")});
    addCategory(QStringLiteral("Home"), {QStringLiteral("Shopping|milk, bread, order pizza"),
                                         QStringLiteral("Résumé|Curriculum vitae")});
    addCategory(QStringLiteral("Mail"), {QStringLiteral("Signature|Kind regards, Ann"),
                                         QStringLiteral("Order reply|Thanks for your order")});
    m_collection->setCurrentCategory(m_collection->category(1));
}

QStringList TestSearchEngine::aliases(const std::vector<Item *> &items) const
{
    QStringList out;
    for (const Item *item : items)
        out << item->alias;
    return out;
}

QStringList TestSearchEngine::searchAll(SearchEngine &engine, const QString &typed)
{
    engine.start(typed);
    engine.step(-1);
    return aliases(engine.matches());
}

void TestSearchEngine::findsAcrossCategories_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("found");
    QTest::newRow("current category first, then the others in tree order")
        << "order" << QStringList{"Shopping", "Invoice", "Image: scan of the order", "Order reply"};
    QTest::newRow("rich text by its plain text, not its markup") << "dear client" << QStringList{"Letter"};
    QTest::newRow("rich text's markup is not its text") << "rtf1" << QStringList{};
    QTest::newRow("rich text's accented letters") << "resume arrived" << QStringList{"Letter"};
    QTest::newRow("accents ignored, across categories") << "resume" << QStringList{"Résumé", "Letter"};
    QTest::newRow("a picture by its alias") << "scan" << QStringList{"Image: scan of the order"};
    QTest::newRow("a picture never by its file's path") << "data.db" << QStringList{};
    QTest::newRow("words in any order") << "reply thanks" << QStringList{"Order reply"};
    QTest::newRow("a phrase") << "\"for your order\"" << QStringList{"Order reply"};
    QTest::newRow("nothing typed finds nothing") << "  " << QStringList{};
}

void TestSearchEngine::findsAcrossCategories()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, found);
    SearchEngine engine(*m_collection);
    QCOMPARE(searchAll(engine, typed), found);
    QVERIFY(!engine.running());
}

void TestSearchEngine::aLongerQueryLooksAmongTheEarlierFinds_data()
{
    QTest::addColumn<QString>("earlier");
    QTest::addColumn<QString>("later");
    QTest::addColumn<bool>("narrowed");
    QTest::newRow("a letter more") << "or" << "ord" << true;
    QTest::newRow("a word more") << "order" << "order thanks" << true;
    QTest::newRow("a letter less") << "orde" << "ord" << false;
    QTest::newRow("another word") << "order" << "milk" << false;
}

void TestSearchEngine::aLongerQueryLooksAmongTheEarlierFinds()
{
    QFETCH(QString, earlier);
    QFETCH(QString, later);
    QFETCH(bool, narrowed);
    SearchEngine engine(*m_collection);
    searchAll(engine, earlier);
    const QStringList found = searchAll(engine, later);
    QCOMPARE(engine.narrowed(), narrowed);
    // Narrowed or not, the finds are those of a search from scratch.
    SearchEngine fresh(*m_collection);
    QCOMPARE(found, searchAll(fresh, later));
}

void TestSearchEngine::slicesFindWhatOneRunFinds()
{
    // Enough items that a slice with no time left stops well before the end.
    QStringList many;
    for (int i = 0; i < 500; ++i)
        many << QStringLiteral("note %1|order number %1").arg(i);
    addCategory(QStringLiteral("Archive"), many);
    SearchEngine whole(*m_collection);
    const QStringList expected = searchAll(whole, QStringLiteral("order 4"));

    SearchEngine sliced(*m_collection);
    QSignalSpy found(&sliced, &SearchEngine::found);
    QSignalSpy finished(&sliced, &SearchEngine::finished);
    sliced.start(QStringLiteral("order"));
    QVERIFY(!sliced.step(0));
    QVERIFY(sliced.running());
    QVERIFY(sliced.matches().size() < 500);
    // The user types on before the first query ends: the next looks among
    // what the first found and where it had not yet looked.
    sliced.start(QStringLiteral("order 4"));
    QVERIFY(sliced.narrowed());
    int slices = 0;
    while (!sliced.step(0))
        ++slices;
    QVERIFY(slices > 3);
    QCOMPARE(aliases(sliced.matches()), expected);
    QCOMPARE(finished.size(), 1);
    // The rows the list was given, batch by batch, are the finds in order.
    QStringList given;
    for (const QList<QVariant> &batch : found) {
        for (const Item *item : batch.at(0).value<QList<Item *>>())
            given << item->alias;
    }
    const QStringList firstQuery = given.mid(0, given.size() - expected.size());
    QCOMPARE(given.mid(firstQuery.size()), expected);
}

void TestSearchEngine::aNewQueryEndsTheRunningOne()
{
    SearchEngine engine(*m_collection);
    QSignalSpy restarted(&engine, &SearchEngine::restarted);
    engine.start(QStringLiteral("order"));
    // The slices run from the event loop: typing a new query before they do replaces it.
    engine.start(QStringLiteral("milk"));
    QCOMPARE(restarted.size(), 2);
    QTRY_VERIFY(!engine.running());
    QCOMPARE(aliases(engine.matches()), QStringList{"Shopping"});
}

void TestSearchEngine::theFirstSliceEndsWithAScreenful()
{
    QStringList many;
    for (int i = 0; i < 300; ++i)
        many << QStringLiteral("note %1|order %1").arg(i);
    addCategory(QStringLiteral("Archive"), many);
    SearchEngine engine(*m_collection);
    engine.setFirstBatch(8);
    QSignalSpy found(&engine, &SearchEngine::found);
    engine.start(QStringLiteral("order"));
    // However long its time, the first slice hands over the first screenful at once.
    QVERIFY(!engine.step(SearchEngine::SliceNanoseconds * 1000));
    QCOMPARE(engine.matches().size(), size_t(8));
    QCOMPARE(found.size(), 1);
    // The slices after it run their time.
    QVERIFY(engine.step(SearchEngine::SliceNanoseconds * 1000));
    QCOMPARE(engine.matches().size(), size_t(4 + 300));
}

void TestSearchEngine::aCaptureDuringASearchWaitsForTheNextKey()
{
    QStringList many;
    for (int i = 0; i < 300; ++i)
        many << QStringLiteral("old %1|order %1").arg(i);
    CategoryNode *archive = addCategory(QStringLiteral("Archive"), many);
    SearchEngine engine(*m_collection);
    engine.start(QStringLiteral("order"));
    QVERIFY(!engine.step(0));
    const size_t before = engine.matches().size();
    QVERIFY(before > 0);
    // One copy lands where the search has looked, one where it has not.
    Item copy = textItem(QStringLiteral("new order copy"));
    m_collection->insertFirstChild(m_collection->currentCategory(), copy);
    m_collection->insertFirstChild(archive, copy);
    engine.step(-1);
    QStringList found = aliases(engine.matches());
    QCOMPARE(found.count(QStringLiteral("new order copy")), 0);
    // Nothing was looked at twice or skipped by the rows moving down.
    QCOMPARE(found.size(), 4 + 300);
    QCOMPARE(found.removeDuplicates(), 0);
    // The next key looks afresh and finds both, each in its category's place.
    found = searchAll(engine, QStringLiteral("order "));
    QVERIFY(!engine.narrowed());
    QCOMPARE(found.size(), 4 + 300 + 2);
    QCOMPARE(found.first(), QStringLiteral("new order copy"));
    QCOMPARE(found.indexOf(QStringLiteral("new order copy"), 1), 4 + 1);
}

void TestSearchEngine::anItemFreedDuringASearchIsForgotten()
{
    QStringList many;
    for (int i = 0; i < 300; ++i)
        many << QStringLiteral("old %1|order %1").arg(i);
    CategoryNode *archive = addCategory(QStringLiteral("Archive"), many);
    SearchEngine engine(*m_collection);
    engine.start(QStringLiteral("order"));
    QVERIFY(!engine.step(0));
    // A found item and one still ahead of the walk go; the walk's place moves up with the rows.
    Item *found = engine.matches().front();
    m_collection->removeItem(found);
    m_collection->removeItem(archive->items.back().get());
    m_collection->removeItem(archive->items.front().get());
    for (const Item *item : engine.matches())
        QVERIFY(item != found);
    // Typing on narrows among the finds: none of them may be the freed one.
    engine.start(QStringLiteral("order 2"));
    QVERIFY(engine.narrowed());
    engine.step(-1);
    QStringList aliases = this->aliases(engine.matches());
    QVERIFY(!aliases.contains(QStringLiteral("old 0")));
    QVERIFY(!aliases.contains(QStringLiteral("old 299")));
    QVERIFY(aliases.contains(QStringLiteral("old 2")));
    // A reset of the whole collection (another data file) leaves nothing behind.
    engine.start(QStringLiteral("order"));
    QVERIFY(!engine.step(0));
    m_collection->clear();
    QVERIFY(engine.matches().empty());
    QVERIFY(engine.step(-1));
}

void TestSearchEngine::aRichItemIsReadAgainAfterAnEdit()
{
    SearchEngine engine(*m_collection);
    QCOMPARE(searchAll(engine, QStringLiteral("dear")), QStringList{"Letter"});
    Item *letter = m_collection->category(0)->items[1].get();
    letter->text = QStringLiteral("{\\rtf1 Hello there}");
    QCOMPARE(searchAll(engine, QStringLiteral("dear")), QStringList{});
    QCOMPARE(searchAll(engine, QStringLiteral("hello")), QStringList{"Letter"});
}

QTEST_GUILESS_MAIN(TestSearchEngine)
#include "tst_searchengine.moc"
