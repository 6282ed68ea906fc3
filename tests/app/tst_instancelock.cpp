#include "app/instancelock.h"

#include <QFile>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

class TestInstanceLock : public QObject
{
    Q_OBJECT
private slots:
    void secondInstanceIsRefused();
    void lockOfDeadProgramIsTakenOver();
};

void TestInstanceLock::secondInstanceIsRefused()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("lock"));
    InstanceLock first(path);
    QCOMPARE(first.acquire(), InstanceLock::Result::Acquired);

    // A lock whose owner is alive is never taken, however old it is.
    InstanceLock second(path);
    QCOMPARE(second.acquire(), InstanceLock::Result::AlreadyRunning);

    first.release();
    QCOMPARE(second.acquire(), InstanceLock::Result::Acquired);
}

void TestInstanceLock::lockOfDeadProgramIsTakenOver()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("lock"));
    QProcess gone;
    gone.start(QStringLiteral("sleep"), {QStringLiteral("0.1")});
    QVERIFY(gone.waitForStarted());
    const qint64 deadPid = gone.processId();
    QVERIFY(gone.waitForFinished());
    {
        QFile stale(path);
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.write(QByteArray::number(deadPid) + "\nscrapkeeper\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    }
    InstanceLock lock(path);
    QCOMPARE(lock.acquire(), InstanceLock::Result::Acquired);
}

QTEST_GUILESS_MAIN(TestInstanceLock)
#include "tst_instancelock.moc"
