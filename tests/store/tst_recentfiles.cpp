#include "store/recentfiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestRecentFiles : public QObject
{
    Q_OBJECT
private slots:
    void keepsFiveNewestWithoutDuplicates();
    void sameFileSpelledTwiceIsOneEntry();
    void removingAPathRemovesItsEntryWhereverItIs();
    void storedWithCrLf();
};

void TestRecentFiles::keepsFiveNewestWithoutDuplicates()
{
    RecentFiles recent;
    for (int i = 1; i <= 6; ++i)
        recent.moveToTop(QStringLiteral("/d/f%1.db").arg(i));
    QCOMPARE(recent.paths(), (QStringList{"/d/f6.db", "/d/f5.db", "/d/f4.db", "/d/f3.db", "/d/f2.db"}));
    recent.moveToTop(QStringLiteral("/d/f4.db"));
    QCOMPARE(recent.paths(), (QStringList{"/d/f4.db", "/d/f6.db", "/d/f5.db", "/d/f3.db", "/d/f2.db"}));
    // Letter case matters on Linux: this is another file.
    recent.moveToTop(QStringLiteral("/d/F4.db"));
    QCOMPARE(recent.paths().first(), QStringLiteral("/d/F4.db"));
    QCOMPARE(recent.paths().size(), 5);
}

void TestRecentFiles::sameFileSpelledTwiceIsOneEntry()
{
    RecentFiles recent;
    recent.moveToTop(QStringLiteral("/d/a.db"));
    recent.moveToTop(QStringLiteral("/d/b.db"));
    recent.moveToTop(QStringLiteral("/d/x/../a.db"));
    QCOMPARE(recent.paths(), (QStringList{"/d/a.db", "/d/b.db"}));
}

void TestRecentFiles::removingAPathRemovesItsEntryWhereverItIs()
{
    RecentFiles recent;
    for (const char *path : {"/d/a.db", "/d/b.db", "/d/c.db"})
        recent.moveToTop(QString::fromLatin1(path));
    recent.remove(QStringLiteral("/d/x/../b.db"));
    QCOMPARE(recent.paths(), (QStringList{"/d/c.db", "/d/a.db"}));
    recent.remove(QStringLiteral("/d/B.db"));
    QCOMPARE(recent.paths().size(), 2);
}

void TestRecentFiles::storedWithCrLf()
{
    QTemporaryDir dir;
    const QString list = dir.filePath(QStringLiteral("dblist.txt"));
    RecentFiles recent;
    recent.moveToTop(QStringLiteral("/d/a.db"));
    recent.moveToTop(QStringLiteral("/d/b.db"));
    recent.save(list);
    QFile f(list);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("/d/b.db\r\n/d/a.db\r\n"));
    RecentFiles back;
    back.load(list);
    QCOMPARE(back.paths(), recent.paths());
    back.load(dir.filePath(QStringLiteral("missing.txt")));
    QVERIFY(back.paths().isEmpty());
}

QTEST_GUILESS_MAIN(TestRecentFiles)
#include "tst_recentfiles.moc"
