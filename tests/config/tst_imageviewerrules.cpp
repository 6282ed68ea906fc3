#include "config/dialogs/imageviewerrules.h"
#include "store/item.h"
#include "testsupport.h"

#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <memory>

using Rules = ImageViewerRules;
using Format = ImageViewerRules::FileFormat;

namespace {

Item picture(QSize size, const QString &alias)
{
    QImage pixels(size, QImage::Format_RGB32);
    // Every pixel differs, so a crop of the wrong area shows.
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            pixels.setPixel(x, y, qRgb(x, y, (x * 7 + y) % 256));
    Item item;
    TestSupport::givePicture(item, pixels);
    item.alias = alias;
    item.created = QStringLiteral("Sun, Feb 18, 2001, 12:33 PM");
    return item;
}

} // namespace

class TestImageViewerRules : public QObject
{
    Q_OBJECT
private slots:
    void cropRectangle_data();
    void cropRectangle();
    void cropKeepsTheDraggedPixelsAndUndoes();
    void cropOfNothingChangesNothing();
    void saveEnabled_data();
    void saveEnabled();
    void saveWritesTheItem_data();
    void saveWritesTheItem();
    void anUnchangedPictureKeepsItsSideFile_data();
    void anUnchangedPictureKeepsItsSideFile();
    void replaceIgnoresNullPictures();
    void saveTarget_data();
    void saveTarget();
    void statusTexts();
};

void TestImageViewerRules::cropRectangle_data()
{
    QTest::addColumn<QPoint>("start");
    QTest::addColumn<QPoint>("end");
    QTest::addColumn<QRect>("expected");
    const QRect area(10, 5, 20, 15);
    QTest::newRow("down right") << QPoint(10, 5) << QPoint(30, 20) << area;
    QTest::newRow("up left") << QPoint(30, 20) << QPoint(10, 5) << area;
    QTest::newRow("down left") << QPoint(30, 5) << QPoint(10, 20) << area;
    QTest::newRow("up right") << QPoint(10, 20) << QPoint(30, 5) << area;
    QTest::newRow("past the right and bottom edges") << QPoint(30, 20) << QPoint(500, 900) << QRect(30, 20, 10, 10);
    QTest::newRow("past the left and top edges") << QPoint(5, 4) << QPoint(-50, -7) << QRect(0, 0, 5, 4);
    QTest::newRow("whole picture and more") << QPoint(-1, -1) << QPoint(41, 31) << QRect(0, 0, 40, 30);
    QTest::newRow("outside the picture") << QPoint(50, 40) << QPoint(90, 80) << QRect(40, 30, 0, 0);
    QTest::newRow("a click") << QPoint(7, 7) << QPoint(7, 7) << QRect(7, 7, 0, 0);
}

void TestImageViewerRules::cropRectangle()
{
    QFETCH(QPoint, start);
    QFETCH(QPoint, end);
    QFETCH(QRect, expected);
    QCOMPARE(Rules::cropRectangle(start, end, QSize(40, 30)), expected);
}

void TestImageViewerRules::cropKeepsTheDraggedPixelsAndUndoes()
{
    const Item item = picture(QSize(40, 30), QStringLiteral("shot"));
    Rules rules(item);
    QVERIFY(!rules.canUndo());
    QVERIFY(rules.crop(QPoint(30, 20), QPoint(10, 5)));
    QCOMPARE(rules.picture(), TestSupport::pictureOf(item).copy(10, 5, 20, 15));
    QVERIFY(rules.canUndo());

    QVERIFY(rules.undo());
    QCOMPARE(rules.picture(), TestSupport::pictureOf(item));
    QVERIFY(!rules.canUndo());
    QVERIFY(!rules.undo());
}

void TestImageViewerRules::cropOfNothingChangesNothing()
{
    const Item item = picture(QSize(40, 30), QStringLiteral("shot"));
    Rules rules(item);
    QVERIFY(!rules.crop(QPoint(7, 7), QPoint(7, 20)));
    QVERIFY(!rules.crop(QPoint(60, 60), QPoint(90, 90)));
    QCOMPARE(rules.picture().size(), QSize(40, 30));
    QVERIFY(!rules.canUndo());
}

