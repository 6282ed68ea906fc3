#include "settings/hotkeykeys.h"
#include "popup/globalhotkeys.h"
#include "doubles/fakekeygrabber.h"

#include <QSignalSpy>
#include <QTest>

using namespace HotkeyKeys;

class TestHotkey : public QObject
{
    Q_OBJECT
private slots:
    void listEntriesMapToKeys_data();
    void listEntriesMapToKeys();
    void registersWhileActive();
    void failedRegistrationIsRecorded();
};

void TestHotkey::listEntriesMapToKeys_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<int>("virtualKey");
    QTest::addColumn<uint>("keysym");
    QTest::newRow("V") << "V" << 0x56 << 0x76u;
    QTest::newRow("Home before End in the list") << "Home" << 0x24 << 0xFF50u;
    QTest::newRow("End") << "End" << 0x23 << 0xFF57u;
    QTest::newRow("Num - skips 0x6C") << "Num -" << 0x6D << 0xFFADu;
    QTest::newRow("Num 0") << "Num 0" << 0x60 << 0xFFB0u;
    QTest::newRow("F24") << "F24" << 0x87 << 0xFFD5u;
    QTest::newRow("digit") << "7" << 0x37 << 0x37u;
    QTest::newRow("Scrolllock last") << "Scrolllock" << 0x91 << 0xFF14u;
    QTest::newRow("Backspace first") << "Backspace" << 0x08 << 0xFF08u;
}

void TestHotkey::listEntriesMapToKeys()
{
    QFETCH(QString, entry);
    QFETCH(int, virtualKey);
    QFETCH(uint, keysym);
    QCOMPARE(listEntries().size(), ListSize);
    QCOMPARE(listEntries().indexOf(QStringLiteral("V")), 49);
    const int keyIndex = keyIndexOf(int(listEntries().indexOf(entry)));
    QCOMPARE(HotkeyKeys::virtualKey(keyIndex), virtualKey);
    QCOMPARE(keysymOf(HotkeyKeys::virtualKey(keyIndex)), keysym);
    QCOMPARE(keyIndexOf(-1), 0);
    QCOMPARE(keyIndexOf(95), 0);
}

void TestHotkey::registersWhileActive()
{
    FakeKeyGrabber grabber;
    GlobalHotkeys shk(grabber);
    QSignalSpy fired(&shk, &GlobalHotkeys::pressed);
    const HotkeyRecord record = shk.addHotkey(GlobalHotkeys::Ctrl | GlobalHotkeys::Alt, std::uint8_t(keyIndexOf(66)));
    QVERIFY(record.registered);
    QCOMPARE(grabber.grabs.value(0).keysym, 0xFFADu);
    QCOMPARE(grabber.grabs.value(0).modifiers, std::uint8_t(KeyGrabber::Ctrl | KeyGrabber::Alt));
    QVERIFY(grabber.press(0xFFAD, KeyGrabber::Ctrl | KeyGrabber::Alt));
    QCOMPARE(fired.count(), 1);
    QCOMPARE(fired.first().first().toInt(), 0);

    shk.setActive(false);
    QVERIFY(grabber.grabs.isEmpty());
    QVERIFY(!shk.hotkeyAt(0).registered);
    QVERIFY(!grabber.press(0xFFAD, KeyGrabber::Ctrl | KeyGrabber::Alt));
    shk.setActive(true);
    QVERIFY(shk.hotkeyAt(0).registered);
    shk.clearHotkeys();
    QVERIFY(grabber.grabs.isEmpty());
    QCOMPARE(shk.hotkeyCount(), 0);
    QVERIFY(shk.isActive());
}

void TestHotkey::failedRegistrationIsRecorded()
{
    FakeKeyGrabber grabber;
    grabber.heldElsewhere.insert(FakeKeyGrabber::key(0x76, KeyGrabber::Ctrl));
    GlobalHotkeys shk(grabber);
    QVERIFY(!shk.addHotkey(GlobalHotkeys::Ctrl, std::uint8_t(keyIndexOf(49))).registered);
    QVERIFY(grabber.grabs.isEmpty());
}

QTEST_GUILESS_MAIN(TestHotkey)
#include "tst_hotkey.moc"
