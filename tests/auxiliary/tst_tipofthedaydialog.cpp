#include "auxiliary/tipofthedaydialog.h"
#include "auxiliary/tips.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "../config/unnamedcontrols.h"

class TestTipOfTheDayDialog : public QObject
{
    Q_OBJECT
private slots:
    void nextTip_data();
    void nextTip();
    void showOnStartIsCopiedInAndOut();
    void tipsAreTheProgramsOwn();
};

void TestTipOfTheDayDialog::nextTip_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("shownFirst");
    QTest::addColumn<int>("afterNext");
    const int last = Tips::count() - 1;
    QTest::newRow("first") << 0 << 0 << 1;
    QTest::newRow("the last wraps to the first") << last << last << 0;
    QTest::newRow("out of range from the settings") << 99 << 0 << 1;
    QTest::newRow("negative") << -3 << 0 << 1;
}

void TestTipOfTheDayDialog::nextTip()
{
    QFETCH(int, start);
    QFETCH(int, shownFirst);
    QFETCH(int, afterNext);
    TipOfTheDayDialog dialog(start, true);
    dialog.show();
    auto *tip = dialog.findChild<QLabel *>(QStringLiteral("tlbl"));
    auto *trayPicture = dialog.findChild<QLabel *>(QStringLiteral("trayimg"));
    QCOMPARE(dialog.index(), shownFirst);
    QCOMPARE(tip->text(), Tips::text(shownFirst));
    QCOMPARE(trayPicture->isVisible(), shownFirst == 0);
    dialog.findChild<QPushButton *>(QStringLiteral("nexttipbtn"))->click();
    QCOMPARE(dialog.index(), afterNext);
    QCOMPARE(tip->text(), Tips::text(afterNext));
    QCOMPARE(trayPicture->isVisible(), afterNext == 0);
    QVERIFY(dialog.findChild<QPushButton *>(QStringLiteral("closebtn"))->hasFocus() || !dialog.isActiveWindow());
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Scrapkeeper: Tip Of The Day"));
    QCOMPARE(unnamedControls(&dialog), QStringList());
}

void TestTipOfTheDayDialog::showOnStartIsCopiedInAndOut()
{
    for (const bool on : {true, false}) {
        TipOfTheDayDialog dialog(0, on);
        auto *box = dialog.findChild<QCheckBox *>(QStringLiteral("showtipcb"));
        QCOMPARE(box->isChecked(), on);
        box->click();
        QCOMPARE(dialog.showOnStart(), !on);
    }
}

void TestTipOfTheDayDialog::tipsAreTheProgramsOwn()
{
    QCOMPARE(Tips::count(), 35);
    for (int i = 0; i < Tips::count(); ++i) {
        const QString tip = Tips::text(i);
        QVERIFY2(!tip.contains(QLatin1String("Windows")), qPrintable(tip));
        QVERIFY2(tip.size() < 400, qPrintable(tip));  // it fits the card
    }
}

QTEST_MAIN(TestTipOfTheDayDialog)
#include "tst_tipofthedaydialog.moc"