void TestImageViewerRules::saveEnabled_data()
{
    QTest::addColumn<QString>("alias");
    QTest::addColumn<bool>("defaultCaption");
    QTest::addColumn<bool>("cropped");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("as opened") << "shot" << false << false << false;
    QTest::newRow("default alias differs") << "shot" << true << false << true;
    QTest::newRow("default alias is the stored one") << "Image: 40 x 30" << true << false << false;
    QTest::newRow("cropped") << "shot" << false << true << true;
}

void TestImageViewerRules::saveEnabled()
{
    QFETCH(QString, alias);
    QFETCH(bool, defaultCaption);
    QFETCH(bool, cropped);
    QFETCH(bool, enabled);
    Rules rules(picture(QSize(40, 30), alias));
    if (defaultCaption)
        rules.setDefaultCaption();
    if (cropped)
        rules.crop(QPoint(0, 0), QPoint(10, 10));
    QCOMPARE(rules.saveEnabled(), enabled);
}

void TestImageViewerRules::saveWritesTheItem_data()
{
    QTest::addColumn<bool>("updateDate");
    QTest::newRow("new date") << true;
    QTest::newRow("date kept") << false;
}

void TestImageViewerRules::saveWritesTheItem()
{
    QFETCH(bool, updateDate);
    Item item = picture(QSize(40, 30), QStringLiteral("shot"));
    const QString oldDate = item.created;
    const QString stored = item.text;
    auto rules = std::make_unique<Rules>(item);
    rules->crop(QPoint(0, 0), QPoint(8, 6));
    rules->setCaption(QStringLiteral("renamed"));
    rules->save(item, updateDate ? std::optional<QString>(QStringLiteral("Mon, Mar 1, 2027, 09:15 AM")) : std::nullopt);
    QCOMPARE(item.alias, QStringLiteral("renamed"));
    // The cropped picture went to a new side file at once; the old one stays for the sweep.
    QVERIFY(item.text != stored);
    QCOMPARE(QImage(item.text).size(), QSize(8, 6));
    QCOMPARE(item.pictureSize, QSize(8, 6));
    QVERIFY(QFile::exists(stored));
    QVERIFY(!rules->canUndo());
    QVERIFY(!rules->saveEnabled());
    // The item may be an editor's copy: saves keep its new file until the viewer goes.
    const QString identity = QFileInfo(item.text).canonicalFilePath();
    QVERIFY(ItemPictures::shared().heldIdentities().contains(identity));
    rules.reset();
    QVERIFY(!ItemPictures::shared().heldIdentities().contains(identity));
    QCOMPARE(item.created, updateDate ? QStringLiteral("Mon, Mar 1, 2027, 09:15 AM") : oldDate);
}

void TestImageViewerRules::anUnchangedPictureKeepsItsSideFile_data()
{
    QTest::addColumn<bool>("cropThenUndo");
    QTest::newRow("only the caption changed") << false;
    QTest::newRow("a crop undone") << true;
}

void TestImageViewerRules::anUnchangedPictureKeepsItsSideFile()
{
    QFETCH(bool, cropThenUndo);
    Item item = picture(QSize(40, 30), QStringLiteral("shot"));
    const QString stored = item.text;
    Rules rules(item);
    if (cropThenUndo) {
        rules.crop(QPoint(0, 0), QPoint(8, 6));
        rules.undo();
    }
    rules.setCaption(QStringLiteral("renamed"));
    rules.save(item, std::nullopt);
    QCOMPARE(item.alias, QStringLiteral("renamed"));
    QCOMPARE(item.text, stored);
    QCOMPARE(item.pictureSize, QSize(40, 30));
}

