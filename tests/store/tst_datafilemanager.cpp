#include "doubles/scriptedmessageboxes.h"
#include "store/datafileformat.h"
#include "store/datafilemanager.h"
#include "store/sidefiles.h"
#include "common/programerror.h"

#include <QBuffer>
#include <QImage>
#include <QRandomGenerator>

#include <functional>

#include <QDir>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
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
    void refreshCategoryCombo() override { ++combos; }
    void selectFirstNode() override {}
    void moveOutOfSight() override { ++outOfSight; }
    bool readBackupSetting() override { return backup; }

    QList<int> progress;
    int hidden = 0;
    int captions = 0;
    int combos = 0;
    int outOfSight = 0;
    bool backup = true;
};

// A data file block of one category holding one picture item whose side
// file is `picture`; `lock` is the category's lock line.
QByteArray pictureCategory(const QString &name, const QString &picture, const QByteArray &lock = "0")
{
    return "031\r\n" + name.toUtf8() + "\r\n0\r\n" + lock + "\r\n1\r\nImage: 2 x 2\r\n"
           + "Sun, Feb 18, 2001, 12:33 PM\r\n1\r\n" + picture.toUtf8() + "\r\n0010\r\n";
}

// A file loaded as a new start of the program would load it (no backup made).
struct FreshLoad
{
    explicit FreshLoad(const QString &file)
    {
        host.backup = false;
        DataFileManager manager(collection, recent, boxes, host, QFileInfo(file).absolutePath());
        manager.setCurrentFile(file);
        manager.loadData();
    }
    Collection collection;
    RecentFiles recent;
    ScriptedMessageBoxes boxes;
    RecordingHost host;
};

void writePicture(const QString &path)
{
    QImage image(2, 2, QImage::Format_RGB32);
    image.fill(Qt::red);
    QVERIFY(image.save(path, "BMP"));
}



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
    void capturesBetweenSaves();
    void noSweepAfterAPartialLoad();
    void aPictureHeldByAnEditorSurvivesSaves();
    void aCopiedCollectionKeepsItsOwnPictures();
    void anotherSpellingOfTheFolderIsTheSameFile();
    void whatTheBackupNamesStaysUntilItIsReplaced();
    void leftoversOfKilledWritesGoUsersFilesStay();
    void aLoadClearsAwayWhatAKilledSaveLeft_data();
    void aLoadClearsAwayWhatAKilledSaveLeft();
    void nulInStoredTextStillLoads();
    void aFailedBackupCopyIsReportedAndLoadingGoesOn();
    void firstRunCreatesTheFileQuietly();
    void switchingOpensAGoodFile();
    void switchingToAFileThatIsNoListKeepsTheListInUse_data();
    void switchingToAFileThatIsNoListKeepsTheListInUse();
    void switchingToADamagedFileOpensItsBackup();
    void switchingToAnUnreadableFileKeepsTheListInUse();
    void savingAsMovesToTheNewFileWithPicturesOfItsOwn();
    void aFailedSaveAsKeepsTheCurrentFile();
    void aNewListStartsEmptyInItsFile();
    void aFileThatIsNoDataFileIsNotLoadedAtStart();
    void aSaveTakesInWhatAnotherWriterSaved();
    void aSaveLeavesAlonePicturesAFileChangedOnDiskNames();
    void aFileThatCannotBeMergedIsKeptApart_data();
    void aFileThatCannotBeMergedIsKeptApart();

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
    m_manager->loadData();
    QCOMPARE(m_boxes->shown().size(), 1);
    QVERIFY(m_boxes->shown().first().text.startsWith(kNotFoundStart));
    QCOMPARE(m_boxes->shown().first().title, QStringLiteral("Scrapkeeper v2.3"));
    QCOMPARE(m_manager->currentFile(), path("data.db"));
    QCOMPARE(m_collection->categoryCount(), 1);
    QCOMPARE(m_collection->category(0)->name, QStringLiteral("Category1"));
    QCOMPARE(m_collection->category(0)->rec.pasteMethod, PasteMethod::NoCategoryMethod);
    QCOMPARE(readFile(path("data.db")), QByteArray("030\r\nCategory1\r\n0\r\n0\r\n0\r\nSK: 2.3\r\n"));
    QCOMPARE(m_host->outOfSight, 1);
    QCOMPARE(m_recent->paths(), QStringList{path("data.db")});
}

