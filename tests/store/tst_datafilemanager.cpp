#include "platform/scriptedmessageboxes.h"
#include "store/datafileformat.h"
#include "store/datafilemanager.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "testsupport.h"

using namespace TestSupport;

namespace {

class RecordingHost : public DataFileHost
{
public:
    void showProgress(int percent) override { progress << percent; }
    void hideProgress() override { ++hidden; }
    void processEvents() override {}
    void refreshCaption() override { ++captions; }
    void LoadCombo() override { ++combos; }
    void selectFirstNode() override {}
    void moveOutOfSight() override { ++outOfSight; }
    bool ReadBackupSetting() override { return backup; }

    QList<int> progress;
    int hidden = 0;
    int captions = 0;
    int combos = 0;
    int outOfSight = 0;
    bool backup = true;
};



const QByteArray kGood = "031\r\nMail\r\n0\r\n0\r\n1\r\nhi\r\nSun, Feb 18, 2001, 12:33 PM\r\n1\r\nhello\r\n0001\r\nSK: 2.3\r\n";
const QByteArray kDamaged = "031\r\nFirst\r\n0\r\n0\r\n0\r\n031\r\nBroken\r\n0\r\n0\r\nnot a number\r\n";
const QString kNotFoundStart = QStringLiteral("Most recent database file has not been found.");

} // namespace

class TestDataFileManager : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void missingFileStartsFreshCollection();
    void missingCurrentFallsBackToDefault();
    void goodLoadMakesBackup_data();
    void goodLoadMakesBackup();
    void failedLoadOffersBackup();
    void failedLoadWithoutBackupKeepsPartialTree();
    void blankFirstLineKeepsCopy();
    void emptyCollectionGetsCategory();
    void saveClearsFlagsAndListsFile();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Collection> m_collection;
    std::unique_ptr<RecentFiles> m_recent;
    std::unique_ptr<ScriptedMessageBoxes> m_boxes;
    std::unique_ptr<RecordingHost> m_host;
    std::unique_ptr<DataFileManager> m_manager;
    QString path(const char *name) const { return m_dir->filePath(QString::fromLatin1(name)); }
};

void TestDataFileManager::init()
{
    m_manager.reset();
    m_dir = std::make_unique<QTemporaryDir>();
    m_collection = std::make_unique<Collection>();
    m_recent = std::make_unique<RecentFiles>();
    m_boxes = std::make_unique<ScriptedMessageBoxes>();
    m_host = std::make_unique<RecordingHost>();
    m_manager = std::make_unique<DataFileManager>(*m_collection, *m_recent, *m_boxes, *m_host, m_dir->path());
}

void TestDataFileManager::missingFileStartsFreshCollection()
{
    m_manager->setCurrentFile(path("elsewhere.db"));
    m_manager->LoadData();
    QCOMPARE(m_boxes->shown().size(), 1);
    QVERIFY(m_boxes->shown().first().text.startsWith(kNotFoundStart));
    QCOMPARE(m_boxes->shown().first().title, QStringLiteral("Scrapkeeper v2.3"));
    QCOMPARE(m_manager->currentFile(), path("data.db"));
    QCOMPARE(m_collection->categoryCount(), 1);
    QCOMPARE(m_collection->category(0)->name, QStringLiteral("Category1"));
    QCOMPARE(m_collection->category(0)->rec.PasteMethod, 3);
    QCOMPARE(readFile(path("data.db")), QByteArray("030\r\nCategory1\r\n0\r\n0\r\n0\r\nSK: 2.3\r\n"));
    QCOMPARE(m_host->outOfSight, 1);
    QCOMPARE(m_recent->paths(), QStringList{path("data.db")});
}

void TestDataFileManager::missingCurrentFallsBackToDefault()
{
    writeFile(path("data.db"), kGood);
    m_manager->setCurrentFile(path("missing.db"));
    m_manager->LoadData();
    QVERIFY(m_boxes->shown().isEmpty());
    QCOMPARE(m_manager->currentFile(), path("data.db"));
    QCOMPARE(m_collection->category(0)->name, QStringLiteral("Mail"));
}

void TestDataFileManager::goodLoadMakesBackup_data()
{
    QTest::addColumn<bool>("backup");
    QTest::newRow("backup on") << true;
    QTest::newRow("backup off") << false;
}

