#include "capture/captureoptionrules.h"

#include <QTest>

using namespace CaptureOptionRules;

using Settings = QMap<Option, QVariant>;

class TestCaptureOptionRules : public QObject
{
    Q_OBJECT
private slots:
    void controlsFollowOptions_data();
    void controlsFollowOptions();
};

void TestCaptureOptionRules::controlsFollowOptions_data()
{
    QTest::addColumn<Settings>("set");
    QTest::addColumn<QString>("rule");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("text capture off disables its destinations")
        << Settings{{Option::CaptureText, false}} << "textDest" << false;
    QTest::newRow("text capture on") << Settings{} << "textDest" << true;
    QTest::newRow("specific text category needs its option") << Settings{} << "textCat" << false;
    QTest::newRow("specific text category chosen")
        << Settings{{Option::TextToChosenCategory, true}} << "textCat" << true;
    QTest::newRow("chosen but capture off")
        << Settings{{Option::TextToChosenCategory, true}, {Option::CaptureText, false}} << "textCat" << false;
    QTest::newRow("image capture off") << Settings{{Option::CaptureImages, false}} << "imageDest" << false;
    QTest::newRow("specific image category")
        << Settings{{Option::ImagesToChosenCategory, true}} << "imageCat" << true;
    QTest::newRow("sound off") << Settings{} << "soundChoices" << false;
    QTest::newRow("sound on") << Settings{{Option::CaptureSound, true}} << "soundChoices" << true;
    QTest::newRow("beep needs no file") << Settings{{Option::CaptureSound, true}} << "soundFile" << false;
    QTest::newRow("sound file")
        << Settings{{Option::CaptureSound, true}, {Option::CaptureSoundFile, true}} << "soundFile" << true;
}

void TestCaptureOptionRules::controlsFollowOptions()
{
    QFETCH(Settings, set);
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