void TestDataFileManager::missingCurrentFallsBackToDefault()
{
    writeFile(path("data.db"), kGood);
    m_manager->setCurrentFile(path("missing.db"));
    m_manager->loadData();
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
    m_manager->loadData();
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
    m_manager->loadData();
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
    m_manager->loadData();
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
    m_manager->loadData();
    QVERIFY(m_boxes->texts().first().startsWith(kNotFoundStart));
    QCOMPARE(readFile(path("data.db.corrupt")), odd);
    QCOMPARE(m_collection->category(0)->name, QStringLiteral("Category1"));
}

void TestDataFileManager::emptyCollectionGetsCategory()
{
    writeFile(path("data.db"), "SK: 2.3\r\n");
    m_manager->setCurrentFile(path("data.db"));
    m_manager->loadData();
    QVERIFY(m_boxes->shown().isEmpty());
    QCOMPARE(m_collection->categoryCount(), 1);
    QCOMPARE(readFile(path("data.db")), QByteArray("SK: 2.3\r\n"));
}

void TestDataFileManager::saveClearsFlagsAndListsFile()
{
    writeFile(path("data.db"), kGood);
    m_manager->setCurrentFile(path("data.db"));
    m_manager->loadData();
    m_manager->setCurrentFile(path("copy.db"));
    m_collection->setCaptureModified();
    m_collection->setEditModified();
    m_manager->saveData();
    QVERIFY(!m_collection->anyModified());
    QCOMPARE(readFile(path("copy.db")), kGood);
    QCOMPARE(m_recent->paths(), (QStringList{path("copy.db"), path("data.db")}));
}

void TestDataFileManager::capturesBetweenSaves()
{
    // Captures, half of them pictures written at once, fill the category
    // and trim it between saves; every save loads back whole.
    m_manager->setCurrentFile(path("data.db"));
    m_manager->loadData();
    CategoryNode *category = m_collection->category(0);
    category->rec.limit = 6;
    m_collection->setCurrentCategory(category);
    int captured = 0;
    const auto capture = [this, category, &captured] {
        Item item = textItem(QStringLiteral("capture %1").arg(++captured));
        if (captured % 2)
            givePicture(item, filledPicture(3, 3, Qt::green), path("data.db"));
        m_collection->insertFirstChild(category, item);
        m_collection->enforceLimit(category, true);
        m_collection->setCaptureModified();
    };
    for (int i = 0; i < 4; ++i)
        capture();
    for (int round = 0; round < 20; ++round) {
        m_manager->saveData();
        const FreshLoad loaded(path("data.db"));
        QVERIFY2(loaded.boxes.shown().isEmpty(), qPrintable(loaded.boxes.texts().join(QLatin1Char('|'))));
        const int count = loaded.collection.category(0)->itemCount();
        QVERIFY2(count >= 4 && count <= 6, qPrintable(QString::number(count)));
        // Pictures trimmed away before the save were swept; those kept were not.
        int pictures = 0;
        for (const auto &item : category->items)
            pictures += item->kind == ItemKind::Image;
        QCOMPARE(SideFiles::onDisk(path("data.db")).size(), pictures);
        QVERIFY(!m_collection->captureModified());
        for (int i = 0; i < round % 3 + 1; ++i)
            capture();
    }
    QVERIFY(captured > 20);
}

void TestDataFileManager::aPictureHeldByAnEditorSurvivesSaves()
{
    writeFile(path("data.db"), "031\r\nA\r\n0\r\n0\r\n0\r\nSK: 2.3\r\n");
    m_manager->setCurrentFile(path("data.db"));
    m_manager->loadData();
    // An editor's copy of an item got a new picture; the record has not had it back yet.
    Item copy = textItem(QStringLiteral("edited"));
    givePicture(copy, filledPicture(2, 2), path("data.db"));
    // Made well before the save: a picture as new as the data file on disk
    // could be another program's unsaved capture, which a save leaves alone.
    {
        QFile picture(copy.text);
        QVERIFY(picture.open(QIODevice::ReadWrite));
        QVERIFY(picture.setFileTime(QDateTime::currentDateTime().addSecs(-60), QFileDevice::FileModificationTime));
    }
    ItemPictures::shared().hold(copy.text);
    m_collection->setEditModified();
    m_manager->saveData();
    QVERIFY(QFile::exists(copy.text));
    // Given up without being written back, it goes with the next save.
    ItemPictures::shared().release(copy.text);
    m_manager->saveData();
    QVERIFY(!QFile::exists(copy.text));
}

