#include "common/picturebounds.h"
#include "common/programerror.h"
#include "store/collection.h"
#include "store/datafileformat.h"
#include "store/datafilereader.h"
#include "store/datafilewriter.h"
#include "store/itempictures.h"
#include "store/picturecache.h"
#include "store/sidefiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include "testsupport.h"

using namespace TestSupport;

namespace {

// 4 x 4 pixels of 32 bits: 64 bytes each.
constexpr qsizetype kSmallBytes = 64;

QImage patterned(int width, int height, int seed)
{
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y, qRgb((x * 31 + seed) % 256, (y * 17 + seed) % 256, seed % 256));
    }
    return picture;
}

QByteArray pictureItemLine(const QString &sideFile)
{
    return "Image: 4 x 3\r\n" + kStamp.toUtf8() + "\r\n1\r\n" + sideFile.toUtf8() + "\r\n0010\r\n";
}

ParseResult load(const QString &dataFile)
{
    QFile file(dataFile);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    DataFileReader reader(dataFile, bytes.size());
    return reader.parse(bytes);
}

} // namespace

class TestItemPictures : public QObject
{
    Q_OBJECT
private slots:
    void cacheKeepsTheRecentWithinItsBound_data();
    void cacheKeepsTheRecentWithinItsBound();
    void picturesAreReadWhenNeeded();
    void sideFilesThatAreNoPicture_data();
    void sideFilesThatAreNoPicture();
    void aPictureIsWrittenAtOnce();
    void aPictureThatCannotBeWrittenChangesNothing();
    void sweepAtSave_data();
    void sweepAtSave();
    void adoptingCopiesEachPictureOnce();
    void aFailedAdoptionLeavesTheItemsAsTheyWere();
    void bitmapsAreWholeOrUnreadable_data();
    void bitmapsAreWholeOrUnreadable();
    void identitiesFollowEverySpelling_data();
    void identitiesFollowEverySpelling();
    void picturesAreDecodedWithinTheBounds_data();
    void picturesAreDecodedWithinTheBounds();
};

void TestItemPictures::cacheKeepsTheRecentWithinItsBound_data()
{
    QTest::addColumn<int>("limitInPictures");
    QTest::addColumn<QStringList>("steps");  // "+key" keeps a picture, "?key" asks for one
    QTest::addColumn<QStringList>("kept");

    QTest::newRow("within the bound all stay") << 3 << QStringList{"+a", "+b"} << QStringList{"a", "b"};
    QTest::newRow("the least recent goes first") << 2 << QStringList{"+a", "+b", "+c"} << QStringList{"b", "c"};
    QTest::newRow("asking makes a picture recent")
        << 2 << QStringList{"+a", "+b", "?a", "+c"} << QStringList{"a", "c"};
    QTest::newRow("asking for a missing one changes nothing")
        << 2 << QStringList{"+a", "+b", "?z", "+c"} << QStringList{"b", "c"};
    QTest::newRow("keeping a key again replaces it") << 2 << QStringList{"+a", "+a", "+b"} << QStringList{"a", "b"};
    QTest::newRow("several go for one") << 3 << QStringList{"+a", "+b", "+c", "+big"} << QStringList{"big"};
    QTest::newRow("one larger than the bound is not kept")
        << 2 << QStringList{"+a", "+huge"} << QStringList{"a"};
}

void TestItemPictures::cacheKeepsTheRecentWithinItsBound()
{
    QFETCH(int, limitInPictures);
    QFETCH(QStringList, steps);
    QFETCH(QStringList, kept);

    PictureCache cache(limitInPictures * kSmallBytes);
    for (const QString &step : std::as_const(steps)) {
        const QString key = step.mid(1);
        if (step.startsWith(QLatin1Char('?'))) {
            (void)cache.find(key);
            continue;
        }
        // "big" takes three small ones' room, "huge" more than any bound here.
        const QSize size = key == QLatin1String("huge") ? QSize(64, 64)
                           : key == QLatin1String("big") ? QSize(4, 12)
                                                         : QSize(4, 4);
        cache.insert(key, patterned(size.width(), size.height(), int(key.size())));
    }
    qsizetype bytes = 0;
    for (const QString &key : {"a", "b", "c", "big", "huge"}) {
        QCOMPARE(cache.contains(key), kept.contains(key));
        if (kept.contains(key))
            bytes += cache.find(key).sizeInBytes();
    }
    QCOMPARE(cache.bytes(), bytes);
    QVERIFY(cache.bytes() <= cache.limit());
}

