#include "popup/searchquery.h"

#include <QTest>

// The rules by which the pop-up list's search matches an item: every typed
// word or quoted phrase, in the alias or in the text, ignoring case and accents.
class TestSearchQuery : public QObject
{
    Q_OBJECT
private slots:
    void matches_data();
    void matches();
    void fold_data();
    void fold();
    void narrows_data();
    void narrows();
    void categoryOrder_data();
    void categoryOrder();
};

void TestSearchQuery::matches_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("alias");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("matches");
    const QString invoice = QStringLiteral("Invoice for the March order, please pay by Friday");
    QTest::newRow("a word in the text") << "march" << "Billing" << invoice << true;
    QTest::newRow("a word in the alias only") << "billing" << "Billing" << invoice << true;
    QTest::newRow("part of a word") << "voic" << "Billing" << invoice << true;
    QTest::newRow("a word in neither") << "april" << "Billing" << invoice << false;
    QTest::newRow("case ignored both ways") << "FRIDAY" << "x" << QStringLiteral("friday") << true;
    QTest::newRow("two words, any order") << "friday invoice" << "x" << invoice << true;
    QTest::newRow("two words, one in the alias, one in the text") << "billing friday" << "Billing" << invoice << true;
    QTest::newRow("two words, one missing") << "friday april" << "x" << invoice << false;
    QTest::newRow("blanks around and between words") << "  friday   invoice " << "x" << invoice << true;
    QTest::newRow("accent in the text, none typed") << "resume" << "x" << QStringLiteral("My Résumé, 2026") << true;
    QTest::newRow("accent typed, none in the text") << QStringLiteral("résumé") << "x" << "RESUME" << true;
    QTest::newRow("capital accented letter") << "ecole" << QStringLiteral("ÉCOLE") << "" << true;
    QTest::newRow("accent as a separate mark") << "cafe" << "x" << QStringLiteral("cafe\u0301 noir") << true;
    QTest::newRow("mark between the letters of a word") << "cafenoir" << "x" << QStringLiteral("cafe\u0301noir") << true;
    // Far into a long text, where it is read eight characters at a time.
    QTest::newRow("a NUL inside a word is passed over")
        << "cafe" << "x" << QString(40, u'x') + QStringLiteral(" c") + QChar(0) + QStringLiteral("afe and more after it") << true;
    QTest::newRow("a mark between the first two letters")
        << "cafe" << "x" << QString(40, u'x') + QStringLiteral(" c\u0327afe and more after it") << true;
    QTest::newRow("long text, the word far in, past a non-ASCII letter")
        << "zeta" << "x" << QString(40, u'a') + QStringLiteral(" ünd zet zeta and more after it") << true;
    QTest::newRow("long text, the word only split by a blank")
        << "zeta" << "x" << QString(40, u'a') + QStringLiteral(" ze ta zet and more after it") << false;
    QTest::newRow("stroke letters typed bare") << "lodz" << "x" << QStringLiteral("Łódź") << true;
    QTest::newRow("a different letter is no accent") << "resume" << "x" << QStringLiteral("résúmo") << false;
    QTest::newRow("phrase in order") << "\"march order\"" << "x" << QStringLiteral("the March order") << true;
    QTest::newRow("phrase words apart") << "\"march order\"" << "x" << QStringLiteral("March, the order") << false;
    QTest::newRow("phrase reversed") << "\"order march\"" << "x" << QStringLiteral("the March order") << false;
    QTest::newRow("phrase across blanks and a tab, far in") << "\"march order\"" << "x"
                                                             << QString(40, u'x') + QStringLiteral(" March \t order and more after it")
                                                             << true;
    QTest::newRow("phrase across a line break") << "\"march order\"" << "x" << QStringLiteral("March\r\norder") << true;
    QTest::newRow("phrase still being typed") << "\"march or" << "x" << QStringLiteral("the March order") << true;
    QTest::newRow("phrase missing, word there") << "\"order march\" friday" << "x" << invoice << false;
    QTest::newRow("phrase and a word, both there") << "\"march order\" friday" << "x"
                                                   << QStringLiteral("march order due friday") << true;
    QTest::newRow("phrase never spans alias and text") << "\"billing invoice\"" << "Billing" << invoice << false;
    QTest::newRow("empty text, word in alias") << "pic" << "Image: pic" << "" << true;
    QTest::newRow("beyond the first plane exactly") << QStringLiteral("\U0001F600") << "x"
                                                     << QStringLiteral("smile \U0001F600") << true;
}

void TestSearchQuery::matches()
{
    QFETCH(QString, typed);
    QFETCH(QString, alias);
    QFETCH(QString, text);
    QFETCH(bool, matches);
    QCOMPARE(SearchQuery(typed).matches(alias, text), matches);
}

void TestSearchQuery::fold_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("terms");
    QTest::newRow("nothing") << "" << QStringList();
    QTest::newRow("blanks only") << " \t " << QStringList();
    QTest::newRow("empty quotes") << "\"\"" << QStringList();
    QTest::newRow("words folded, longest first") << QStringLiteral("Ab RÉSUMÉ x") << QStringList{"resume", "ab", "x"};
    QTest::newRow("a word typed twice counts once") << "ab AB" << QStringList{"ab"};
    QTest::newRow("phrase keeps one blank") << "\"a   b\"" << QStringList{"a b"};
}

void TestSearchQuery::fold()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, terms);
    QCOMPARE(SearchQuery(typed).terms(), terms);
    QCOMPARE(SearchQuery(typed).isEmpty(), terms.isEmpty());
}

void TestSearchQuery::narrows_data()
{
    QTest::addColumn<QString>("earlier");
    QTest::addColumn<QString>("later");
    QTest::addColumn<bool>("narrows");
    QTest::newRow("a letter more") << "inv" << "invo" << true;
    QTest::newRow("a word more") << "invoice" << "invoice march" << true;
    QTest::newRow("a letter less") << "invo" << "inv" << false;
    QTest::newRow("a word changed") << "invoice" << "march" << false;
    QTest::newRow("from nothing") << "" << "a" << false;
    QTest::newRow("a phrase closed") << "\"march or" << "\"march order\"" << true;
    QTest::newRow("a word made a phrase's part") << "march order" << "\"march order\"" << true;
    QTest::newRow("a phrase broken into words") << "\"march order\"" << "march order" << false;
}

void TestSearchQuery::narrows()
{
    QFETCH(QString, earlier);
    QFETCH(QString, later);
    QFETCH(bool, narrows);
    QCOMPARE(SearchQuery(later).narrows(SearchQuery(earlier)), narrows);
}

void TestSearchQuery::categoryOrder_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("current");
    QTest::addColumn<QList<int>>("order");
    QTest::newRow("current first, then tree order") << 4 << 2 << QList<int>{2, 0, 1, 3};
    QTest::newRow("current is the first") << 3 << 0 << QList<int>{0, 1, 2};
    QTest::newRow("current is the last") << 3 << 2 << QList<int>{2, 0, 1};
    QTest::newRow("no current category") << 3 << -1 << QList<int>{0, 1, 2};
    QTest::newRow("no categories") << 0 << -1 << QList<int>{};
}

void TestSearchQuery::categoryOrder()
{
    QFETCH(int, count);
    QFETCH(int, current);
    QFETCH(QList<int>, order);
    QCOMPARE(SearchQuery::categoryOrder(count, current), order);
}

QTEST_GUILESS_MAIN(TestSearchQuery)
#include "tst_searchquery.moc"
