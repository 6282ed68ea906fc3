#include "capture/capturereplay.h"
#include "store/collection.h"

#include <QTest>

#include "testsupport.h"

using namespace TestSupport;

namespace {

// The collection as a reload leaves it: A (current) with a1; B with b1; L
// limited to 2 and holding two; C locked at a limit of 1 and full.
void reloaded(Collection &collection)
{
    collection.clear();
    const auto add = [&collection](const QString &name, const CategorySettings &rec, const QStringList &texts) {
        CategoryNode *category = collection.appendCategory(name, rec);
        for (auto it = texts.rbegin(); it != texts.rend(); ++it)
            collection.insertFirstChild(category, textItem(*it));
        return category;
    };
    CategorySettings limited;
    limited.limit = 2;
    CategorySettings locked;
    locked.limit = 1;
    locked.lockAtLimit = true;
    collection.setCurrentCategory(add(QStringLiteral("A"), {}, {QStringLiteral("a1")}));
    add(QStringLiteral("B"), {}, {QStringLiteral("b1")});
    add(QStringLiteral("L"), limited, {QStringLiteral("l1"), QStringLiteral("l2")});
    add(QStringLiteral("C"), locked, {QStringLiteral("c1")});
}

// "A: x a1" for each category: its name and its items' texts, newest first.
QStringList described(const Collection &collection)
{
    QStringList lines;
    for (const auto &category : collection.categories()) {
        QStringList texts;
        for (const auto &item : category->items) {
            texts << item->text;
            if (item->category != category->name)
                texts << QStringLiteral("(names %1)").arg(item->category);
        }
        lines << category->name + QStringLiteral(": ") + texts.join(QLatin1Char(' '));
    }
    return lines;
}

// "x@B": a copy of text x captured into category B.
Item copy(const QString &description)
{
    const QStringList parts = description.split(QLatin1Char('@'));
    Item item = textItem(parts.at(0));
    item.category = parts.at(1);
    return item;
}

} // namespace

class TestCaptureReplay : public QObject
{
    Q_OBJECT
private slots:
    void copiesGoBackUnderTheirCategorysRules_data();
    void copiesGoBackUnderTheirCategorysRules();
    void aRefusedCopyIsToldOnceTheOthersComeBackAgain();
};

void TestCaptureReplay::copiesGoBackUnderTheirCategorysRules_data()
{
    QTest::addColumn<QStringList>("copies");  // in the order captured
    QTest::addColumn<bool>("preventDuplicates");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<QStringList>("refused");
    QTest::addColumn<int>("putBack");

    const QString a = QStringLiteral("A: a1"), b = QStringLiteral("B: b1"), l = QStringLiteral("L: l1 l2"),
                  c = QStringLiteral("C: c1");
    QTest::newRow("into its category, the newest on top")
        << QStringList{"x@B", "y@B"} << true << QStringList{a, "B: y x b1", l, c} << QStringList{} << 2;
    QTest::newRow("a category no longer there gives way to the current one")
        << QStringList{"x@Gone"} << true << QStringList{"A: x a1", b, l, c} << QStringList{} << 1;
    QTest::newRow("the limit takes the oldest")
        << QStringList{"x@L"} << true << QStringList{a, b, "L: x l1", c} << QStringList{} << 1;
    QTest::newRow("not twice where its text already is the newest")
        << QStringList{"a1@A", "x@B", "x@Gone"} << true << QStringList{"A: x a1", "B: x b1", l, c}
        << QStringList{} << 2;
    QTest::newRow("twice when duplicates are allowed")
        << QStringList{"a1@A"} << false << QStringList{"A: a1 a1", b, l, c} << QStringList{} << 1;
    QTest::newRow("a category locked and full refuses it")
        << QStringList{"x@C", "y@B"} << true << QStringList{a, "B: y b1", l, c} << QStringList{"x@C"} << 1;
}

void TestCaptureReplay::copiesGoBackUnderTheirCategorysRules()
{
    QFETCH(QStringList, copies);
    QFETCH(bool, preventDuplicates);
    QFETCH(QStringList, after);
    QFETCH(QStringList, refused);
    QFETCH(int, putBack);
    Collection collection;
    CaptureReplay replay(collection);
    for (const QString &description : copies)
        replay.record(copy(description));
    reloaded(collection);

    const CaptureReplay::Outcome outcome = replay.replay(preventDuplicates);
    QCOMPARE(described(collection), after);
    QStringList refusedSpecs;
    for (const Item &item : outcome.refused)
        refusedSpecs << item.text + QLatin1Char('@') + item.category;
    QCOMPARE(refusedSpecs, refused);
    QCOMPARE(outcome.putBack, putBack);
}

void TestCaptureReplay::aRefusedCopyIsToldOnceTheOthersComeBackAgain()
{
    Collection collection;
    CaptureReplay replay(collection);
    replay.record(copy(QStringLiteral("x@C")));
    replay.record(copy(QStringLiteral("y@B")));
    reloaded(collection);
    QCOMPARE(replay.replay(true).refused.size(), 1);

    // The window stays open and its edits are cancelled once more: the file
    // still lacks the copy that was put back.
    reloaded(collection);
    const CaptureReplay::Outcome again = replay.replay(true);
    QVERIFY(again.refused.isEmpty());
    QCOMPARE(again.putBack, 1);
    QCOMPARE(described(collection).at(1), QStringLiteral("B: y b1"));

    replay.forget();
    reloaded(collection);
    QCOMPARE(replay.replay(true).putBack, 0);
}

QTEST_GUILESS_MAIN(TestCaptureReplay)
#include "tst_capturereplay.moc"