void TestItemPictures::picturesAreReadWhenNeeded()
{
    QTemporaryDir dir;
    const QString data = dir.filePath(QStringLiteral("data.db"));
    const QImage original = patterned(4, 3, 9);
    QVERIFY(original.save(data + QStringLiteral(".b3"), "BMP"));
    writeFile(data, "031\r\nPics\r\n0\r\n0\r\n1\r\n" + pictureItemLine(data + QStringLiteral(".b3")) + "SK: 2.3\r\n");

    ItemPictures pictures;
    ParseResult loaded = load(data);
    QVERIFY(loaded.problems.empty());
    const Item &item = *loaded.categories.front()->items.front();
    // Loading learns the size from the header and decodes nothing.
    QCOMPARE(item.pictureSize, QSize(4, 3));
    QCOMPARE(pictures.cache().bytes(), 0);

    const QImage first = pictures.picture(item);
    QCOMPARE(first.convertToFormat(QImage::Format_RGB32), original);
    const qsizetype cached = pictures.cache().bytes();
    QVERIFY(cached > 0);
    // Asked again, it comes from the cache: the very image, nothing decoded.
    QCOMPARE(pictures.picture(item).cacheKey(), first.cacheKey());
    QCOMPARE(pictures.cache().bytes(), cached);
    // A file written again under its name is read again.
    const QImage replaced = patterned(6, 5, 77);
    QVERIFY(replaced.save(item.text, "BMP"));
    QCOMPARE(pictures.picture(item).convertToFormat(QImage::Format_RGB32), replaced);
    // Without the file there is no picture, and no failure.
    QVERIFY(QFile::remove(item.text));
    QVERIFY(pictures.picture(item).isNull());
    // Other kinds have none.
    QVERIFY(pictures.picture(textItem(item.text)).isNull());
}

void TestItemPictures::sideFilesThatAreNoPicture_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("reportedAtLoad");

    // A whole BMP header claiming 30 000 x 30 000 pixels of 32 bits, and no pixels.
    QByteArray huge(54, '\0');
    const auto put = [&huge](int at, quint32 value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            huge[at + i] = char((value >> (8 * i)) & 0xff);
    };
    huge[0] = 'B';
    huge[1] = 'M';
    put(2, 54, 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, 30000, 4);
    put(22, 30000, 4);
    put(26, 1, 2);
    put(28, 32, 2);
    QByteArray cutPng;
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("p.png"));
        QVERIFY(patterned(40, 30, 1).save(path, "PNG"));
        const QByteArray whole = readFile(path);
        cutPng = whole.left(whole.size() - 40);
    }
    QByteArray cutBitmap;
    {
        // Without its top rows, the last in the file.
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("p.bmp"));
        QVERIFY(patterned(100, 80, 2).save(path, "BMP"));
        const QByteArray whole = readFile(path);
        cutBitmap = whole.left(whole.size() / 2);
    }
    QTest::newRow("a bitmap cut in half") << cutBitmap << true;
    QTest::newRow("no picture at all") << QByteArray("not a picture at all") << true;
    QTest::newRow("empty") << QByteArray() << true;
    QTest::newRow("a header claiming more than the file holds") << huge << true;
    // Its header is whole: only decoding the pixels finds the damage.
    QTest::newRow("a PNG cut inside its pixels") << cutPng << false;
}

void TestItemPictures::sideFilesThatAreNoPicture()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, reportedAtLoad);

    QTemporaryDir dir;
    const QString data = dir.filePath(QStringLiteral("data.db"));
    writeFile(data + QStringLiteral(".b2"), content);
    writeFile(data, "031\r\nPics\r\n0\r\n0\r\n1\r\n" + pictureItemLine(data + QStringLiteral(".b2")) + "SK: 2.3\r\n");

    ParseResult loaded = load(data);
    QVERIFY(!loaded.failed);
    QCOMPARE(loaded.problems.size(), size_t(reportedAtLoad ? 1 : 0));
    if (reportedAtLoad)
        QCOMPARE(loaded.problems.front().kind, LoadProblem::UnreadableImage);
    // The item stays, with no picture to show, and its file is kept.
    QCOMPARE(loaded.categories.front()->itemCount(), 1);
    ItemPictures pictures;
    QVERIFY(pictures.picture(*loaded.categories.front()->items.front()).isNull());
    Collection collection;
    collection.replaceAll(std::move(loaded.categories));
    DataFileWriter(data).write(collection);
    QCOMPARE(readFile(data + QStringLiteral(".b2")), content);
}

