#include "settings/enablingrules.h"
#include "settings/options.h"

#include <QTest>

Q_DECLARE_METATYPE(Option)

using Settings = QMap<Option, QVariant>;

class TestEnablingRules : public QObject
{
    Q_OBJECT
private slots:
    void controlsFollowOptions_data();
    void controlsFollowOptions();
    void everyRuleNamesOtherOptions();
};

void TestEnablingRules::controlsFollowOptions_data()
{
    QTest::addColumn<Settings>("set");
    QTest::addColumn<Option>("control");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("text capture off disables its destinations")
        << Settings{{Option::CaptureText, false}} << Option::TextToCurrentCategory << false;
    QTest::newRow("text capture on") << Settings{} << Option::TextToCurrentCategory << true;
    QTest::newRow("specific text category needs its option") << Settings{} << Option::TextCategory << false;
    QTest::newRow("specific text category chosen")
        << Settings{{Option::TextToChosenCategory, true}} << Option::TextCategory << true;
    QTest::newRow("chosen but capture off")
        << Settings{{Option::TextToChosenCategory, true}, {Option::CaptureText, false}} << Option::TextCategory << false;
    QTest::newRow("image capture off") << Settings{{Option::CaptureImages, false}} << Option::ImagesToCurrentCategory << false;
    QTest::newRow("specific image category")
        << Settings{{Option::ImagesToChosenCategory, true}} << Option::ImageCategory << true;
    QTest::newRow("sound off") << Settings{} << Option::CaptureSoundFile << false;
    QTest::newRow("sound on") << Settings{{Option::CaptureSound, true}} << Option::CaptureSoundFile << true;
    QTest::newRow("beep needs no file") << Settings{{Option::CaptureSound, true}} << Option::SoundFile << false;
    QTest::newRow("sound file")
        << Settings{{Option::CaptureSound, true}, {Option::CaptureSoundFile, true}} << Option::SoundFile << true;
    QTest::newRow("quick list off disables the hotkey") << Settings{{Option::QuickListActive, false}}
                                                        << Option::HotkeyKey << false;
    QTest::newRow("global method needs the global switch") << Settings{} << Option::GlobalPasteMethod << false;
    QTest::newRow("global method with both")
        << Settings{{Option::GlobalPaste, true}} << Option::GlobalPasteMethod << true;
    QTest::newRow("global method, quick list off")
        << Settings{{Option::GlobalPaste, true}, {Option::QuickListActive, false}} << Option::GlobalPasteMethod
        << false;
    QTest::newRow("hiding from the taskbar needs the tray") << Settings{{Option::MinimiseToTray, false}}
                                                           << Option::HideFromTaskbar << false;
    QTest::newRow("hiding from the taskbar with the tray") << Settings{{Option::MinimiseToTray, true}}
                                                          << Option::HideFromTaskbar << true;
    QTest::newRow("highlight kind needs the highlight") << Settings{{Option::MenuHighlight, false}}
                                                       << Option::MenuHighlightStyle << false;
    QTest::newRow("highlight kind with the highlight") << Settings{{Option::MenuHighlight, true}}
                                                      << Option::MenuHighlightStyle << true;
    QTest::newRow("an option without a rule is enabled") << Settings{} << Option::ListRows << true;
}

void TestEnablingRules::controlsFollowOptions()
{
    QFETCH(Settings, set);
    QFETCH(Option, control);
    QFETCH(bool, enabled);
    Options o;
    for (auto it = set.begin(); it != set.end(); ++it)
        o.set(it.key(), it.value());
    QCOMPARE(EnablingRules::enabled(control, o), enabled);
}

void TestEnablingRules::everyRuleNamesOtherOptions()
{
    // A control never waits for itself, and has one rule at most.
    QList<Option> seen;
    for (const EnablingRule &rule : EnablingRules::all()) {
        QVERIFY(!seen.contains(rule.control));
        seen << rule.control;
        for (const Option needed : rule.dependsOn)
            QVERIFY(needed != rule.control);
    }
}

QTEST_GUILESS_MAIN(TestEnablingRules)
#include "tst_enablingrules.moc"
