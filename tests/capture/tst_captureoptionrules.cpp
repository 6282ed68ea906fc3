#include "capture/captureoptionrules.h"

#include <QTest>

using namespace CaptureOptionRules;

class TestCaptureOptionRules : public QObject
{
    Q_OBJECT
private slots:
    void controlsFollowOptions_data();
    void controlsFollowOptions();
};

void TestCaptureOptionRules::controlsFollowOptions_data()
{
    QTest::addColumn<QVariantMap>("set");
    QTest::addColumn<QString>("rule");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("text capture off disables its destinations") << QVariantMap{{"auto", false}} << "textDest" << false;
    QTest::newRow("text capture on") << QVariantMap{} << "textDest" << true;
    QTest::newRow("specific text category needs its option") << QVariantMap{} << "textCat" << false;
    QTest::newRow("specific text category chosen") << QVariantMap{{"txtspec", true}} << "textCat" << true;
    QTest::newRow("chosen but capture off") << QVariantMap{{"txtspec", true}, {"auto", false}} << "textCat" << false;
    QTest::newRow("image capture off") << QVariantMap{{"autobmp", false}} << "imageDest" << false;
    QTest::newRow("specific image category") << QVariantMap{{"bmpspec", true}} << "imageCat" << true;
    QTest::newRow("sound off") << QVariantMap{} << "soundChoices" << false;
    QTest::newRow("sound on") << QVariantMap{{"playsound", true}} << "soundChoices" << true;
    QTest::newRow("beep needs no file") << QVariantMap{{"playsound", true}} << "soundFile" << false;
    QTest::newRow("sound file") << QVariantMap{{"playsound", true}, {"sound", true}} << "soundFile" << true;
}

void TestCaptureOptionRules::controlsFollowOptions()
{
    QFETCH(QVariantMap, set);
    QFETCH(QString, rule);
    QFETCH(bool, enabled);
    Options o;
    for (auto it = set.begin(); it != set.end(); ++it)
        o.set(it.key(), it.value());
    const QMap<QString, bool (*)(const Options &)> rules{
        {"textDest", textDestinationsEnabled}, {"textCat", textCategoryEnabled},
        {"imageDest", imageDestinationsEnabled}, {"imageCat", imageCategoryEnabled},
        {"soundChoices", soundChoicesEnabled}, {"soundFile", soundFileEnabled}};
    QCOMPARE(rules.value(rule)(o), enabled);
}

QTEST_GUILESS_MAIN(TestCaptureOptionRules)
#include "tst_captureoptionrules.moc"
