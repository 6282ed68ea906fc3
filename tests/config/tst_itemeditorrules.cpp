#include "config/dialogs/itemeditorrules.h"
#include "store/item.h"

#include <QTest>

class TestItemEditorRules : public QObject
{
    Q_OBJECT
private slots:
    void counts_data();
    void counts();
    void aliasFollowsText_data();
    void aliasFollowsText();
    void completeRecord_data();
    void completeRecord();
};

void TestItemEditorRules::counts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("words");
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("characters");
    QTest::newRow("two letters, an empty line, one letter") << QStringLiteral("a  b\n\nc") << 4 << 3 << 9;
    QTest::newRow("empty text") << QString() << 0 << 0 << 0;
    QTest::newRow("one word") << QStringLiteral("word") << 1 << 1 << 4;
    QTest::newRow("blanks at the ends are no words") << QStringLiteral("  one two  ") << 2 << 1 << 11;
    QTest::newRow("a tab is no word gap") << QStringLiteral("one\ttwo") << 1 << 1 << 7;
    QTest::newRow("final line break opens no line") << QStringLiteral("one two\n") << 2 << 1 << 9;
    QTest::newRow("CR LF counts as one break of two") << QStringLiteral("a b\r\nc") << 3 << 2 << 6;
    QTest::newRow("only blanks") << QStringLiteral("   ") << 1 << 1 << 3;
}

void TestItemEditorRules::counts()
{
    QFETCH(QString, text);
    QFETCH(int, words);
    QFETCH(int, lines);
    QFETCH(int, characters);
    QCOMPARE(ItemEditorRules::wordCount(text), words);
    QCOMPARE(ItemEditorRules::lineCount(text), lines);
    QCOMPARE(ItemEditorRules::characterCount(text), characters);
}

void TestItemEditorRules::aliasFollowsText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("alias");
    QTest::addColumn<bool>("follows");
    QTest::newRow("new item") << QString() << QString() << true;
    QTest::newRow("equal one line") << QStringLiteral("abc") << QStringLiteral("abc") << true;
    QTest::newRow("alias changed by hand") << QStringLiteral("abc") << QStringLiteral("ab") << false;
    QTest::newRow("second line") << QStringLiteral("abc\nd") << QStringLiteral("abc\nd") << false;
    QTest::newRow("99 characters") << QString(99, u'x') << QString(99, u'x') << true;
    QTest::newRow("100 characters stop it") << QString(100, u'x') << QString(100, u'x') << false;
}

void TestItemEditorRules::aliasFollowsText()
{
    QFETCH(QString, text);
    QFETCH(QString, alias);
    QFETCH(bool, follows);
    QCOMPARE(ItemEditorRules::aliasFollowsText(text, alias), follows);
}

void TestItemEditorRules::completeRecord_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("plain");
    QTest::addColumn<QString>("typedAlias");
    QTest::addColumn<int>("action");
    QTest::addColumn<QString>("extraText");
    QTest::addColumn<QString>("alias");
    QTest::addColumn<int>("finalAction");
    QTest::newRow("empty text ignores a typed alias")
        << QString() << QString() << QStringLiteral("typed") << 0 << QString() << QStringLiteral("<blank>") << 0;
    QTest::newRow("typed alias kept") << QStringLiteral("text") << QStringLiteral("text") << QStringLiteral("mine") << 1
                                      << QString() << QStringLiteral("mine") << 1;
    QTest::newRow("blank alias derived from the text")
        << QStringLiteral("  first\nsecond") << QStringLiteral("  first\nsecond") << QStringLiteral("   ") << 0
        << QString() << QStringLiteral("first...") << 0;
    QTest::newRow("rich text alias from its plain form")
        << QStringLiteral(R"({\rtf1 {\b Bold} word})") << QStringLiteral("Bold word") << QString() << 0 << QString()
        << QStringLiteral("Bold word") << 0;
    QTest::newRow("extra text without text falls back to none")
        << QStringLiteral("x") << QStringLiteral("x") << QString() << 5 << QString() << QStringLiteral("x") << 0;
    QTest::newRow("extra text with text stays")
        << QStringLiteral("x") << QStringLiteral("x") << QString() << 5 << QStringLiteral("!") << QStringLiteral("x") << 5;
}

void TestItemEditorRules::completeRecord()
{
    QFETCH(QString, text);
    QFETCH(QString, plain);
    QFETCH(QString, typedAlias);
    QFETCH(int, action);
    QFETCH(QString, extraText);
    QFETCH(QString, alias);
    QFETCH(int, finalAction);
    Item item;
    item.text = text;
    item.action = AfterPasteAction(action);
    item.extraText = extraText;
    ItemEditorRules::completeRecord(item, typedAlias, plain);
    QCOMPARE(item.alias, alias);
    QCOMPARE(int(item.action), finalAction);
    QCOMPARE(item.text, text);
}

QTEST_APPLESS_MAIN(TestItemEditorRules)
#include "tst_itemeditorrules.moc"