void TestDataFileManager::noSweepAfterAPartialLoad()
{
    writePicture(path("data.db.b1"));
    writePicture(path("data.db.b2"));
    writeFile(path("data.db"), pictureCategory(QStringLiteral("First"), path("data.db.b1"))
                                   + pictureCategory(QStringLiteral("Second"), path("data.db.b2"), "x")
                                   + "SK: 2.3\r\n");
    m_host->backup = false;
    m_manager->setCurrentFile(path("data.db"));
    m_manager->loadData();
    QCOMPARE(m_collection->categoryCount(), 1);
    QVERIFY(!m_manager->wholeFileLoaded());
    m_manager->saveData();
    QVERIFY(QFile::exists(path("data.db.b1")));
    QVERIFY2(QFile::exists(path("data.db.b2")), "the damaged block's picture was swept");
}

void TestDataFileManager::aCopiedCollectionKeepsItsOwnPictures()
{
    // The original in a/, copied with its side files to b/ while a/ stays.
    QDir(m_dir->path()).mkpath(QStringLiteral("a"));
    QDir(m_dir->path()).mkpath(QStringLiteral("b"));
    writePicture(path("a/data.db.b4"));
    const QByteArray file = pictureCategory(QStringLiteral("Pics"), path("a/data.db.b4")) + "SK: 2.3\r\n";
    writeFile(path("a/data.db"), file);
    writeFile(path("b/data.db"), file);
    QVERIFY(QFile::copy(path("a/data.db.b4"), path("b/data.db.b4")));
    m_manager->setCurrentFile(path("b/data.db"));
    m_manager->loadData();
    QCOMPARE(m_collection->category(0)->items.front()->text, path("b/data.db.b4"));
    m_collection->setEditModified();
    m_manager->saveData();
    QVERIFY(QFile::exists(path("b/data.db.b4")));
    // Without the original the copy still has every picture.
    QVERIFY(QDir(path("a")).removeRecursively());
    m_manager->loadData();
    QVERIFY2(m_boxes->shown().isEmpty(), qPrintable(m_boxes->texts().join(QLatin1Char('|'))));
    QVERIFY(!pictureOf(*m_collection->category(0)->items.front()).isNull());
}

void TestDataFileManager::anotherSpellingOfTheFolderIsTheSameFile()
{
    QDir(m_dir->path()).mkpath(QStringLiteral("real"));
    QVERIFY(QFile::link(path("real"), path("link")));
    writePicture(path("real/data.db.b7"));
    writeFile(path("real/data.db"), pictureCategory(QStringLiteral("Pics"), path("real/data.db.b7")) + "SK: 2.3\r\n");
    m_manager->setCurrentFile(path("link/data.db"));
    m_manager->loadData();
    m_collection->setEditModified();
    m_manager->saveData();
    QVERIFY(QFile::exists(path("real/data.db.b7")));
}

void TestDataFileManager::whatTheBackupNamesStaysUntilItIsReplaced()
{
    writePicture(path("data.db.b3"));
    writeFile(path("data.db"), pictureCategory(QStringLiteral("Pics"), path("data.db.b3")) + "SK: 2.3\r\n");
    m_manager->setCurrentFile(path("data.db"));
    m_manager->loadData();
    QVERIFY(QFile::exists(path("data.db.~bk")));
    // The picture item is deleted and saved: the backup still needs its file.
    m_collection->removeItem(m_collection->category(0)->items.front().get());
    m_manager->saveData();
    QVERIFY(QFile::exists(path("data.db.b3")));
    // A backup loaded now gets its picture.
    {
        const FreshLoad restored(path("data.db.~bk"));
        QVERIFY(restored.boxes.shown().isEmpty());
        QCOMPARE(restored.collection.category(0)->itemCount(), 1);
    }
    // The next load replaces the backup; the save after it may sweep the file.
    m_manager->loadData();
    m_manager->saveData();
    QVERIFY(!QFile::exists(path("data.db.b3")));
}

void TestDataFileManager::leftoversOfKilledWritesGoUsersFilesStay()
{
    writeFile(path("data.db"), kGood);
    for (const char *name : {"data.db.sk-tmp-a1B2c3", "data.db.b12.sk-tmp-ZZ99zz", "data.db.~bk.sk-tmp-000000"})
        writeFile(path(name), "partial");
    for (const char *name : {"data.db.backup", "data.db.old", "data.db.bak", "other.db.sk-tmp-a1B2c3"})
        writeFile(path(name), "the user's");
    m_manager->setCurrentFile(path("data.db"));
    m_manager->loadData();
    m_manager->saveData();
    for (const char *name : {"data.db.sk-tmp-a1B2c3", "data.db.b12.sk-tmp-ZZ99zz", "data.db.~bk.sk-tmp-000000"})
        QVERIFY2(!QFile::exists(path(name)), name);
    for (const char *name : {"data.db.backup", "data.db.old", "data.db.bak", "other.db.sk-tmp-a1B2c3"})
        QVERIFY2(QFile::exists(path(name)), name);
    const QStringList names = QDir(m_dir->path()).entryList(QDir::Files);
    QVERIFY2(!names.join(QLatin1Char('|')).contains(QLatin1String("sk-tmp-")) || names.contains(QStringLiteral("other.db.sk-tmp-a1B2c3")),
             qPrintable(names.join(QLatin1Char('|'))));
}