void TestItemPictures::aPictureIsWrittenAtOnce()
{
    QTemporaryDir dir;
    const QString data = dir.filePath(QStringLiteral("data.db"));
    ItemPictures pictures;
    pictures.setDataFile(data);
    const QImage first = patterned(5, 4, 2);
    const QImage second = patterned(3, 2, 7);

    Item one;
    one.kind = ItemKind::Image;
    pictures.setPicture(one, first);
    Item two;
    two.kind = ItemKind::Image;
    pictures.setPicture(two, second);

    for (const Item *item : {&one, &two}) {
        QCOMPARE(QFileInfo(item->text).absolutePath(), QFileInfo(data).absolutePath());
        QVERIFY(SideFiles::isSideFileName(QFileInfo(item->text).fileName(), u"data.db"));
        QCOMPARE(QFile::permissions(item->text) & (QFileDevice::ReadOther | QFileDevice::ReadGroup), 0);
    }
    QVERIFY(one.text != two.text);
    QCOMPARE(one.pictureSize, QSize(5, 4));
    QCOMPARE(QImage(one.text).convertToFormat(QImage::Format_RGB32), first);
    QCOMPARE(QImage(two.text).convertToFormat(QImage::Format_RGB32), second);
    // What was just written is shown without reading it back.
    QCOMPARE(pictures.picture(one).cacheKey(), first.cacheKey());
}

void TestItemPictures::aPictureThatCannotBeWrittenChangesNothing()
{
    QTemporaryDir dir;
    ItemPictures pictures;
    pictures.setDataFile(dir.filePath(QStringLiteral("no such folder/data.db")));
    Item item;
    item.kind = ItemKind::Image;
    item.text = QStringLiteral("/elsewhere/data.db.b1");
    item.pictureSize = QSize(9, 9);
    QVERIFY_THROWS_EXCEPTION(ProgramError, pictures.setPicture(item, patterned(2, 2, 1)));
    QCOMPARE(item.text, QStringLiteral("/elsewhere/data.db.b1"));
    QCOMPARE(item.pictureSize, QSize(9, 9));

    ItemPictures nowhere;
    QVERIFY_THROWS_EXCEPTION(ProgramError, nowhere.setPicture(item, patterned(2, 2, 1)));
}

void TestItemPictures::sweepAtSave_data()
{
    QTest::addColumn<bool>("savedFileNamesIt");
    QTest::addColumn<bool>("itemInMemory");
    QTest::addColumn<bool>("wholeFileLoaded");
    QTest::addColumn<bool>("backupNamesIt");
    QTest::addColumn<bool>("kept");

    QTest::newRow("captured, not saved yet") << false << true << true << false << true;
    QTest::newRow("saved and still there") << true << true << true << false << true;
    QTest::newRow("captured, deleted before any save") << false << false << true << false << false;
    QTest::newRow("saved, then deleted") << true << false << true << false << false;
    QTest::newRow("deleted, the backup names it") << true << false << true << true << true;
    QTest::newRow("deleted, the file not loaded whole") << false << false << false << false << true;
}

void TestItemPictures::sweepAtSave()
{
    QFETCH(bool, savedFileNamesIt);
    QFETCH(bool, itemInMemory);
    QFETCH(bool, wholeFileLoaded);
    QFETCH(bool, backupNamesIt);
    QFETCH(bool, kept);

    QTemporaryDir dir;
    const QString data = dir.filePath(QStringLiteral("data.db"));
    ItemPictures pictures;
    pictures.setDataFile(data);
    Collection collection;
    CategoryNode *category = collection.appendCategory(QStringLiteral("Pics"));
    if (!savedFileNamesIt)
        DataFileWriter(data).write(collection);
    Item captured = textItem(QStringLiteral("Image: 2 x 2"));
    captured.kind = ItemKind::Image;
    pictures.setPicture(captured, patterned(2, 2, 3));
    const QString sideFile = captured.text;
    collection.insertFirstChild(category, captured);
    if (savedFileNamesIt)
        DataFileWriter(data).write(collection);
    QCOMPARE(readFile(data).contains(sideFile.toUtf8()), savedFileNamesIt);
    if (!itemInMemory)
        collection.removeItem(category->items.front().get());

    DataFileWriter writer(data);
    writer.setSweep(wholeFileLoaded);
    if (backupNamesIt)
        writer.setKeep({SideFiles::identity(sideFile)});
    writer.write(collection);
    QCOMPARE(QFile::exists(sideFile), kept);
    // What the new data file names is always there.
    const ParseResult back = load(data);
    QVERIFY(back.problems.empty());
}