void TestDataFileManager::goodLoadMakesBackup()
{
    QFETCH(bool, backup);
    m_host->backup = backup;
    writeFile(path("data.db"), kGood);
    m_manager->setCurrentFile(path("data.db"));
    m_collection->setEditModified();
    m_manager->LoadData();
    QVERIFY(m_boxes->shown().isEmpty());
    QVERIFY(!m_collection->editModified());
    QCOMPARE(QFile::exists(path("data.db.~bk")), backup);
    if (backup)
        QCOMPARE(readFile(path("data.db.~bk")), kGood);
    QVERIFY(!m_host->progress.isEmpty());
    QVERIFY(std::is_sorted(m_host->progress.begin(), m_host->progress.end()));
    QVERIFY(m_host->progress.last() > 0 && m_host->progress.last() <= 100);
    QCOMPARE(m_host->combos, 1);
}

void TestDataFileManager::failedLoadOffersBackup()
{
    writeFile(path("data.db"), kDamaged);
    writeFile(path("data.db.~bk"), kGood);
    m_manager->setCurrentFile(path("data.db"));
    m_manager->LoadData();
    const QStringList texts = m_boxes->texts();
    QCOMPARE(texts.size(), 2);
    QCOMPARE(texts[0], DataFileManager::corruptMessage(QStringLiteral("data.db")));
    QVERIFY(texts[0].contains(QStringLiteral("named \"data.db.corrupt\"  PLEASE e-mail")));
    QVERIFY(texts[1].startsWith(QStringLiteral("Click OK to attempt to load the most recent backup")));
    QCOMPARE(m_boxes->shown()[1].title, QStringLiteral("Information"));
    QCOMPARE(readFile(path("data.db.corrupt")), kDamaged);
    QCOMPARE(m_manager->currentFile(), path("data.db.~bk"));
    QCOMPARE(m_collection->category(0)->name, QStringLiteral("Mail"));
    QCOMPARE(readFile(path("data.db")), kDamaged);
}

void TestDataFileManager::failedLoadWithoutBackupKeepsPartialTree()
{
    writeFile(path("data.db"), kDamaged);
    m_manager->setCurrentFile(path("data.db"));
    m_manager->LoadData();
    const QStringList texts = m_boxes->texts();
    QCOMPARE(texts.size(), 2);
    QVERIFY(texts[1].startsWith(QStringLiteral("A backup file cannot be located.")));
    QCOMPARE(m_manager->currentFile(), path("data.db"));
    QCOMPARE(m_collection->categoryCount(), 1);
    QCOMPARE(m_collection->category(0)->name, QStringLiteral("First"));
    QVERIFY(!QFile::exists(path("data.db.~bk")));
    QCOMPARE(m_recent->paths(), QStringList{path("data.db")});
}

void TestDataFileManager::blankFirstLineKeepsCopy()
{
    const QByteArray odd = "   \r\n031\r\nHidden\r\n0\r\n0\r\n0\r\n";
    writeFile(path("data.db"), odd);
    m_manager->setCurrentFile(path("data.db"));
    m_manager->LoadData();
    QVERIFY(m_boxes->texts().first().startsWith(kNotFoundStart));
    QCOMPARE(readFile(path("data.db.corrupt")), odd);
    QCOMPARE(m_collection->category(0)->name, QStringLiteral("Category1"));
}

void TestDataFileManager::emptyCollectionGetsCategory()
{
    writeFile(path("data.db"), "SK: 2.3\r\n");
    m_manager->setCurrentFile(path("data.db"));
    m_manager->LoadData();
    QVERIFY(m_boxes->shown().isEmpty());
    QCOMPARE(m_collection->categoryCount(), 1);
    QCOMPARE(readFile(path("data.db")), QByteArray("SK: 2.3\r\n"));
}

void TestDataFileManager::saveClearsFlagsAndListsFile()
{
    writeFile(path("data.db"), kGood);
    m_manager->setCurrentFile(path("data.db"));
    m_manager->LoadData();
    m_manager->setCurrentFile(path("copy.db"));
    m_collection->setCaptureModified();
    m_collection->setEditModified();
    m_manager->SaveData();
    QVERIFY(!m_collection->anyModified());
    QCOMPARE(readFile(path("copy.db")), kGood);
    QCOMPARE(m_recent->paths(), (QStringList{path("copy.db"), path("data.db")}));
}

QTEST_GUILESS_MAIN(TestDataFileManager)
#include "tst_datafilemanager.moc"
