#include "common/programerror.h"
#include "config/dialogs/formatbar.h"
#include "config/dialogs/printwindow.h"
#include "doubles/scriptedmessageboxes.h"
#include "richtext/richedit.h"
#include "store/item.h"

#include <QAbstractTextDocumentLayout>
#include <QAccessible>
#include <QCheckBox>
#include <QFileInfo>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QToolButton>

#include "unnamedcontrols.h"

namespace {

const QString kRich = QStringLiteral(R"({\rtf1{\fonttbl{\f0 Serif;}}\f0\fs24 plain {\b bold} end\par second line\par})");

Item itemOf(ItemKind kind, const QString &text)
{
    Item item;
    item.kind = kind;
    item.alias = QStringLiteral("alias");
    item.text = text;
    item.created = QStringLiteral("Sun, Feb 18, 2001, 12:33 PM");
    return item;
}

// The text of a PDF as poppler reads it, or a null string without the tool.
QString pdfText(const QString &path)
{
    QProcess tool;
    tool.start(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
    if (!tool.waitForFinished() || tool.exitCode() != 0)
        return {};
    return QString::fromUtf8(tool.readAllStandardOutput());
}

int pdfPages(const QString &path)
{
    QProcess tool;
    tool.start(QStringLiteral("pdfinfo"), {path});
    if (!tool.waitForFinished())
        return -1;
    for (const QString &line : QString::fromUtf8(tool.readAllStandardOutput()).split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("Pages:")))
            return line.mid(6).trimmed().toInt();
    }
    return -1;
}

void toPdf(QPrinter &printer, const QString &path)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
}

int visualLines(const RichEdit *edit)
{
    int lines = 0;
    for (QTextBlock block = edit->document()->begin(); block.isValid(); block = block.next())
        lines += block.layout()->lineCount();
    return lines;
}

} // namespace

class TestPrintWindow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void opensTheItemInItsMode_data();
    void opensTheItemInItsMode();
    void printsTheWholeText_data();
    void printsTheWholeText();
    void printButtonAsksForThePrinter();
    void cancelledPrintDialogPrintsNothing();
    void failedPrinterIsReportedAndTheWindowStays();
    void formattingLeavesTheItemAlone();
    void styleKeysPressTheBarsButtons_data();
    void styleKeysPressTheBarsButtons();
    void wordWrapFollowsTheBox();
    void looksAsDesigned();

private:
    bool m_havePdfText = false;
};

void TestPrintWindow::initTestCase()
{
    m_havePdfText = !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()
                    && !QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty();
}

void TestPrintWindow::opensTheItemInItsMode_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("plainMode");
    QTest::addColumn<QString>("shown");
    QTest::newRow("plain") << int(ItemKind::PlainText) << QStringLiteral("{\\b not rtf}\nline 2") << true
                           << QStringLiteral("{\\b not rtf}\nline 2");
    QTest::newRow("rich") << int(ItemKind::RichText) << kRich << false << QStringLiteral("plain bold end\nsecond line\n");
}

void TestPrintWindow::opensTheItemInItsMode()
{
    QFETCH(int, kind);
    QFETCH(QString, text);
    QFETCH(bool, plainMode);
    QFETCH(QString, shown);
    ScriptedMessageBoxes boxes;
    PrintWindow window(itemOf(ItemKind(kind), text), boxes);
    window.show();
    QCOMPARE(window.textEdit()->plainTextMode(), plainMode);
    QCOMPARE(window.textEdit()->toPlainText(), shown);
    QCOMPARE(window.focusWidget(), window.textEdit());
    if (!plainMode) {
        QTextCursor cursor(window.textEdit()->document());
        cursor.setPosition(8);  // inside "bold"
        QCOMPARE(cursor.charFormat().fontWeight(), int(QFont::Bold));
    }
}

void TestPrintWindow::printsTheWholeText_data()
{
    QTest::addColumn<int>("lines");
    QTest::newRow("one page") << 3;
    QTest::newRow("several pages") << 300;
}

