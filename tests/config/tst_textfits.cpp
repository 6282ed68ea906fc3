// Texts that the desktop's font made longer than the places the windows gave
// them: each must be shown whole, at the usual and at a large font.
#include "auxiliary/newversionwindow.h"
#include "auxiliary/tipofthedaydialog.h"
#include "auxiliary/versioncheckserver.h"
#include "config/dialogs/imageviewer.h"
#include "config/pageiconcolumn.h"
#include "config/pages/nodedetailspanel.h"
#include "doubles/fakeclipboard.h"
#include "doubles/fakedesktop.h"
#include "doubles/scriptedfiledialogs.h"
#include "doubles/scriptedmessageboxes.h"
#include "richtext/richedit.h"
#include "store/collection.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPainter>
#include <QStyleOptionButton>
#include <QTest>
#include <QTextBlock>

#include "testsupport.h"

namespace {

// The application's font at the given size for the life of a test row.
struct FontSize
{
    explicit FontSize(int points)
        : saved(QApplication::font())
    {
        QFont font = saved;
        font.setPointSize(points);
        QApplication::setFont(font);
    }
    ~FontSize() { QApplication::setFont(saved); }
    QFont saved;
};

void fontRows()
{
    QTest::addColumn<int>("points");
    QTest::newRow("usual font") << 9;
    QTest::newRow("large font") << 16;
}

QIcon iconOfSizes(const QList<int> &sides)
{
    QIcon icon;
    for (const int side : sides) {
        QPixmap pixmap(side, side);
        pixmap.fill(Qt::blue);
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace

class TestTextFits : public QObject
{
    Q_OBJECT
private slots:
    void categoryValuesLineUp_data();
    void categoryValuesLineUp();
    void labelsHoldTheirText_data() { fontRows(); }
    void labelsHoldTheirText();
    void recommendedStandsUnderTheCaption_data() { fontRows(); }
    void recommendedStandsUnderTheCaption();
    void pagePicturesAreOneSize_data();
    void pagePicturesAreOneSize();
};

void TestTextFits::categoryValuesLineUp_data()
{
    QTest::addColumn<int>("points");
    QTest::addColumn<int>("action");
    for (const int points : {9, 16}) {
        for (const int action : {0, 1, 5})
            QTest::addRow("%dpt, action %d", points, action) << points << action;
    }
}

void TestTextFits::categoryValuesLineUp()
{
    QFETCH(int, points);
    QFETCH(int, action);
    const FontSize font(points);
    CategoryNode category;
    category.name = QStringLiteral("Mail");
    category.rec.limit = 20;
    category.rec.lockAtLimit = true;
    category.rec.action = AfterPasteAction(action);
    category.rec.actionCount = 3;
    category.rec.extraText = QStringLiteral("signed");
    NodeDetailsPanel panel;
    panel.resize(600, 400);
    panel.show();
    panel.showNode(TreeNode{&category, nullptr});
    auto *memo = panel.findChild<RichEdit *>(QStringLiteral("pMemo"));
    QVERIFY(memo);

    // Every value starts in one column, clear of the longest label before it.
    int column = -1;
    int lines = 0;
    for (QTextBlock block = memo->document()->begin(); block.isValid(); block = block.next()) {
        const QString text = block.text();
        const qsizetype firstTab = text.indexOf(QLatin1Char('\t'));
        if (firstTab < 0)
            continue;
        qsizetype value = firstTab;
        while (value < text.size() && text.at(value) == QLatin1Char('\t'))
            ++value;
        QTextCursor labelEnd(block);
        labelEnd.setPosition(block.position() + int(firstTab));
        QTextCursor valueStart(block);
        valueStart.setPosition(block.position() + int(value));
        const int labelRight = memo->cursorRect(labelEnd).left();
        const int valueLeft = memo->cursorRect(valueStart).left();
        QVERIFY2(valueLeft > labelRight, qPrintable(text));
        if (column >= 0)
            QVERIFY2(valueLeft == column, qPrintable(text));
        column = valueLeft;
        ++lines;
    }
    QCOMPARE(lines, action > 0 ? 6 : 5);
}

void TestTextFits::labelsHoldTheirText()
{
    QFETCH(int, points);
    const FontSize font(points);

    FakeDesktop desktop;
    ScriptedMessageBoxes messages;
    VersionCheckServer server;
    server.host = QStringLiteral("127.0.0.1");
    server.homePage = QUrl(QStringLiteral("http://www.scrapkeeper.example/home/index.html"));
    NewVersionWindow update(server, messages, desktop);
    update.show();

    ScriptedFileDialogs files;
    FakeClipboard clipboard;
    Item picture;
    picture.alias = QStringLiteral("Image: 12 x 8");
    picture.created = QStringLiteral("Fri, Dec 11, 2026, 06:12 AM");
    QImage small(12, 8, QImage::Format_RGB32);
    small.fill(Qt::red);
    TestSupport::givePicture(picture, small);
    ImageViewer viewer(picture, clipboard, files);
    viewer.show();

    const QList<QLabel *> labels = {
        update.findChild<QLabel *>(QStringLiteral("url")),
        update.findChild<QLabel *>(QStringLiteral("Label1")),
        viewer.findChild<QLabel *>(QStringLiteral("details")),
    };
    for (QLabel *label : labels) {
        QVERIFY(label);
        QVERIFY2(label->isVisible(), qPrintable(label->objectName()));
        const int needed = label->fontMetrics().horizontalAdvance(label->text());
        QVERIFY2(label->contentsRect().width() >= needed,
                 qPrintable(QStringLiteral("%1: %2 < %3").arg(label->text()).arg(label->contentsRect().width()).arg(needed)));
        // Inside its window, not past its edge.
        const QRect inWindow(label->mapTo(label->window(), QPoint(0, 0)), label->size());
        QVERIFY2(label->window()->rect().contains(inWindow),
                 qPrintable(QStringLiteral("%1 at %2,%3 %4x%5 in %6x%7")
                                .arg(label->objectName())
                                .arg(inWindow.x())
                                .arg(inWindow.y())
                                .arg(inWindow.width())
                                .arg(inWindow.height())
                                .arg(label->window()->width())
                                .arg(label->window()->height())));
    }
    // Widened for the address, never narrowed below its usual size.
    QVERIFY(update.width() >= 349 && update.height() >= 204);
}

void TestTextFits::recommendedStandsUnderTheCaption()
{
    QFETCH(int, points);
    const FontSize font(points);
    TipOfTheDayDialog dialog(0, true);
    dialog.show();
    auto *box = dialog.findChild<QCheckBox *>(QStringLiteral("showtipcb"));
    auto *note = dialog.findChild<QLabel *>(QStringLiteral("recommendedlbl"));
    QVERIFY(box && note);
    QStyleOptionButton option;
    option.initFrom(box);
    const int captionLeft =
        box->mapTo(&dialog, box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box).topLeft()).x();
    const QRect noteText = note->contentsRect().translated(note->mapTo(&dialog, QPoint(0, 0)));
    QCOMPARE(noteText.left(), captionLeft);
    QVERIFY(noteText.width() >= note->fontMetrics().horizontalAdvance(note->text()));
    QVERIFY(noteText.top() >= box->mapTo(&dialog, QPoint(0, box->height())).y());
}

void TestTextFits::pagePicturesAreOneSize_data()
{
    QTest::addColumn<QList<int>>("offered");
    QTest::newRow("only smaller and larger") << QList<int>{24, 48};
    QTest::newRow("only smaller") << QList<int>{16};
    QTest::newRow("exactly") << QList<int>{32};
    QTest::newRow("only larger") << QList<int>{64, 128};
}

void TestTextFits::pagePicturesAreOneSize()
{
    QFETCH(QList<int>, offered);
    for (const qreal ratio : {1.0, 1.5}) {
        const QPixmap shown = PageIcon::picture(iconOfSizes(offered), 32, ratio, QIcon::Normal);
        QCOMPARE(shown.deviceIndependentSize(), QSizeF(32, 32));
    }
}

QTEST_MAIN(TestTextFits)
#include "tst_textfits.moc"