void TestImageViewerRules::replaceIgnoresNullPictures()
{
    Rules rules(picture(QSize(40, 30), QStringLiteral("shot")));
    QVERIFY(!rules.replace(QImage()));
    QVERIFY(!rules.canUndo());
    QVERIFY(rules.replace(QImage(3, 4, QImage::Format_RGB32)));
    QCOMPARE(rules.picture().size(), QSize(3, 4));
    QVERIFY(rules.undo());
    QCOMPARE(rules.picture().size(), QSize(40, 30));
}

void TestImageViewerRules::saveTarget_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<Rules::FileFormat>("format");
    const auto jpeg = Rules::FileFormat::Jpeg;
    const auto bitmap = Rules::FileFormat::Bitmap;
    // Without an extension the filter decides, and its extension is added.
    QTest::newRow("jpeg, no extension") << Rules::kJpegFilter << "/tmp/shot" << "/tmp/shot.jpg" << jpeg;
    QTest::newRow("bitmap, no extension") << Rules::kBitmapFilter << "/tmp/shot" << "/tmp/shot.bmp" << bitmap;
    QTest::newRow("every file, no extension") << "All Files (*)" << "/tmp/shot" << "/tmp/shot.bmp" << bitmap;
    QTest::newRow("dotted folder") << Rules::kJpegFilter << "/tmp/a.b/shot" << "/tmp/a.b/shot.jpg" << jpeg;
    // The extension typed wins over the filter left as it was.
    QTest::newRow("bitmap filter, typed .jpg") << Rules::kBitmapFilter << "/tmp/crop.jpg" << "/tmp/crop.jpg" << jpeg;
    QTest::newRow("bitmap filter, typed .jpeg") << Rules::kBitmapFilter << "/tmp/crop.jpeg" << "/tmp/crop.jpeg" << jpeg;
    QTest::newRow("bitmap filter, typed .JPG") << Rules::kBitmapFilter << "/tmp/crop.JPG" << "/tmp/crop.JPG" << jpeg;
    QTest::newRow("every file, typed .jpg") << "All Files (*)" << "/tmp/crop.jpg" << "/tmp/crop.jpg" << jpeg;
    QTest::newRow("jpeg filter, typed .bmp") << Rules::kJpegFilter << "/tmp/crop.bmp" << "/tmp/crop.bmp" << bitmap;
    QTest::newRow("jpeg filter, typed .Bmp") << Rules::kJpegFilter << "/tmp/crop.Bmp" << "/tmp/crop.Bmp" << bitmap;
    // An extension of no format offered is kept; the filter decides the format.
    QTest::newRow("jpeg filter, typed .png") << Rules::kJpegFilter << "/tmp/shot.png" << "/tmp/shot.png" << jpeg;
    QTest::newRow("bitmap filter, typed .png") << Rules::kBitmapFilter << "/tmp/shot.png" << "/tmp/shot.png" << bitmap;
}

void TestImageViewerRules::saveTarget()
{
    QFETCH(QString, filter);
    QFETCH(QString, chosen);
    QFETCH(QString, expected);
    QFETCH(Rules::FileFormat, format);
    const Rules::SaveTarget target = Rules::saveTarget(chosen, filter);
    QCOMPARE(target.path, expected);
    QCOMPARE(target.format, format);
}

void TestImageViewerRules::statusTexts()
{
    QCOMPARE(Rules::coordinatesText(QPoint(3, 14)), QStringLiteral("(3, 14)"));
    QCOMPARE(Rules::createdText(QStringLiteral("Sun, Feb 18, 2001, 12:33 PM")),
             QStringLiteral("Created:  Sun, Feb 18, 2001, 12:33 PM"));
    // The start point and the size, whichever way the drag goes.
    QCOMPARE(Rules::dragText(QPoint(30, 20), QPoint(10, 5)), QStringLiteral("(30 20) - (20, 15)"));
    QCOMPARE(Rules::sizeCaption(QSize(640, 480)), QStringLiteral("Image: 640 x 480"));
}

QTEST_GUILESS_MAIN(TestImageViewerRules)
#include "tst_imageviewerrules.moc"
