#include "config/dialogs/quickaddrows.h"

#include <QTest>

namespace {

const QString kStamp = QStringLiteral("Sun, Feb 18, 2001, 12:33 PM");

QuickAddRow checked(const QString &text, int action = 0, const QString &extra = QString(), int count = 1)
{
    return {true, text, action, extra, count};
}

} // namespace

class TestQuickAddRows : public QObject
{
    Q_OBJECT
private slots:
    void onlyCheckedRowsInRowOrder();
    void alias_data();
    void alias();
    void itemFields();
};

void TestQuickAddRows::onlyCheckedRowsInRowOrder()
{
    QList<QuickAddRow> rows(8);
    rows[1] = checked(QStringLiteral("second"));
    rows[4] = checked(QStringLiteral("fifth"));
    rows[6].text = QStringLiteral("typed but unchecked");
    const QList<Item> items = quickAddItems(rows, kStamp);
    QCOMPARE(items.size(), 2);
    QCOMPARE(items[0].text, QStringLiteral("second"));
    QCOMPARE(items[1].text, QStringLiteral("fifth"));
    QVERIFY(quickAddItems(QList<QuickAddRow>(8), kStamp).isEmpty());
}

void TestQuickAddRows::alias_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("alias");
    QTest::newRow("empty: an action-only item") << QString() << QStringLiteral("<blank>");
    QTest::newRow("short") << QStringLiteral("hello") << QStringLiteral("hello");
    QTest::newRow("150 characters") << QString(150, QLatin1Char('x')) << QString(100, QLatin1Char('x'));
    QTest::newRow("100 characters") << QString(100, QLatin1Char('y')) << QString(100, QLatin1Char('y'));
    // Characters, not UTF-16 units: a cut never splits one.
    QTest::newRow("beyond the basic plane")
        << QString(120, QChar(0x00e9)).replace(99, 1, QStringLiteral("\U0001F600"))
        << QString(99, QChar(0x00e9)) + QStringLiteral("\U0001F600");
}

void TestQuickAddRows::alias()
{
    QFETCH(QString, text);
    QFETCH(QString, alias);
    const QList<Item> items = quickAddItems({checked(text)}, kStamp);
    QCOMPARE(items.size(), 1);
    QCOMPARE(items[0].alias, alias);
    QCOMPARE(items[0].text, text);
}

void TestQuickAddRows::itemFields()
{
    const QList<Item> items =
        quickAddItems({checked(QStringLiteral("name"), 5, QStringLiteral("@example.org"), 3)}, kStamp);
    QCOMPARE(items.size(), 1);
    const Item &item = items[0];
    QCOMPARE(item.action, AfterPasteAction::TypeExtraText);
    QCOMPARE(item.pasteMethod, PasteMethod::SimulateCtrlV);
    QCOMPARE(item.kind, ItemKind::PlainText);
    QCOMPARE(int(item.actionCount), 3);
    QCOMPARE(item.extraText, QStringLiteral("@example.org"));
    QCOMPARE(item.created, kStamp);
    QVERIFY(!item.pictureSize.isValid());
    QVERIFY(item.category.isEmpty());  // the category that takes it names itself
    QVERIFY(quickAddItems({checked(QString())})[0].created.contains(QLatin1Char(',')));
}

QTEST_MAIN(TestQuickAddRows)
#include "tst_quickaddrows.moc"
