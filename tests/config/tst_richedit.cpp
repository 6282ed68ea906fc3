#include "richtext/richedit.h"
#include "richtext/rtfreader.h"
#include "store/createdstamp.h"

#include <QApplication>
#include <QFontDatabase>
#include <QSet>
#include <QTest>
#include <QTextBlock>

class TestRichEdit : public QObject
{
    Q_OBJECT
private slots:
    void resetKeepsCharactersDropsFormats();
    void loadThenGetSourceKeepsText();
    void showRichSourceHoldsTheSourceItself();
    void plainModeGivesBareText();
    void selectAllTakesEverything();
    void fontList();
    void stampFormat_data();
    void stampFormat();
    void resetControlSavesWithoutABackground();
};

void TestRichEdit::resetKeepsCharactersDropsFormats()
{
    RichEdit edit;
    loadRichText(&edit, QStringLiteral(R"({\rtf1{\colortbl;\red255\green0\blue0;}\pard\qc\li400\b\cf1\fs28 Red bold\par x})"));
    QVERIFY(!edit.plainTextMode());
    resetRichEdit(&edit);
    QVERIFY(edit.plainTextMode());
    QCOMPARE(edit.lineWrapMode(), QTextEdit::NoWrap);
    QCOMPARE(edit.toPlainText(), QStringLiteral("Red bold\nx"));
    QCOMPARE(edit.textCursor().position(), 0);
    QVERIFY(!edit.textCursor().hasSelection());
    for (QTextBlock b = edit.document()->begin(); b.isValid(); b = b.next()) {
        QCOMPARE(b.blockFormat().leftMargin(), 0.0);
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            QCOMPARE(f.fontWeight(), int(QFont::Normal));
            QCOMPARE(f.foreground().color(), QColor(Qt::black));
            QCOMPARE(f.fontFamilies().toStringList().value(0), QApplication::font().family());
        }
    }
}

void TestRichEdit::resetControlSavesWithoutABackground()
{
    RichEdit edit;
    resetRichEdit(&edit);
    edit.insertPlainText(QStringLiteral("typed after a reset"));
    const QString source = richSource(&edit);
    QVERIFY2(!source.contains(QLatin1String("\\highlight")), qPrintable(source));
    RichEdit again;
    loadRichText(&again, source);
    const QTextCharFormat f = again.document()->begin().begin().fragment().charFormat();
    QCOMPARE(f.background().style(), Qt::NoBrush);
}

void TestRichEdit::loadThenGetSourceKeepsText()
{
    RichEdit edit;
    loadRichText(&edit, QStringLiteral(R"({\rtf1\ansi Gr\'fc\'dfe {\b bold}\par second})"));
    const QString source = richSource(&edit);
    QVERIFY(source.startsWith(QLatin1String("{\\rtf1")));
    QCOMPARE(RtfReader::toPlainText(source), QStringLiteral("Grüße bold\r\nsecond"));
}

void TestRichEdit::showRichSourceHoldsTheSourceItself()
{
    RichEdit edit;
    const QString source = QStringLiteral(R"({\rtf1\ansi word})");
    showRichSource(&edit, source);
    QVERIFY(!edit.plainTextMode());
    QCOMPARE(edit.toPlainText(), source);
    // Streaming out wraps those characters in a new document.
    QCOMPARE(RtfReader::toPlainText(richSource(&edit)), source);
}

void TestRichEdit::plainModeGivesBareText()
{
    RichEdit edit;
    edit.setPlainText(QStringLiteral("one\ntwo"));
    QVERIFY(edit.plainTextMode());
    QCOMPARE(richSource(&edit), QStringLiteral("one\r\ntwo"));
}

void TestRichEdit::selectAllTakesEverything()
{
    RichEdit edit;
    edit.setPlainText(QStringLiteral("all of it"));
    QCOMPARE(selectAllText(&edit), QStringLiteral("all of it"));
    QCOMPARE(edit.textCursor().selectedText(), QStringLiteral("all of it"));
}

void TestRichEdit::fontList()
{
    QStringList list{QStringLiteral("kept")};
    fillFontList(list);
    QCOMPARE(list.first(), QStringLiteral("kept"));
    for (const QString &name : list)
        QVERIFY(name.size() <= 32);
    // One entry per family, named as a font is chosen: a family that several
    // foundries install ("C059 [urw]", "C059 [UKWN]") appears once, bare.
    const QStringList families = list.mid(1);
    QCOMPARE(QSet<QString>(families.begin(), families.end()).size(), families.size());
    for (const QString &installed : QFontDatabase::families()) {
        const qsizetype tag = installed.lastIndexOf(QLatin1String(" ["));
        if (tag <= 0 || !installed.endsWith(QLatin1Char(']')))
            continue;
        QVERIFY2(!families.contains(installed), qPrintable(installed));
        QVERIFY2(families.contains(installed.left(tag).left(32)), qPrintable(installed));
        QVERIFY(QFontDatabase::hasFamily(installed.left(tag)));
    }
}

void TestRichEdit::stampFormat_data()
{
    QTest::addColumn<QDateTime>("when");
    QTest::addColumn<QString>("stamp");
    QTest::newRow("afternoon") << QDateTime(QDate(2001, 2, 18), QTime(12, 33)) << "Sun, Feb 18, 2001, 12:33 PM";
    QTest::newRow("midnight") << QDateTime(QDate(2026, 12, 1), QTime(0, 5)) << "Tue, Dec 1, 2026, 12:05 AM";
    QTest::newRow("morning") << QDateTime(QDate(2024, 7, 4), QTime(9, 0)) << "Thu, Jul 4, 2024, 09:00 AM";
    QTest::newRow("evening") << QDateTime(QDate(2024, 7, 4), QTime(23, 59)) << "Thu, Jul 4, 2024, 11:59 PM";
}

void TestRichEdit::stampFormat()
{
    QFETCH(QDateTime, when);
    QFETCH(QString, stamp);
    QCOMPARE(createdStamp(when, QLocale(QLocale::English, QLocale::UnitedStates)), stamp);
}

QTEST_MAIN(TestRichEdit)
#include "tst_richedit.moc"
