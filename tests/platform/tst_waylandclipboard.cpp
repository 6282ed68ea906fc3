// The clipboard of a Wayland session through the clipboard-manager protocol,
// against a real compositor (tools/with-wayland) and the wl-clipboard tools:
// a copy made elsewhere is announced with its flavours read, a source that
// never answers costs a bounded wait and nothing after it is lost, a flavour
// past the bound is cut off one byte past it, our own selection is readable
// by other programs and is not announced again when it comes back, and a
// flood of copies ends with the newest one.
#include "capture/clipboardmonitor.h"
#include "capture/itemclipboard.h"
#include "platform/wayland/datacontrol.h"
#include "platform/wayland/waylandclipboard.h"
#include "settings/options.h"
#include "store/collection.h"
#include "store/item.h"

#include <QGuiApplication>
#include <QMimeData>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

namespace {

constexpr int kPatienceMs = 15000;

// Starts wl-copy with these arguments and input; wl-copy serves in the background.
void wlCopy(const QStringList &arguments, const QByteArray &input)
{
    QProcess copy;
    copy.start(QStringLiteral("wl-copy"), arguments);
    QVERIFY(copy.waitForStarted());
    copy.write(input);
    copy.closeWriteChannel();
    QVERIFY(copy.waitForFinished(10000));
}

QByteArray wlPaste(const QString &type)
{
    QProcess paste;
    paste.start(QStringLiteral("wl-paste"), {QStringLiteral("--no-newline"), QStringLiteral("--type"), type});
    if (!paste.waitForFinished(10000))
        return "(wl-paste hung)";
    return paste.readAllStandardOutput();
}

// Waits until the clipboard announces a change whose plain text is `text`.
bool announced(WaylandClipboard &clipboard, QSignalSpy &spy, const QByteArray &text)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < kPatienceMs) {
        if (!spy.isEmpty() && clipboard.data(QStringLiteral("text/plain")) == text)
            return true;
        spy.clear();
        spy.wait(500);
    }
    return false;
}

// Lets what earlier copies set going run out: returns once the clipboard
// has announced nothing for a while.
void settle(WaylandClipboard &clipboard)
{
    QSignalSpy spy(&clipboard, &Clipboard::changed);
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < kPatienceMs && spy.wait(700))
        ;
}

} // namespace

