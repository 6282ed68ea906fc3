// The display's last word: the warning Qt's platforms give just before they
// end the process runs the rescue once, on the main thread, whichever thread
// heard of the loss; every other message leaves it alone.
#include "app/displayloss.h"

#include <QTest>
#include <QThread>

#include <atomic>

class TestDisplayLoss : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        DisplayLoss::install([this] {
            ++m_rescues;
            m_rescuedOnMainThread = QThread::currentThread() == thread();
        });
    }

    void knowsTheLastWords_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("lastWord");
        QTest::newRow("compositor gone") << "The Wayland connection broke. Did the Wayland compositor die?" << true;
        QTest::newRow("Wayland protocol error")
            << "The Wayland connection experienced a fatal error: Protocol error" << true;
        QTest::newRow("X server gone (xcb)") << "The X11 connection broke (error 1). Did the X11 server die?" << true;
        QTest::newRow("X server gone (Xlib)") << "The X11 connection broke: I/O error (code 1)" << true;
        QTest::newRow("other warning") << "QWidget::repaint: Recursive repaint detected" << false;
        QTest::newRow("quoted later in a line") << "scrapkeeper: The Wayland connection broke" << false;
    }

    void knowsTheLastWords()
    {
        QFETCH(QString, message);
        QFETCH(bool, lastWord);
        QCOMPARE(DisplayLoss::isLastWord(message), lastWord);
    }

    // The platform's event thread may be the one that hears of it: the
    // rescue runs on the main thread while that thread waits, and only once
    // although the main thread hears of it afterwards too.
    void rescuesOnceOnTheMainThread()
    {
        qWarning("an ordinary warning");
        QCOMPARE(m_rescues.load(), 0);

        std::atomic<bool> heard{false};
        QThread *platformThread = QThread::create([&heard] {
            qWarning("The Wayland connection broke. Did the Wayland compositor die?");
            heard = true;
        });
        platformThread->start();
        QVERIFY(QTest::qWaitFor([&] { return heard.load(); }, 20000));
        QVERIFY(platformThread->wait(5000));
        delete platformThread;
        QCOMPARE(m_rescues.load(), 1);
        QVERIFY(m_rescuedOnMainThread);

        qWarning("The Wayland connection broke. Did the Wayland compositor die?");
        QCOMPARE(m_rescues.load(), 1);
    }

private:
    std::atomic<int> m_rescues{0};
    bool m_rescuedOnMainThread = false;
};

QTEST_GUILESS_MAIN(TestDisplayLoss)
#include "tst_displayloss.moc"