void TestDataFileManager::aLoadClearsAwayWhatAKilledSaveLeft_data()
{
    QTest::addColumn<bool>("backup");
    QTest::newRow("backup after load") << true;
    QTest::newRow("no backup") << false;
}

void TestDataFileManager::aLoadClearsAwayWhatAKilledSaveLeft()
{
    QFETCH(bool, backup);
    for (const char *name : {"data.db.b1", "data.db.b2", "data.db.b3", "other.db.b3"})
        writePicture(path(name));
    writeFile(path("data.db"), pictureCategory(QStringLiteral("Pics"), path("data.db.b1")) + "SK: 2.3\r\n");
    writeFile(path("data.db.~bk"), pictureCategory(QStringLiteral("Pics"), path("data.db.b2")) + "SK: 2.3\r\n");
    // The save killed had written b3 and was writing another picture and the data file.
    for (const char *name : {"data.db.b4.sk-tmp-abc123", "data.db.sk-tmp-XYZ789"})
        writeFile(path(name), "partial");
    writeFile(path("data.db.b5x"), "the user's");
    m_host->backup = backup;
    m_manager->setCurrentFile(path("data.db"));
    m_manager->loadData();
    QVERIFY(m_boxes->shown().isEmpty());
    QCOMPARE(m_collection->category(0)->itemCount(), 1);
    for (const char *name : {"data.db.b3", "data.db.b4.sk-tmp-abc123", "data.db.sk-tmp-XYZ789"})
        QVERIFY2(!QFile::exists(path(name)), name);
    for (const char *name : {"data.db.b1", "other.db.b3", "data.db.b5x"})
        QVERIFY2(QFile::exists(path(name)), name);
    // The picture of the backup the load replaced is free; one the kept backup names is not.
    QCOMPARE(QFile::exists(path("data.db.b2")), !backup);
}

void TestDataFileManager::nulInStoredTextStillLoads()
{
    m_manager->setCurrentFile(path("data.db"));
    m_manager->loadData();
    CategoryNode *category = m_collection->category(0);
    Item rich = textItem(QStringLiteral("{\\rtf1 from Wine}") + QChar(0));
    rich.kind = ItemKind::RichText;
    Item named = textItem(QStringLiteral("after"));
    named.alias = QStringLiteral("two\r\nlines") + QChar(0);
    m_collection->insertFirstChild(category, rich);
    m_collection->insertFirstChild(category, named);
    m_manager->saveData();
    m_manager->loadData();
    QCOMPARE(m_boxes->shown().size(), 1);  // the first load's "not found" alone
    QCOMPARE(m_collection->category(0)->itemCount(), 2);
    QCOMPARE(m_collection->category(0)->items[0]->alias, QStringLiteral("two lines"));
    QCOMPARE(m_collection->category(0)->items[1]->text, QStringLiteral("{\\rtf1 from Wine}"));
}

void TestDataFileManager::aFailedBackupCopyIsReportedAndLoadingGoesOn()
{
    writeFile(path("data.db"), kGood);
    // Nothing can be written where the backup goes.
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("data.db.~bk")));
    m_manager->setCurrentFile(path("data.db"));
    m_manager->loadData();
    QCOMPARE(m_boxes->shown().size(), 1);
    QCOMPARE(m_boxes->shown().first().title, QStringLiteral("Error"));
    QVERIFY(m_boxes->texts().first().contains(QLatin1String("data.db.~bk")));
    QCOMPARE(m_collection->category(0)->name, QStringLiteral("Mail"));
    QCOMPARE(m_recent->paths(), QStringList{path("data.db")});
}

void TestDataFileManager::firstRunCreatesTheFileQuietly()
{
    m_manager->setFirstRun(true);
    m_manager->setCurrentFile(path("data.db"));
    m_manager->loadData();
    QVERIFY(m_boxes->shown().isEmpty());
    QVERIFY(QFile::exists(path("data.db")));
    QCOMPARE(m_collection->category(0)->name, QStringLiteral("Category1"));
}