class TestWaylandClipboard : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") || QStandardPaths::findExecutable("wl-copy").isEmpty())
            QSKIP("needs a Wayland session with wl-clipboard (tools/with-wayland)");
        m_clipboard = std::make_unique<WaylandClipboard>();
        QVERIFY2(m_clipboard->start(), "the compositor offers no clipboard-manager protocol");
    }

    void copyElsewhereIsAnnouncedWithItsFlavours()
    {
        QSignalSpy spy(m_clipboard.get(), &Clipboard::changed);
        wlCopy({QStringLiteral("--type"), QStringLiteral("text/plain")}, "copied elsewhere");
        QVERIFY(announced(*m_clipboard, spy, "copied elsewhere"));
        QVERIFY(m_clipboard->formats().contains(QStringLiteral("text/plain")));
    }

    void sourceThatNeverSendsCostsABoundedWait()
    {
        QSignalSpy spy(m_clipboard.get(), &Clipboard::changed);
        QProcess silent;
        silent.start(QStringLiteral(SK_WL_SILENT_OWNER), {QStringLiteral("30")});
        QVERIFY(silent.waitForStarted());
        QTest::qWait(300);
        // The next copy, made while the silent one is being read, is the one kept.
        wlCopy({QStringLiteral("--type"), QStringLiteral("text/plain")}, "after the silent one");
        QVERIFY(announced(*m_clipboard, spy, "after the silent one"));
        silent.kill();
        silent.waitForFinished();
    }

    void flavourPastTheBoundIsCutOff()
    {
        QSignalSpy spy(m_clipboard.get(), &Clipboard::changed);
        const QByteArray huge(DataControl::kMaxFlavourBytes + 4 * 1024 * 1024, 'x');
        wlCopy({QStringLiteral("--type"), QStringLiteral("text/plain")}, huge);
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < kPatienceMs
               && m_clipboard->data(QStringLiteral("text/plain")).size() <= DataControl::kMaxFlavourBytes)
            spy.wait(500);
        // Past the bound by a little, never read whole: enough for capture to refuse it.
        QVERIFY(m_clipboard->data(QStringLiteral("text/plain")).size() > DataControl::kMaxFlavourBytes);
        QVERIFY(m_clipboard->data(QStringLiteral("text/plain")).size() < huge.size());
    }

    void ownSelectionIsServedAndNotAnnouncedAgain()
    {
        settle(*m_clipboard);
        QSignalSpy spy(m_clipboard.get(), &Clipboard::changed);
        auto *data = new QMimeData;
        data->setText(QStringLiteral("ours: Ünïcödé ✓ 日本"));
        data->setData(QStringLiteral("text/rtf"), QByteArray("{\\rtf1 ours}"));
        m_clipboard->setMimeData(data);
        // Announced at once, as on X11, for the writer's disarmed capture.
        QCOMPARE(spy.count(), 1);
        QCOMPARE(m_clipboard->data(QStringLiteral("text/plain")), QStringLiteral("ours: Ünïcödé ✓ 日本").toUtf8());
        QCOMPARE(wlPaste(QStringLiteral("text/plain;charset=utf-8")), QStringLiteral("ours: Ünïcödé ✓ 日本").toUtf8());
        QCOMPARE(wlPaste(QStringLiteral("text/rtf")), QByteArray("{\\rtf1 ours}"));
        // The compositor hands our own selection back: it is not news.
        QTest::qWait(1000);
        QCOMPARE(spy.count(), 1);
    }

    void floodEndsWithTheNewest()
    {
        QSignalSpy spy(m_clipboard.get(), &Clipboard::changed);
        for (int n = 1; n <= 30; ++n)
            wlCopy({QStringLiteral("--type"), QStringLiteral("text/plain")}, "flood " + QByteArray::number(n));
        QVERIFY(announced(*m_clipboard, spy, "flood 30"));
    }

    // The program's clipboard as a whole, with no window of ours focused: a
    // copy elsewhere becomes an item, and "Copy Item" puts an item where
    // other programs read it, without it coming back as a new item.
    void copyItemUnfocusedIsReadElsewhereAndNotCaptured()
    {
        class Host : public CaptureHost
        {
        public:
            QString currentCategoryName() const override { return QStringLiteral("A"); }
            bool applicationMinimised() const override { return true; }
            void playCaptureSound() override {}
        } host;
        Collection collection;
        collection.appendCategory(QStringLiteral("A"));
        collection.setCurrentCategory(collection.category(0));
        collection.refreshCurrentItems();
        Options options;
        ClipboardMonitor monitor(collection, options, *m_clipboard, host);
        monitor.join();
        ItemClipboard items(*m_clipboard, monitor);
        QSignalSpy captured(&monitor, &ClipboardMonitor::itemCaptured);

        wlCopy({QStringLiteral("--type"), QStringLiteral("text/plain")}, "copied in another program");
        QVERIFY(captured.wait(kPatienceMs));
        QCOMPARE(collection.category(0)->itemCount(), 1);

        Item item;
        item.text = QStringLiteral("kept item\r\nsecond line ✓");
        item.category = QStringLiteral("A");
        QVERIFY(items.put(item));
        QCOMPARE(wlPaste(QStringLiteral("text/plain")), QStringLiteral("kept item\nsecond line ✓").toUtf8());
        QTest::qWait(1000);
        QCOMPARE(collection.category(0)->itemCount(), 1);
        QVERIFY(monitor.armed);

        // And the next copy elsewhere is captured again.
        wlCopy({QStringLiteral("--type"), QStringLiteral("text/plain")}, "the next copy");
        QVERIFY(captured.wait(kPatienceMs));
        QCOMPARE(collection.category(0)->itemCount(), 2);
    }

    void cleanupTestCase() { m_clipboard.reset(); }

private:
    std::unique_ptr<WaylandClipboard> m_clipboard;
};

QTEST_MAIN(TestWaylandClipboard)
#include "tst_waylandclipboard.moc"
