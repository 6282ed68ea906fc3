#include "capture/aliasderivation.h"

#include <QTest>

using namespace AliasDerivation;

class TestAliasDerivation : public QObject
{
    Q_OBJECT
private slots:
    void fromText_data();
    void fromText();
    void editor_data();
    void editor();
    void fixedForms();
};

void TestAliasDerivation::fromText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("alias");
    const QString letters150 = QString(150, QLatin1Char('a'));
    const QString letters99 = QString(99, QLatin1Char('b'));
    QTest::newRow("first line trimmed left, more follow") << "  Hello world\r\nsecond" << "Hello world...";
    QTest::newRow("first non-blank line is the last") << "\r\n   \r\nx" << "x";
    QTest::newRow("blank line follows") << "abc\r\n\r\n" << "abc...";
    QTest::newRow("three spaces") << "   " << "<3 spaces>";
    QTest::newRow("blanks with a line break count every character") << "  \r\n " << "<5 spaces>";
    QTest::newRow("trailing blanks stay") << "\r\n  x  " << "x  ";
    QTest::newRow("long single line") << letters150 << letters150.left(100);
    QTest::newRow("99 letters then a line") << letters99 + "\r\nmore" << letters99 + ".";
    QTest::newRow("lone line feeds split lines") << "one\ntwo" << "one...";
    QTest::newRow("tab is blank") << "\t\tindented" << "indented";
    QTest::newRow("cut never splits a character") << QString(99, QLatin1Char('c')) + QStringLiteral("\U0001F600\U0001F600")
                                                   << QString(99, QLatin1Char('c')) + QStringLiteral("\U0001F600");
}

void TestAliasDerivation::fromText()
{
    QFETCH(QString, text);
    QFETCH(QString, alias);
    QCOMPARE(AliasDerivation::fromText(text), alias);
}

void TestAliasDerivation::editor_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("plain");
    QTest::addColumn<QString>("alias");
    QTest::newRow("empty text is blank whatever was typed") << "" << "typed" << "" << "<blank>";
    QTest::newRow("typed alias kept with its blanks") << "text" << "  mine  " << "text" << "  mine  ";
    QTest::newRow("typed blanks are replaced") << "text\r\nmore" << "   " << "text\r\nmore" << "text...";
    QTest::newRow("typed alias cut to 100") << "t" << QString(120, QLatin1Char('z')) << "t" << QString(100, QLatin1Char('z'));
    QTest::newRow("rich text derives from its plain form") << R"({\rtf1 {\b Hi}})" << "" << "Hi" << "Hi";
}

void TestAliasDerivation::editor()
{
    QFETCH(QString, text);
    QFETCH(QString, typed);
    QFETCH(QString, plain);
    QFETCH(QString, alias);
    QCOMPARE(forEditor(text, typed, plain), alias);
}

void TestAliasDerivation::fixedForms()
{
    QCOMPARE(forImage(640, 480), QStringLiteral("Image: 640 x 480"));
    QCOMPARE(forQuickAdd(QString()), QStringLiteral("<blank>"));
    QCOMPARE(forQuickAdd(QString(130, QLatin1Char('q'))), QString(100, QLatin1Char('q')));
}

QTEST_APPLESS_MAIN(TestAliasDerivation)
#include "tst_aliasderivation.moc"