namespace {

QByteArray pngBytes()
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    filledPicture(64, 64, Qt::blue).save(&buffer, "PNG");
    return bytes;
}

QByteArray randomBytes(qsizetype size)
{
    QRandomGenerator random(22);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &c : bytes)
        c = char(random.bounded(256));
    return bytes;
}

// A data file `good` loaded and then edited: the list in use that opening
// another file puts at stake.
void loadAndEdit(DataFileManager &manager, Collection &collection, const QString &good)
{
    writeFile(good, kGood);
    manager.setCurrentFile(good);
    manager.loadData();
    collection.insertFirstChild(collection.category(0), textItem(QStringLiteral("unsaved")));
    collection.setEditModified();
    collection.setCaptureModified();
}

} // namespace

void TestDataFileManager::switchingOpensAGoodFile()
{
    loadAndEdit(*m_manager, *m_collection, path("data.db"));
    writeFile(path("other.db"), kDamaged.left(kDamaged.indexOf("031\r\nBroken")) + "SK: 2.3\r\n");
    const int captions = m_host->captions;
    QCOMPARE(m_manager->switchTo(path("other.db")), DataFileManager::Switch::Opened);
    QVERIFY(m_boxes->shown().isEmpty());
    QCOMPARE(m_manager->currentFile(), path("other.db"));
    QCOMPARE(m_collection->category(0)->name, QStringLiteral("First"));
    // Neither flag speaks of the list given up.
    QVERIFY(!m_collection->anyModified());
    QCOMPARE(m_host->captions, captions + 1);
    QVERIFY(QFile::exists(path("other.db.~bk")));
    QCOMPARE(m_recent->paths(), (QStringList{path("other.db"), path("data.db")}));

    QCOMPARE(m_manager->switchTo(path("gone.db")), DataFileManager::Switch::Missing);
    QVERIFY(m_boxes->shown().isEmpty());
    QCOMPARE(m_manager->currentFile(), path("other.db"));
}

void TestDataFileManager::switchingToAFileThatIsNoListKeepsTheListInUse_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("messageStarts");
    QTest::addColumn<bool>("corruptCopy");

    const QString noData = QStringLiteral("\"%1\" holds no Scrapkeeper data");
    const QString corrupt = QStringLiteral("An error occured while loading data.");
    const QString noBackup = QStringLiteral("A backup file cannot be located.");
    const QString notOpened = QStringLiteral("\"%1\" has not been opened.  The group list in use stays open.");
    QTest::newRow("empty file") << QByteArray() << QStringList{noData} << false;
    QTest::newRow("blank first line") << QByteArray("  \r\n031\r\nHidden\r\n0\r\n0\r\n0\r\n")
                                      << QStringList{noData} << false;
    // What is no data file at all gets one word and nothing beside it; a
    // damaged one keeps the corrupt copy and the backup offer.
    const QString notData = QStringLiteral("\"%1\" is not a Scrapkeeper data file, so it has not been opened.");
    QTest::newRow("a letter") << QByteArray("Dear Sir,\r\nthank you.\r\n") << QStringList{notData} << false;
    QTest::newRow("a picture") << pngBytes() << QStringList{notData} << false;
    QTest::newRow("random bytes") << randomBytes(200 * 1024) << QStringList{notData} << false;
    QTest::newRow("damaged list") << kDamaged << QStringList{corrupt, noBackup, notOpened} << true;
    QTest::newRow("list cut short") << QByteArray("031\r\nMail\r\n0\r\n") << QStringList{corrupt, noBackup, notOpened}
                                    << true;
    QTest::newRow("older list cut short") << QByteArray("Mail\r\n0\r\n0\r\n")
                                          << QStringList{corrupt, noBackup, notOpened} << true;
    QTest::newRow("older list damaged past its limit") << QByteArray("Mail\r\n0\r\n\x92" "0\r\n3\r\nfirst\r\n")
                                                       << QStringList{corrupt, noBackup, notOpened} << true;
}

