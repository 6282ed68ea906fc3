#include "config/pageiconcolumn.h"

#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

namespace {

struct Column
{
    QWidget window;
    PageIconColumn *column = new PageIconColumn;
    QLineEdit *elsewhere = new QLineEdit;

    Column()
    {
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(column);
        layout->addWidget(elsewhere);
        elsewhere->setAccessibleName(QStringLiteral("elsewhere"));
        column->addIcon("LS", QIcon(), QStringLiteral("List Setup Options"));
        column->addIcon("PU", QIcon(), QStringLiteral("Pop-up List Options"));
        column->addIcon("CO", QIcon(), QStringLiteral("Clipboard Options"));
        column->setCurrent(0);
        window.show();
        QApplication::setActiveWindow(&window);
    }
};

} // namespace

class TestPageIconColumn : public QObject
{
    Q_OBJECT
private slots:
    void clickChoosesItsPage();
    void keysMoveAndChoose();
    void currentLooksBrightOnlyWhileTheColumnHasTheFocus();
};

void TestPageIconColumn::clickChoosesItsPage()
{
    Column c;
    QSignalSpy chosen(c.column, &PageIconColumn::pageChosen);
    QTest::mouseClick(c.column->icon(2), Qt::LeftButton);
    QTest::mouseClick(c.column->icon(0), Qt::LeftButton);  // the page already open: chosen again
    QCOMPARE(chosen.size(), 2);
    QCOMPARE(chosen[0].first().toInt(), 2);
    QCOMPARE(chosen[1].first().toInt(), 0);
    // Choosing is the window's business: the column shows what it is told.
    QCOMPARE(c.column->current(), 0);
    c.column->setCurrent(2);
    QVERIFY(c.column->icon(2)->isCurrent());
    QVERIFY(!c.column->icon(0)->isCurrent());
}

void TestPageIconColumn::keysMoveAndChoose()
{
    Column c;
    QSignalSpy chosen(c.column, &PageIconColumn::pageChosen);
    c.column->icon(0)->setFocus();
    QTest::keyClick(c.column->icon(0), Qt::Key_Down);
    QVERIFY(c.column->icon(1)->hasFocus());
    QTest::keyClick(c.column->icon(1), Qt::Key_Space);
    QTest::keyClick(c.column->icon(1), Qt::Key_Up);
    QVERIFY(c.column->icon(0)->hasFocus());
    QTest::keyClick(c.column->icon(0), Qt::Key_Up);  // stays at the top
    QVERIFY(c.column->icon(0)->hasFocus());
    QCOMPARE(chosen.size(), 1);
    QCOMPARE(chosen.first().first().toInt(), 1);
    QCOMPARE(c.column->icon(1)->accessibleName(), QStringLiteral("Pop-up List Options"));
    QCOMPARE(c.column->icon(1)->objectName(), QStringLiteral("PU"));
}

void TestPageIconColumn::currentLooksBrightOnlyWhileTheColumnHasTheFocus()
{
    Column c;
    const auto highlighted = [&c] {
        const QImage shot = c.column->icon(0)->grab().toImage();
        const QColor highlight = c.column->palette().color(QPalette::Highlight);
        for (int y = 0; y < shot.height(); ++y) {
            for (int x = 0; x < shot.width(); ++x) {
                if (shot.pixelColor(x, y) == highlight)
                    return true;
            }
        }
        return false;
    };
    c.column->icon(0)->setFocus();
    QVERIFY(highlighted());
    c.elsewhere->setFocus();
    QVERIFY(!highlighted());
}

QTEST_MAIN(TestPageIconColumn)
#include "tst_pageiconcolumn.moc"
