#include "richtext/richedit.h"
#include "richtext/rtfreader.h"
#include "store/createdstamp.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
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
    void copyOffersRtfHtmlAndText_data();
    void copyOffersRtfHtmlAndText();
    void pastedHtmlIsReadWithoutOpeningWhatItNames();
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

void TestRichEdit::copyOffersRtfHtmlAndText_data()
{
    QTest::addColumn<bool>("rich");
    QTest::addColumn<QStringList>("formats");
    QTest::newRow("rich-text mode") << true << QStringList{"text/html", "text/plain", "text/rtf"};
    QTest::newRow("plain-text mode") << false << QStringList{"text/plain"};
}

void TestRichEdit::copyOffersRtfHtmlAndText()
{
    QFETCH(bool, rich);
    QFETCH(QStringList, formats);
    RichEdit edit;
    if (rich)
        loadRichText(&edit, QStringLiteral(R"({\rtf1 {\b Bold} words\par next})"));
    else
        edit.setPlainText(QStringLiteral("Bold words\nnext"));
    edit.selectAll();
    edit.copy();
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    QStringList offered = data->formats();
    offered.sort();
    QCOMPARE(offered, formats);
    QCOMPARE(data->text(), QStringLiteral("Bold words\nnext"));
    if (!rich)
        return;
    // RTF and HTML describe the same document, bold included.
    for (const QString &format : {QStringLiteral("text/rtf"), QStringLiteral("text/html")}) {
        QTextDocument doc;
        if (format == QLatin1String("text/rtf"))
            RtfReader::read(QString::fromLatin1(data->data(format)), &doc);
        else
            doc.setHtml(data->html());
        QCOMPARE(doc.toPlainText(), QStringLiteral("Bold words\nnext"));
        QVERIFY2(doc.begin().begin().fragment().charFormat().fontWeight() >= QFont::Bold, qPrintable(format));
    }
}

void TestRichEdit::pastedHtmlIsReadWithoutOpeningWhatItNames()
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("picture.png"));
    QVERIFY(mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
    const QString url = QUrl::fromLocalFile(fifo).toString();
    auto *copied = new QMimeData;
    copied->setHtml(QStringLiteral("<style>@import url(%1);</style><p style=\"background-image:url(%1)\">"
                                   "<b>Bold</b> <img src=\"%1\">pasted</p>").arg(url));
    copied->setText(QStringLiteral("Bold pasted"));
    QGuiApplication::clipboard()->setMimeData(copied);
    RichEdit edit;
    loadRichText(&edit, QStringLiteral(R"({\rtf1 x})"));
    edit.moveCursor(QTextCursor::End);
    // Qt's own reader would open the FIFO here and wait for ever.
    edit.paste();
    edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&edit));
    edit.repaint();
    QCOMPARE(edit.toPlainText(), QStringLiteral("xBold pasted"));
    QTextCursor bold(edit.document());
    bold.setPosition(2);
    QVERIFY(bold.charFormat().fontWeight() >= QFont::Bold);
    // No reader ever opened it: a writer finds nobody at the other end.
    QCOMPARE(::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK), -1);
    QCOMPARE(errno, ENXIO);
}

QTEST_MAIN(TestRichEdit)
#include "tst_richedit.moc"