void TestDataFileManager::switchingToAFileThatIsNoListKeepsTheListInUse()
{
    QFETCH(QByteArray, content);
    QFETCH(QStringList, messageStarts);
    QFETCH(bool, corruptCopy);
    loadAndEdit(*m_manager, *m_collection, path("data.db"));
    const QString candidate = path("other.db");
    writeFile(candidate, content);
    const QStringList recentBefore = m_recent->paths();
    const qsizetype progressBefore = m_host->progress.size();
    const int hiddenBefore = m_host->hidden;
    QStringList filesBefore = QDir(m_dir->path()).entryList(QDir::Files);
    if (corruptCopy)
        filesBefore << QStringLiteral("other.db.corrupt");
    filesBefore.sort();

    QCOMPARE(m_manager->switchTo(candidate), DataFileManager::Switch::Kept);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files, QDir::Name), filesBefore);
    const QStringList texts = m_boxes->texts();
    QCOMPARE(texts.size(), messageStarts.size());
    for (int i = 0; i < texts.size(); ++i)
        QVERIFY2(texts[i].startsWith(QString(messageStarts[i]).replace(QStringLiteral("%1"), candidate)),
                 qPrintable(texts[i]));
    for (const auto &box : m_boxes->shown())
        QCOMPARE(box.icon, MessageBoxService::Icon::Error);
    QCOMPARE(m_manager->currentFile(), path("data.db"));
    QCOMPARE(m_collection->categoryCount(), 1);
    QCOMPARE(m_collection->category(0)->items.front()->text, QStringLiteral("unsaved"));
    QVERIFY(m_collection->editModified() && m_collection->captureModified());
    QCOMPARE(m_recent->paths(), recentBefore);
    QCOMPARE(readFile(candidate), content);
    QCOMPARE(QFile::exists(candidate + QStringLiteral(".corrupt")), corruptCopy);
    QVERIFY(!QFile::exists(candidate + QStringLiteral(".~bk")));
    if (m_host->progress.size() > progressBefore)
        QCOMPARE(m_host->hidden, hiddenBefore + 1);
    // A save still goes where it went.
    m_manager->saveData();
    QVERIFY(readFile(path("data.db")).contains("unsaved"));
    QCOMPARE(readFile(candidate), content);
}

void TestDataFileManager::switchingToADamagedFileOpensItsBackup()
{
    loadAndEdit(*m_manager, *m_collection, path("data.db"));
    writeFile(path("other.db"), kDamaged);
    writeFile(path("other.db.~bk"), kGood);
    QCOMPARE(m_manager->switchTo(path("other.db")), DataFileManager::Switch::Opened);
    const QStringList texts = m_boxes->texts();
    QCOMPARE(texts.size(), 2);
    QCOMPARE(texts[0], DataFileManager::corruptMessage(QStringLiteral("other.db")));
    QVERIFY(texts[1].startsWith(QStringLiteral("Click OK to attempt to load the most recent backup")));
    QCOMPARE(m_manager->currentFile(), path("other.db.~bk"));
    QCOMPARE(m_collection->category(0)->itemCount(), 1);
    QCOMPARE(readFile(path("other.db")), kDamaged);
}

void TestDataFileManager::switchingToAnUnreadableFileKeepsTheListInUse()
{
    loadAndEdit(*m_manager, *m_collection, path("data.db"));
    // A file that opens but cannot be read from its start.
    QVERIFY(QFile::link(QStringLiteral("/proc/self/mem"), path("locked.db")));
    QVERIFY_THROWS_EXCEPTION(ProgramError, m_manager->switchTo(path("locked.db")));
    QCOMPARE(m_manager->currentFile(), path("data.db"));
    QCOMPARE(m_collection->category(0)->items.front()->text, QStringLiteral("unsaved"));
}

void TestDataFileManager::savingAsMovesToTheNewFileWithPicturesOfItsOwn()
{
    writePicture(path("data.db.b5"));
    writeFile(path("data.db"), pictureCategory(QStringLiteral("Pics"), path("data.db.b5")) + "SK: 2.3\r\n");
    m_manager->setCurrentFile(path("data.db"));
    m_manager->loadData();
    QDir(m_dir->path()).mkpath(QStringLiteral("elsewhere"));
    m_collection->setEditModified();
    m_manager->saveAs(path("elsewhere/copy.db"));
    QCOMPARE(m_manager->currentFile(), path("elsewhere/copy.db"));
    QVERIFY(!m_collection->anyModified());
    QCOMPARE(m_recent->paths().first(), path("elsewhere/copy.db"));
    // The new file has the picture beside it; the old one keeps its own.
    const QStringList beside = SideFiles::onDisk(path("elsewhere/copy.db"));
    QCOMPARE(beside.size(), 1);
    const QString own = beside.first();
    QVERIFY(readFile(path("elsewhere/copy.db")).contains(own.toUtf8()));
    QVERIFY(!readFile(path("elsewhere/copy.db")).contains(path("data.db.b5").toUtf8()));
    QCOMPARE(QImage(own), QImage(path("data.db.b5")));

    // The first list's pictures may go (its own save sweeps those it no
    // longer names): the copy does not depend on them.
    QVERIFY(QFile::remove(path("data.db.b5")));
    QCOMPARE(m_manager->switchTo(path("data.db")), DataFileManager::Switch::Opened);
    QCOMPARE(m_manager->switchTo(path("elsewhere/copy.db")), DataFileManager::Switch::Opened);
    QVERIFY(!pictureOf(*m_collection->category(0)->items.front()).isNull());
}

