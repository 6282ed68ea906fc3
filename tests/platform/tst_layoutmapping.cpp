#include "platform/wayland/layoutmapping.h"

#include <QTest>

// Between the compositor's coordinates and Qt's, where Qt scales by a factor
// of its own: a caret the compositor reports lands where Qt draws it, and a
// window Qt places lands where the compositor puts it.
class TestLayoutMapping : public QObject
{
    Q_OBJECT
private slots:
    void mapsBothWays_data();
    void mapsBothWays();
    void sizesScaleWithTheOutputTheyStandOn();
};

void TestLayoutMapping::mapsBothWays_data()
{
    QTest::addColumn<QList<LayoutMapping::Output>>("outputs");
    QTest::addColumn<QPoint>("layout");
    QTest::addColumn<QPoint>("qt");
    const LayoutMapping::Output plain{QStringLiteral("A"), QRect(0, 0, 1280, 1024), 1};
    const LayoutMapping::Output scaled{QStringLiteral("A"), QRect(0, 0, 1280, 1024), 1.5};
    // A second output right of the first, at Qt's factor 2: its corner stays put.
    const LayoutMapping::Output right{QStringLiteral("B"), QRect(1280, 0, 1920, 1080), 2};
    QTest::newRow("no factor") << QList{plain} << QPoint(111, 83) << QPoint(111, 83);
    QTest::newRow("factor 1.5") << QList{scaled} << QPoint(111, 90) << QPoint(74, 60);
    QTest::newRow("second output, from its corner") << QList{scaled, right} << QPoint(1480, 100) << QPoint(1380, 50);
    QTest::newRow("first of two outputs") << QList{scaled, right} << QPoint(300, 300) << QPoint(200, 200);
    QTest::newRow("no output known: one to one") << QList<LayoutMapping::Output>{} << QPoint(500, 40) << QPoint(500, 40);
    QTest::newRow("a nonsense factor is left out") << QList{LayoutMapping::Output{QStringLiteral("A"), QRect(0, 0, 1280, 1024), 0}}
                                                    << QPoint(500, 40) << QPoint(500, 40);
}

void TestLayoutMapping::mapsBothWays()
{
    QFETCH(QList<LayoutMapping::Output>, outputs);
    QFETCH(QPoint, layout);
    QFETCH(QPoint, qt);
    const LayoutMapping mapping(outputs);
    QCOMPARE(mapping.toQt(layout), qt);
    QCOMPARE(mapping.toLayout(qt), layout);
}

void TestLayoutMapping::sizesScaleWithTheOutputTheyStandOn()
{
    const LayoutMapping mapping({{QStringLiteral("A"), QRect(0, 0, 1280, 1024), 1.5},
                                 {QStringLiteral("B"), QRect(1280, 0, 1920, 1080), 2}});
    // The preview asks for 229 by 128 of Qt's pixels.
    QCOMPARE(mapping.sizeToLayout(QSize(229, 128), QPoint(200, 60)), QSize(344, 192));
    QCOMPARE(mapping.sizeToLayout(QSize(229, 128), QPoint(1400, 60)), QSize(458, 256));
    // A caret just past the last output still belongs to it.
    QCOMPARE(mapping.toQt(QPoint(1280 + 1920 + 10, 50)), QPoint(1280 + 965, 25));
}

QTEST_GUILESS_MAIN(TestLayoutMapping)
#include "tst_layoutmapping.moc"
