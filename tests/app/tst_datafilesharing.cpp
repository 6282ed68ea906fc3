// Two programs on one data file (two logins whose data folder a sync tool
// keeps in step), and a data file changed on disk while the program runs:
// nothing either of them saved is lost.

#include "common/errorhandler.h"
#include "store/collection.h"
#include "store/datafilereader.h"
#include "store/sidefiles.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QTest>

#include "corefixture.h"

using namespace TestSupport;

namespace {

QByteArray png(int width, int height)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    filledPicture(width, height, Qt::green).save(&buffer, "PNG");
    return bytes;
}

// The data file as a new start of the program would read it.
CategoryList onDisk(const QString &dataFile)
{
    const QByteArray bytes = readFile(dataFile);
    ParseResult result = DataFileReader(dataFile, bytes.size()).parse(bytes);
    if (result.failed || !result.problems.empty())
        qWarning("%s does not load whole: %s", qPrintable(dataFile), qPrintable(result.failure));
    return std::move(result.categories);
}

QStringList textsOf(const CategoryNode &category)
{
    QStringList texts;
    for (const auto &item : category.items)
        texts << item->text;
    return texts;
}

const QString kShared = QStringLiteral("is open in another running Scrapkeeper as well");

} // namespace

class TestDataFileSharing : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { ErrorHandler::install(nullptr); }
    void aPictureOneProgramSavedSurvivesTheOthersOlderView();
    void aFileReplacedUnderARunningProgramIsTakenIn();
};

void TestDataFileSharing::aPictureOneProgramSavedSurvivesTheOthersOlderView()
{
    CoreFixture first;
    first.returningUser();
    CoreFixture second;
    second.dataFolder = first.paths().programFolder;
    second.returningUser();
    const QString dataFile = QDir(first.paths().programFolder).filePath(QStringLiteral("data.db"));

    Scrapkeeper &a = first.start();
    QVERIFY(first.boxes.shown().isEmpty());
    Scrapkeeper &b = second.start();
    // The second is told once that it shares the file.
    QCOMPARE(second.boxes.shown().size(), 1);
    QVERIFY2(second.boxes.texts().first().contains(kShared), qPrintable(second.boxes.texts().first()));
    QCOMPARE(a.dataFiles().currentFile(), b.dataFiles().currentFile());

    // Each captures a picture; the first exits, then the second, which
    // never saw the first's.
    a.options().set(Option::CaptureImages, true);
    first.clipboard.offer({{QStringLiteral("image/png"), png(5, 4)}});
    QCOMPARE(a.collection().category(0)->items.front()->kind, ItemKind::Image);
    const QString sideFile = a.collection().category(0)->items.front()->text;
    QVERIFY(QFile::exists(sideFile));
    b.options().set(Option::CaptureImages, true);
    second.clipboard.offer({{QStringLiteral("image/png"), png(3, 3)}});
    const QString secondSideFile = b.collection().category(0)->items.front()->text;
    a.shutDown();
    // The first's save leaves alone the picture the second has not saved yet.
    QVERIFY2(QFile::exists(secondSideFile), qPrintable(secondSideFile));
    first.core.reset();
    second.clipboard.offer({{QStringLiteral("text/plain"), "copied in the second"}});
    b.shutDown();
    second.core.reset();

    QVERIFY2(QFile::exists(sideFile), qPrintable(sideFile));
    const CategoryList saved = onDisk(dataFile);
    QCOMPARE(saved.size(), size_t(1));
    const auto &items = saved.front()->items;
    QCOMPARE(items.size(), size_t(4));
    QVERIFY(textsOf(*saved.front()).contains(QStringLiteral("copied in the second")));
    QVERIFY(textsOf(*saved.front()).contains(QStringLiteral("hello")));
    const auto picture = std::find_if(items.begin(), items.end(),
                                      [](const auto &item) { return item->kind == ItemKind::Image; });
    QVERIFY(picture != items.end());
    QCOMPARE(SideFiles::identity((*picture)->text), SideFiles::identity(sideFile));
    QCOMPARE(QImage(sideFile).size(), QSize(5, 4));
    QCOMPARE(QImage(secondSideFile).size(), QSize(3, 3));
    QCOMPARE(std::count_if(items.begin(), items.end(), [](const auto &item) { return item->kind == ItemKind::Image; }),
             2);
    QCOMPARE(second.boxes.shown().size(), 1);
    // Both gone, the lock beside the data file is gone with them.
    QVERIFY(!QFile::exists(dataFile + QStringLiteral(".lock")));
}

void TestDataFileSharing::aFileReplacedUnderARunningProgramIsTakenIn()
{
    CoreFixture f;
    f.returningUser();
    Scrapkeeper &program = f.start();
    const QString dataFile = program.dataFiles().currentFile();
    f.clipboard.offer({{QStringLiteral("text/plain"), "copied here"}});

    // Another program rewrites the file: an item added, a category added.
    writeFile(dataFile, "031\r\nMail\r\n0\r\n0\r\n2\r\nx\r\n" + kStamp.toUtf8()
                            + "\r\n1\r\nwritten elsewhere\r\n0001\r\nhi\r\nSun, Feb 18, 2001, 12:33 PM\r\n1\r\nhello\r\n"
                              "0001\r\n031\r\nNotes\r\n0\r\n0\r\n0\r\nSK: 2.3\r\n");
    program.autoSave();

    QVERIFY(f.boxes.shown().isEmpty());
    const CategoryList saved = onDisk(dataFile);
    QCOMPARE(saved.size(), size_t(2));
    QCOMPARE(saved.back()->name, QStringLiteral("Notes"));
    const QStringList mail = textsOf(*saved.front());
    QVERIFY2(mail.contains(QStringLiteral("copied here")) && mail.contains(QStringLiteral("written elsewhere"))
                 && mail.contains(QStringLiteral("hello")) && mail.size() == 3,
             qPrintable(mail.join(QLatin1Char('|'))));
    // The program shows what it took in.
    QCOMPARE(program.collection().categoryCount(), 2);
    QCOMPARE(f.view.categories, (QStringList{QStringLiteral("Mail"), QStringLiteral("Notes")}));
}

QTEST_MAIN(TestDataFileSharing)
#include "tst_datafilesharing.moc"