void TestDataFileManager::aFailedSaveAsKeepsTheCurrentFile()
{
    loadAndEdit(*m_manager, *m_collection, path("data.db"));
    QVERIFY_THROWS_EXCEPTION(ProgramError, m_manager->saveAs(path("no such folder/copy.db")));
    QCOMPARE(m_manager->currentFile(), path("data.db"));
    QVERIFY(m_collection->editModified());
    m_manager->saveData();
    QVERIFY(readFile(path("data.db")).contains("unsaved"));
}

void TestDataFileManager::aNewListStartsEmptyInItsFile()
{
    loadAndEdit(*m_manager, *m_collection, path("data.db"));
    const int captions = m_host->captions;
    m_manager->startNew(path("fresh.db"));
    QCOMPARE(m_manager->currentFile(), path("fresh.db"));
    QCOMPARE(m_collection->categoryCount(), 0);
    QCOMPARE(m_host->captions, captions + 1);
    // The list it replaced is still on disk as it was last saved.
    QCOMPARE(readFile(path("data.db")), kGood);
}

void TestDataFileManager::aFileThatIsNoDataFileIsNotLoadedAtStart()
{
    // A picture named as the data file: refused, and nothing made of it or beside it.
    const QByteArray png = pngBytes();
    writeFile(path("data.db"), png);
    m_manager->setCurrentFile(path("data.db"));
    try {
        m_manager->loadData();
        QFAIL("a picture was loaded as a data file");
    } catch (const ProgramError &error) {
        QVERIFY2(error.message().contains(QStringLiteral("is not a Scrapkeeper data file")), qPrintable(error.message()));
    }
    QVERIFY(m_boxes->shown().isEmpty());
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{QStringLiteral("data.db")});
    QCOMPARE(readFile(path("data.db")), png);
}

namespace {

QByteArray itemBlock(const QByteArray &alias, const QByteArray &text, const QByteArray &flags = "0001")
{
    return alias + "\r\n" + kStamp.toUtf8() + "\r\n1\r\n" + text + "\r\n" + flags + "\r\n";
}

QStringList textsIn(const Collection &collection, const QString &category)
{
    QStringList texts;
    if (const CategoryNode *node = collection.findCategory(category)) {
        for (const auto &item : node->items)
            texts << item->alias + QLatin1Char('=') + item->text;
    }
    return texts;
}

} // namespace

void TestDataFileManager::aSaveTakesInWhatAnotherWriterSaved()
{
    writeFile(path("data.db"), "031\r\nMail\r\n0\r\n0\r\n2\r\n" + itemBlock("hi", "hello") + itemBlock("old", "old")
                                   + "031\r\nGone\r\n0\r\n0\r\n0\r\nSK: 2.3\r\n");
    m_manager->setCurrentFile(path("data.db"));
    m_manager->loadData();
    // Here: a capture, and a new alias for an item.
    m_collection->insertFirstChild(m_collection->category(0), textItem(QStringLiteral("mine")));
    m_collection->category(0)->items[1]->alias = QStringLiteral("greeting");
    m_collection->setCaptureModified();
    m_collection->setEditModified();
    // Elsewhere, saved meanwhile: an item added, one removed, a category
    // added, another removed and a limit set.
    const QByteArray theirs = "031\r\nMail\r\n5\r\n0\r\n2\r\n" + itemBlock("theirs", "theirs") + itemBlock("hi", "hello")
                              + "031\r\nWork\r\n0\r\n0\r\n1\r\n" + itemBlock("w", "work") + "SK: 2.3\r\n";
    writeFile(path("data.db"), theirs);

    m_manager->saveData();
    QVERIFY(m_boxes->shown().isEmpty());
    const QStringList mail{QStringLiteral("theirs=theirs"), QStringLiteral("mine=mine"), QStringLiteral("greeting=hello")};
    QCOMPARE(textsIn(*m_collection, QStringLiteral("Mail")), mail);
    QCOMPARE(m_collection->findCategory(QStringLiteral("Mail"))->rec.limit, 5);
    QVERIFY(!m_collection->findCategory(QStringLiteral("Gone")));
    FreshLoad disk(path("data.db"));
    QCOMPARE(textsIn(disk.collection, QStringLiteral("Mail")), mail);
    QCOMPARE(textsIn(disk.collection, QStringLiteral("Work")), QStringList{QStringLiteral("w=work")});
    QCOMPARE(disk.collection.categoryCount(), 2);
    // The backup holds what the other writer saved.
    QCOMPARE(readFile(path("data.db.~bk")), theirs);

    // Saved again with nothing changed on disk: the same file, nothing taken in twice.
    const QByteArray merged = readFile(path("data.db"));
    m_manager->saveData();
    QCOMPARE(readFile(path("data.db")), merged);
}