void TestPrintWindow::printsTheWholeText()
{
    QFETCH(int, lines);
    if (!m_havePdfText)
        QSKIP("pdftotext and pdfinfo (poppler-utils) are needed to read the printout");
    QStringList text;
    for (int i = 1; i <= lines; ++i)
        text << QStringLiteral("line number %1").arg(i);
    ScriptedMessageBoxes boxes;
    PrintWindow window(itemOf(ItemKind::PlainText, text.join(QLatin1Char('\n'))), boxes);
    window.show();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    toPdf(printer, path);
    window.print(printer);
    const QString printed = pdfText(path);
    for (const QString &line : text)
        QVERIFY2(printed.contains(line + QLatin1Char('\n')), qPrintable(line));
    // Each line once: no line printed at the foot of one page and the head of the next.
    QCOMPARE(printed.count(QStringLiteral("line number")), lines);
    if (lines > 100)
        QVERIFY(pdfPages(path) > 1);
    else
        QCOMPARE(pdfPages(path), 1);
    QVERIFY(boxes.shown().isEmpty());
}

void TestPrintWindow::printButtonAsksForThePrinter()
{
    ScriptedMessageBoxes boxes;
    PrintWindow window(itemOf(ItemKind::RichText, kRich), boxes);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("button.pdf"));
    QList<QWidget *> askedOver;
    window.setPrinterChooser([&](QPrinter &printer, QWidget *parent) {
        askedOver << parent;
        toPdf(printer, path);
        return true;
    });
    window.show();
    window.findChild<QPushButton *>(QStringLiteral("btnPrint"))->click();
    QCOMPARE(askedOver, QList<QWidget *>{&window});
    QVERIFY(QFileInfo(path).size() > 0);
    QVERIFY(window.isVisible());
    QVERIFY(boxes.shown().isEmpty());
    if (m_havePdfText)
        QVERIFY(pdfText(path).contains(QLatin1String("plain bold end")));
}

void TestPrintWindow::cancelledPrintDialogPrintsNothing()
{
    ScriptedMessageBoxes boxes;
    PrintWindow window(itemOf(ItemKind::PlainText, QStringLiteral("text")), boxes);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("never.pdf"));
    window.setPrinterChooser([&](QPrinter &printer, QWidget *) {
        toPdf(printer, path);
        return false;
    });
    window.show();
    window.findChild<QPushButton *>(QStringLiteral("btnPrint"))->click();
    QVERIFY(!QFileInfo::exists(path));
    QVERIFY(boxes.shown().isEmpty());
}

void TestPrintWindow::failedPrinterIsReportedAndTheWindowStays()
{
    ScriptedMessageBoxes boxes;
    PrintWindow window(itemOf(ItemKind::PlainText, QStringLiteral("text")), boxes);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("no such folder/out.pdf"));
    window.setPrinterChooser([&](QPrinter &printer, QWidget *) {
        toPdf(printer, path);
        return true;
    });
    window.show();
    window.findChild<QPushButton *>(QStringLiteral("btnPrint"))->click();
    QCOMPARE(boxes.shown().size(), 1);
    QCOMPARE(boxes.shown().first().icon, MessageBoxService::Icon::Error);
    QVERIFY2(boxes.shown().first().text.contains(path), qPrintable(boxes.shown().first().text));
    QVERIFY(window.isVisible());

    // Straight to print(), the failure is thrown for the program's error handler.
    QPrinter printer;
    toPdf(printer, path);
    QVERIFY_THROWS_EXCEPTION(ProgramError, window.print(printer));
}

void TestPrintWindow::formattingLeavesTheItemAlone()
{
    ScriptedMessageBoxes boxes;
    const Item item = itemOf(ItemKind::RichText, kRich);
    const Item before = item;
    {
        PrintWindow window(item, boxes);
        window.show();
        window.textEdit()->selectAll();
        QTest::mouseClick(window.formatBar()->underlineButton(), Qt::LeftButton);
        QTemporaryDir dir;
        QPrinter printer;
        toPdf(printer, dir.filePath(QStringLiteral("x.pdf")));
        window.print(printer);
        window.findChild<QPushButton *>(QStringLiteral("btnClose"))->click();
        QVERIFY(!window.isVisible());
    }
    QCOMPARE(item.text, before.text);
    QCOMPARE(item.kind, before.kind);
    PrintWindow again(item, boxes);
    QTextCursor cursor(again.textEdit()->document());
    cursor.setPosition(2);
    QVERIFY(!cursor.charFormat().fontUnderline());
}