void TestItemPictures::adoptingCopiesEachPictureOnce()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("new")));
    const QString oldData = dir.filePath(QStringLiteral("data.db"));
    const QString newData = dir.filePath(QStringLiteral("new/data.db"));
    ItemPictures pictures;
    pictures.setDataFile(oldData);
    Collection collection;
    CategoryNode *category = collection.appendCategory(QStringLiteral("Pics"));
    Item shared = textItem(QStringLiteral("shared"));
    shared.kind = ItemKind::Image;
    pictures.setPicture(shared, patterned(3, 3, 4));
    Item own = textItem(QStringLiteral("own"));
    own.kind = ItemKind::Image;
    pictures.setPicture(own, patterned(2, 3, 5));
    Item missing = textItem(QStringLiteral("missing"));
    missing.kind = ItemKind::Image;
    missing.text = dir.filePath(QStringLiteral("data.db.b999999"));
    for (const Item *item : {&shared, &shared, &own, &missing})
        collection.insertFirstChild(category, *item);

    DataFileWriter writer(newData);
    writer.setAdoptPictures(true);
    writer.write(collection);
    const QStringList copies = SideFiles::onDisk(newData);
    QCOMPARE(copies.size(), 2);
    const auto &items = category->items;
    // Newest first: missing, own, shared, shared.
    QCOMPARE(items[0]->text, missing.text);
    QCOMPARE(items[2]->text, items[3]->text);
    QVERIFY(copies.contains(items[1]->text));
    QVERIFY(copies.contains(items[2]->text));
    QCOMPARE(readFile(items[1]->text), readFile(own.text));
    QCOMPARE(readFile(items[2]->text), readFile(shared.text));
    // The old list's files stay for the old list.
    QVERIFY(QFile::exists(shared.text));
    QVERIFY(QFile::exists(own.text));
}

void TestItemPictures::aFailedAdoptionLeavesTheItemsAsTheyWere()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("new/data.db")));  // a folder where the data file goes
    const QString newData = dir.filePath(QStringLiteral("new/data.db"));
    ItemPictures pictures;
    pictures.setDataFile(dir.filePath(QStringLiteral("data.db")));
    Collection collection;
    Item item = textItem(QStringLiteral("picture"));
    item.kind = ItemKind::Image;
    pictures.setPicture(item, patterned(3, 3, 4));
    collection.insertFirstChild(collection.appendCategory(QStringLiteral("Pics")), item);

    DataFileWriter writer(newData);
    writer.setAdoptPictures(true);
    QVERIFY_THROWS_EXCEPTION(ProgramError, writer.write(collection));
    QCOMPARE(collection.category(0)->items.front()->text, item.text);
    QVERIFY(SideFiles::onDisk(newData).isEmpty());
}


void TestItemPictures::bitmapsAreWholeOrUnreadable_data()
{
    QTest::addColumn<QImage::Format>("format");
    QTest::addColumn<int>("cut");  // bytes taken off the end

    for (const auto &[name, format] : {std::pair{"24 bits", QImage::Format_RGB32}, std::pair{"32 bits", QImage::Format_ARGB32},
                                       std::pair{"8 bits", QImage::Format_Indexed8}, std::pair{"1 bit", QImage::Format_Mono}}) {
        QTest::addRow("%s, whole", name) << format << 0;
        QTest::addRow("%s, last byte missing", name) << format << 1;
        QTest::addRow("%s, half missing", name) << format << -2;
    }
}

// A bitmap's rows are read only when shown: one that ends early must show
// nothing rather than rows of stray memory.
void TestItemPictures::bitmapsAreWholeOrUnreadable()
{
    QFETCH(QImage::Format, format);
    QFETCH(int, cut);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("data.db.b1"));
    QVERIFY(patterned(101, 79, 3).convertToFormat(format).save(path, "BMP"));
    const QByteArray whole = readFile(path);
    writeFile(path, whole.left(cut < 0 ? whole.size() / -cut : whole.size() - cut));

    ItemPictures pictures;
    const bool expectWhole = cut == 0;
    QCOMPARE(ItemPictures::declaredSize(path), expectWhole ? QSize(101, 79) : QSize());
    QCOMPARE(pictures.picture(path).isNull(), !expectWhole);
}