void TestDataFileManager::aSaveLeavesAlonePicturesAFileChangedOnDiskNames()
{
    // Two programs on one data file: the first adds a picture and saves,
    // the second then saves the view it loaded before.
    writeFile(path("data.db"), kGood);
    m_manager->setCurrentFile(path("data.db"));
    m_manager->loadData();
    Collection older;
    RecentFiles olderRecent;
    ScriptedMessageBoxes olderBoxes;
    RecordingHost olderHost;
    DataFileManager olderManager(older, olderRecent, olderBoxes, olderHost, m_dir->path());
    olderManager.setCurrentFile(path("data.db"));
    olderManager.loadData();

    Item picture;
    picture.alias = QStringLiteral("Image: 3 x 2");
    picture.created = kStamp;
    givePicture(picture, filledPicture(3, 2), path("data.db"));
    m_collection->insertFirstChild(m_collection->category(0), picture);
    m_collection->setCaptureModified();
    m_manager->saveData();
    const QString sideFile = m_collection->category(0)->items.front()->text;
    QVERIFY(QFile::exists(sideFile));

    older.category(0)->items.front()->alias = QStringLiteral("edited there");
    older.setEditModified();
    olderManager.saveData();
    QVERIFY(QFile::exists(sideFile));
    FreshLoad disk(path("data.db"));
    QVERIFY(disk.boxes.shown().isEmpty());
    const auto &items = disk.collection.category(0)->items;
    QCOMPARE(items.size(), size_t(2));
    QCOMPARE(items[0]->kind, ItemKind::Image);
    QCOMPARE(SideFiles::identity(items[0]->text), SideFiles::identity(sideFile));
    QCOMPARE(pictureOf(*items[0]).size(), QSize(3, 2));
    QCOMPARE(items[1]->alias, QStringLiteral("edited there"));
}

void TestDataFileManager::aFileThatCannotBeMergedIsKeptApart_data()
{
    QTest::addColumn<QByteArray>("replacement");
    QTest::newRow("a picture") << pngBytes();
    QTest::newRow("damaged list") << kDamaged;
    QTest::newRow("blank") << QByteArray("   \r\n");
}

void TestDataFileManager::aFileThatCannotBeMergedIsKeptApart()
{
    QFETCH(QByteArray, replacement);
    loadAndEdit(*m_manager, *m_collection, path("data.db"));
    writeFile(path("data.db"), replacement);

    m_manager->saveData();
    // The changed file stays as it is; the collection goes beside it, said once.
    QCOMPARE(readFile(path("data.db")), replacement);
    const QString aside = m_manager->currentFile();
    QVERIFY2(QFileInfo(aside).fileName().startsWith(QStringLiteral("data (kept apart ")), qPrintable(aside));
    QCOMPARE(QFileInfo(aside).absolutePath(), QFileInfo(path("data.db")).absolutePath());
    QCOMPARE(m_boxes->shown().size(), 1);
    QVERIFY(m_boxes->texts().first().contains(QFileInfo(aside).fileName()));
    QVERIFY(!QFile::exists(path("data.db.corrupt")));
    FreshLoad disk(aside);
    QCOMPARE(textsIn(disk.collection, QStringLiteral("Mail")),
             (QStringList{QStringLiteral("unsaved=unsaved"), QStringLiteral("hi=hello")}));
    QCOMPARE(m_recent->paths().first(), aside);
    // Later saves go there, without a word.
    m_manager->saveData();
    QCOMPARE(m_boxes->shown().size(), 1);
    QCOMPARE(readFile(path("data.db")), replacement);
}

QTEST_GUILESS_MAIN(TestDataFileManager)
#include "tst_datafilemanager.moc"

