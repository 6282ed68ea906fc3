#include "capture/capturesound.h"
#include "doubles/fakedesktop.h"
#include "platform/soundfile.h"
#include "settings/options.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

#include "testsupport.h"

using namespace TestSupport;

namespace {

// A one-sample PCM WAV file: the smallest file the desktop is asked to play.
QByteArray wav()
{
    QByteArray fmt("fmt ");
    fmt += QByteArray::fromHex("10000000" "0100" "0100" "401f0000" "803e0000" "0200" "1000");
    QByteArray data("data");
    data += QByteArray::fromHex("02000000" "0000");
    QByteArray body = QByteArray("WAVE") + fmt + data;
    QByteArray size(4, 0);
    qToLittleEndian<quint32>(quint32(body.size()), size.data());
    return QByteArray("RIFF") + size + body;
}

} // namespace

class TestCaptureSound : public QObject
{
    Q_OBJECT
private slots:
    void playsAsChosen_data();
    void playsAsChosen();
    void followsTheOptions();
    void refusesWhatIsNoSound_data();
    void refusesWhatIsNoSound();

private:
    QTemporaryDir m_dir;
};

void TestCaptureSound::playsAsChosen_data()
{
    QTest::addColumn<bool>("on");
    QTest::addColumn<bool>("beep");
    QTest::addColumn<bool>("fromFile");
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("beeps");
    QTest::addColumn<QStringList>("played");
    const QString ding = QStringLiteral("/sounds/ding.wav");
    QTest::newRow("off") << false << true << false << ding << 0 << QStringList();
    QTest::newRow("off, file chosen") << false << false << true << ding << 0 << QStringList();
    QTest::newRow("beep") << true << true << false << ding << 1 << QStringList();
    QTest::newRow("file") << true << false << true << ding << 0 << QStringList{ding};
    QTest::newRow("file played as entered")
        << true << false << true << QStringLiteral(" /a b.wav ") << 0 << QStringList{QStringLiteral(" /a b.wav ")};
    QTest::newRow("blank file") << true << false << true << QStringLiteral("  \t") << 0 << QStringList();
    QTest::newRow("empty file") << true << false << true << QString() << 0 << QStringList();
    QTest::newRow("neither chosen") << true << false << false << ding << 0 << QStringList();
}

void TestCaptureSound::playsAsChosen()
{
    QFETCH(bool, on);
    QFETCH(bool, beep);
    QFETCH(bool, fromFile);
    QFETCH(QString, file);
    QFETCH(int, beeps);
    QFETCH(QStringList, played);
    FakeDesktop desktop;
    CaptureSound{on, beep, fromFile, file}.play(desktop);
    QCOMPARE(desktop.beeps, beeps);
    QCOMPARE(desktop.sounds, played);
}

void TestCaptureSound::followsTheOptions()
{
    Options options;
    options.set(Option::CaptureSound, true);
    options.set(Option::CaptureSoundFile, true);
    options.set(Option::SoundFile, QStringLiteral("/sounds/ding.wav"));
    FakeDesktop desktop;
    CaptureSound::fromOptions(options).play(desktop);
    QCOMPARE(desktop.sounds, QStringList{QStringLiteral("/sounds/ding.wav")});
    options.set(Option::CaptureBeep, true);
    CaptureSound::fromOptions(options).play(desktop);
    QCOMPARE(desktop.beeps, 1);
    QCOMPARE(desktop.sounds.size(), 1);
}

void TestCaptureSound::refusesWhatIsNoSound_data()
{
    QVERIFY(m_dir.isValid());
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("playable");
    const QDir dir(m_dir.path());

    writeFile(dir.filePath(QStringLiteral("ding.wav")), wav());
    QTest::newRow("a WAV file") << dir.filePath(QStringLiteral("ding.wav")) << true;
    // The name does not matter, the contents do.
    writeFile(dir.filePath(QStringLiteral("ding.bin")), wav());
    QTest::newRow("a WAV file by another name") << dir.filePath(QStringLiteral("ding.bin")) << true;
    writeFile(dir.filePath(QStringLiteral("text.wav")), "just some text, long enough");
    QTest::newRow("not a WAV") << dir.filePath(QStringLiteral("text.wav")) << false;
    writeFile(dir.filePath(QStringLiteral("short.wav")), "RIFF");
    QTest::newRow("cut short") << dir.filePath(QStringLiteral("short.wav")) << false;
    writeFile(dir.filePath(QStringLiteral("empty.wav")), QByteArray());
    QTest::newRow("empty file") << dir.filePath(QStringLiteral("empty.wav")) << false;

    // Too large to load, though it begins as a WAV does (sparse: no disk used).
    const QString huge = dir.filePath(QStringLiteral("huge.wav"));
    writeFile(huge, wav());
    QVERIFY(QFile::resize(huge, SoundFile::kMaxBytes + 1));
    QTest::newRow("too large") << huge << false;
    const QString largest = dir.filePath(QStringLiteral("largest.wav"));
    writeFile(largest, wav());
    QVERIFY(QFile::resize(largest, SoundFile::kMaxBytes));
    QTest::newRow("as large as allowed") << largest << true;

    const QString fifo = dir.filePath(QStringLiteral("pipe.wav"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QTest::newRow("a pipe nobody writes") << fifo << false;
    QTest::newRow("a folder") << dir.path() << false;
    QTest::newRow("an endless device") << QStringLiteral("/dev/zero") << false;
    QTest::newRow("missing") << dir.filePath(QStringLiteral("gone.wav")) << false;
    QTest::newRow("empty path") << QString() << false;
    QTest::newRow("blank path") << QStringLiteral("   ") << false;
    QTest::newRow("a NUL inside") << dir.filePath(QStringLiteral("ding.wav")) + QChar(0) + QStringLiteral("x")
                                  << false;
    if (::geteuid() != 0) {
        const QString locked = dir.filePath(QStringLiteral("locked.wav"));
        writeFile(locked, wav());
        QVERIFY(QFile::setPermissions(locked, QFileDevice::WriteOwner));
        QTest::newRow("unreadable") << locked << false;
    }
}

void TestCaptureSound::refusesWhatIsNoSound()
{
    QFETCH(QString, path);
    QFETCH(bool, playable);
    QCOMPARE(SoundFile::playable(path), playable);
}

QTEST_GUILESS_MAIN(TestCaptureSound)
#include "tst_capturesound.moc"