void TestItemPictures::identitiesFollowEverySpelling_data()
{
    QTest::addColumn<QString>("spelling");  // relative to a scratch folder; "~" stands for it
    QTest::addColumn<QString>("file");      // the file it names there, empty for none

    QTest::newRow("plain") << "~/real/data.db.b1" << "real/data.db.b1";
    QTest::newRow("dots") << "~/real/./../real/data.db.b1" << "real/data.db.b1";
    QTest::newRow("linked folder") << "~/linked/data.db.b1" << "real/data.db.b1";
    QTest::newRow("linked file") << "~/real/data.db.b9" << "real/data.db.b1";
    QTest::newRow("missing") << "~/real/data.db.b2" << "";
    QTest::newRow("dangling link") << "~/real/data.db.b8" << "";
    QTest::newRow("blank") << " " << "";
}

void TestItemPictures::identitiesFollowEverySpelling()
{
    QFETCH(QString, spelling);
    QFETCH(QString, file);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("real")));
    writeFile(dir.filePath(QStringLiteral("real/data.db.b1")), "BM");
    QVERIFY(QFile::link(dir.filePath(QStringLiteral("real")), dir.filePath(QStringLiteral("linked"))));
    QVERIFY(QFile::link(dir.filePath(QStringLiteral("real/data.db.b1")), dir.filePath(QStringLiteral("real/data.db.b9"))));
    QVERIFY(QFile::link(dir.filePath(QStringLiteral("real/gone")), dir.filePath(QStringLiteral("real/data.db.b8"))));
    spelling.replace(QLatin1Char('~'), dir.path());

    const QString expected = file.isEmpty() ? QString() : QFileInfo(dir.filePath(file)).canonicalFilePath();
    QCOMPARE(SideFiles::identity(spelling), expected);
    // One set of identities asked about several files of a folder answers alike.
    SideFiles::Identities identities;
    QCOMPARE(identities.of(dir.filePath(QStringLiteral("real/data.db.b1"))),
             QFileInfo(dir.filePath(QStringLiteral("real/data.db.b1"))).canonicalFilePath());
    QCOMPARE(identities.of(spelling), expected);
}

QTEST_GUILESS_MAIN(TestItemPictures)
void TestItemPictures::picturesAreDecodedWithinTheBounds_data()
{
    QTest::addColumn<QSize>("declared");
    QTest::addColumn<bool>("pastBounds");
    QTest::addColumn<QSize>("shownIn200");  // decoded for a window 200 x 200
    // Some 32 KB on disk, a gigabyte once decoded: only the header is read.
    QTest::newRow("16000 x 16000") << QSize(16000, 16000) << true << QSize();
    QTest::newRow("one side too long") << QSize(PictureBounds::MaxSide + 1, 2) << true << QSize();
    QTest::newRow("just past the memory bound") << QSize(8192, 8193) << true << QSize();
    QTest::newRow("large within the bounds") << QSize(2000, 1500) << false << QSize(200, 150);
    QTest::newRow("tall within the bounds") << QSize(300, 6000) << false << QSize(10, 200);
    QTest::newRow("smaller than the window") << QSize(120, 80) << false << QSize(120, 80);
}

void TestItemPictures::picturesAreDecodedWithinTheBounds()
{
    QFETCH(QSize, declared);
    QFETCH(bool, pastBounds);
    QFETCH(QSize, shownIn200);
    QTemporaryDir dir;
    const QString side = dir.filePath(QStringLiteral("data.db.b7"));
    writeFile(side, blankPng(declared.width(), declared.height()));
    Item item = textItem(side);
    item.kind = ItemKind::Image;

    QCOMPARE(ItemPictures::declaredSize(side), declared);
    QCOMPARE(ItemPictures::pastBounds(side), pastBounds);
    ItemPictures pictures;
    const QImage shown = pictures.picture(item, QSize(200, 200));
    QCOMPARE(shown.isNull(), pastBounds);
    if (!pastBounds)
        QCOMPARE(shown.size(), shownIn200);
    if (pastBounds) {
        QVERIFY(pictures.picture(item).isNull());
        QVERIFY(ItemPictures::notShownNote(side).contains(
            QStringLiteral("%1 x %2").arg(declared.width()).arg(declared.height())));
    } else {
        QCOMPARE(pictures.picture(item).size(), declared);
        // Once the whole picture is known, a window gets it scaled from there.
        QCOMPARE(pictures.picture(item, QSize(200, 200)).size(), shownIn200);
    }
}

#include "tst_itempictures.moc"