void TestPrintWindow::styleKeysPressTheBarsButtons_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("button");
    QTest::newRow("plain Ctrl+B") << int(ItemKind::PlainText) << int(Qt::Key_B) << QStringLiteral("sbbold");
    QTest::newRow("plain Ctrl+I") << int(ItemKind::PlainText) << int(Qt::Key_I) << QStringLiteral("sbital");
    QTest::newRow("rich Ctrl+U") << int(ItemKind::RichText) << int(Qt::Key_U) << QStringLiteral("sbunder");
}

void TestPrintWindow::styleKeysPressTheBarsButtons()
{
    QFETCH(int, kind);
    QFETCH(int, key);
    QFETCH(QString, button);
    ScriptedMessageBoxes boxes;
    PrintWindow window(itemOf(ItemKind(kind), kind == int(ItemKind::RichText) ? kRich : QStringLiteral("plain words")),
                       boxes);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    RichEdit *edit = window.textEdit();
    edit->setFocus();
    QTextCursor cursor(edit->document());
    cursor.setPosition(0);
    cursor.setPosition(5, QTextCursor::KeepAnchor);  // "plain"
    edit->setTextCursor(cursor);
    auto *pressed = window.formatBar()->findChild<QToolButton *>(button);
    QVERIFY(!pressed->isChecked());

    QTest::keyClick(edit, Qt::Key(key), Qt::ControlModifier);
    QVERIFY(pressed->isChecked());
    QTextCursor inside(edit->document());
    inside.setPosition(2);
    const QTextCharFormat format = inside.charFormat();
    QVERIFY(format.fontWeight() >= QFont::Bold || format.fontItalic() || format.fontUnderline());
    inside.setPosition(edit->toPlainText().lastIndexOf(QLatin1Char(' ')) + 2);  // the last word, left alone
    const QTextCharFormat after = inside.charFormat();
    QVERIFY(after.fontWeight() < QFont::Bold && !after.fontItalic() && !after.fontUnderline());

    QTest::keyClick(edit, Qt::Key(key), Qt::ControlModifier);
    QVERIFY(!pressed->isChecked());
}

void TestPrintWindow::wordWrapFollowsTheBox()
{
    ScriptedMessageBoxes boxes;
    PrintWindow window(itemOf(ItemKind::PlainText, QStringLiteral("word ").repeated(60)), boxes);
    window.show();
    auto *wrap = window.findChild<QCheckBox *>(QStringLiteral("cbww"));
    QVERIFY(!wrap->isChecked());
    QCOMPARE(window.textEdit()->lineWrapMode(), QTextEdit::NoWrap);
    QCOMPARE(visualLines(window.textEdit()), 1);
    wrap->click();
    QCOMPARE(window.textEdit()->lineWrapMode(), QTextEdit::WidgetWidth);
    window.textEdit()->document()->documentLayout()->documentSize();  // lays the text out
    QVERIFY(visualLines(window.textEdit()) > 1);
    wrap->click();
    QCOMPARE(window.textEdit()->lineWrapMode(), QTextEdit::NoWrap);
    QCOMPARE(visualLines(window.textEdit()), 1);
}

void TestPrintWindow::looksAsDesigned()
{
    ScriptedMessageBoxes boxes;
    PrintWindow window(itemOf(ItemKind::PlainText, QStringLiteral("text")), boxes);
    window.show();
    QCOMPARE(window.windowTitle(), QStringLiteral("Print Selected Item"));
    QCOMPARE(window.size(), QSize(332, 297));
    for (const char *name : {"comboFont", "seSize", "sbbold", "sbital", "sbunder", "comboColor", "btnPrint", "btnClose"})
        QVERIFY2(window.rect().contains(window.findChild<QWidget *>(QLatin1String(name))->geometry()), name);
    QCOMPARE(window.findChild<QCheckBox *>(QStringLiteral("cbww"))->text(), QStringLiteral("Word wrap"));
    QCOMPARE(window.findChild<QPushButton *>(QStringLiteral("btnPrint"))->text(), QStringLiteral("&Print"));
    QCOMPARE(window.findChild<QPushButton *>(QStringLiteral("btnClose"))->text(), QStringLiteral("&Close"));
    for (const char *name : {"comboFont", "seSize", "sbbold", "sbital", "sbunder", "comboColor", "pRE"})
        QVERIFY2(window.findChild<QWidget *>(QLatin1String(name)), name);
    QCOMPARE(unnamedControls(&window).join(", "), QString());
}

QTEST_MAIN(TestPrintWindow)
#include "tst_printwindow.moc"

