#include "common/errorhandler.h"
#include "config/dialogs/imageviewer.h"
#include "config/dialogs/qttreedialogs.h"
#include "doubles/fakeclipboard.h"
#include "doubles/scriptedfiledialogs.h"
#include "doubles/scriptedmessageboxes.h"
#include "store/collection.h"
#include "store/item.h"
#include "testsupport.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

const QString kOldDate = QStringLiteral("Sun, Feb 18, 2001, 12:33 PM");

// Where an item whose picture cannot be read points.
const QString kUnreadableFile = QStringLiteral("/data/data.db.b4");

Item pictureItem(QSize size = QSize(40, 30))
{
    QImage picture(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            picture.setPixel(x, y, qRgb(x * 5 % 256, y * 7 % 256, 90));
    Item item;
    TestSupport::givePicture(item, picture);
    item.alias = QStringLiteral("shot");
    item.created = kOldDate;
    return item;
}

QByteArray pngBytes(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

void sendMouse(QWidget *target, QEvent::Type type, QPoint at, Qt::MouseButtons held)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(at), target->mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &event);
}

struct Fixture
{
    ScriptedMessageBoxes messages;
    ScriptedFileDialogs files;
    FakeClipboard clipboard;
    Item item;
    std::unique_ptr<ImageViewer> viewer;

    explicit Fixture(QSize size = QSize(40, 30))
        : item(pictureItem(size))
    {
        ErrorHandler::install(&messages);
        viewer = std::make_unique<ImageViewer>(item, clipboard, files);
    }
    ~Fixture() { ErrorHandler::install(nullptr); }

    QAction *action(const char *name) const
    {
        auto *found = viewer->findChild<QAction *>(QString::fromLatin1(name));
        if (!found)
            qFatal("no menu entry %s", name);
        return found;
    }
    QLabel *image() const { return viewer->findChild<QLabel *>(QStringLiteral("bmpimg")); }
    QString details() const { return viewer->findChild<QLabel *>(QStringLiteral("details"))->text(); }

    void startDrag(QPoint from, QPoint to) const
    {
        action("Crop1")->trigger();
        sendMouse(image(), QEvent::MouseButtonPress, from, Qt::LeftButton);
        sendMouse(image(), QEvent::MouseMove, to, Qt::LeftButton);
    }
    void drag(QPoint from, QPoint to) const
    {
        startDrag(from, to);
        sendMouse(image(), QEvent::MouseButtonRelease, to, Qt::NoButton);
    }
};

} // namespace

class TestImageViewer : public QObject
{
    Q_OBJECT
private slots:
    void opensWithTheItem();
    void cropInEveryDirection_data();
    void cropInEveryDirection();
    void dragShowsStartAndSize();
    void undoRestoresThePicture();
    void defaultAliasEnablesSave();
    void customAliasAsksForTheName();
    void save_data();
    void save();
    void saveAs_data();
    void saveAs();
    void saveAsFailureIsReported();
    void pasteFollowsTheClipboard();
    void copyIsNotCapturedAgain();
    void largePictureScrolls();
    void unreadablePictureIsReported();
    void treeDialogsOpenTheViewer_data();
    void treeDialogsOpenTheViewer();
};

void TestImageViewer::opensWithTheItem()
{
    Fixture f;
    QCOMPARE(f.viewer->windowTitle(), QStringLiteral("shot"));
    QCOMPARE(f.details(), QStringLiteral("Created:  ") + kOldDate);
    QVERIFY(!f.action("Save1")->isEnabled());
    QVERIFY(!f.action("Undo1")->isEnabled());
    QVERIFY(f.action("Update1")->isChecked());
    QCOMPARE(f.action("Save1")->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
    QCOMPARE(f.action("Close1")->shortcut(), QKeySequence(QStringLiteral("Ctrl+X")));
    QCOMPARE(f.action("SaveandClose1")->shortcut(), QKeySequence(QStringLiteral("Shift+S")));
    QCOMPARE(f.action("Crop1")->shortcut(), QKeySequence(QStringLiteral("Shift+C")));
    QVERIFY(f.viewer->findChild<QWidget *>(QStringLiteral("mm")));
}

void TestImageViewer::cropInEveryDirection_data()
{
    QTest::addColumn<QPoint>("from");
    QTest::addColumn<QPoint>("to");
    QTest::newRow("down right") << QPoint(10, 5) << QPoint(30, 20);
    QTest::newRow("up left") << QPoint(30, 20) << QPoint(10, 5);
    QTest::newRow("down left") << QPoint(30, 5) << QPoint(10, 20);
    QTest::newRow("up right") << QPoint(10, 20) << QPoint(30, 5);
}

void TestImageViewer::cropInEveryDirection()
{
    QFETCH(QPoint, from);
    QFETCH(QPoint, to);
    Fixture f;
    f.drag(from, to);
    QCOMPARE(f.viewer->picture(), TestSupport::pictureOf(f.item).copy(10, 5, 20, 15));
    QCOMPARE(f.viewer->windowTitle(), QStringLiteral("Image: 20 x 15"));
    QVERIFY(!f.viewer->cropping());
    QVERIFY(f.action("Undo1")->isEnabled());
    QVERIFY(f.action("Save1")->isEnabled());
    // The item changes only on Save.
    QCOMPARE(TestSupport::pictureOf(f.item).size(), QSize(40, 30));
}

void TestImageViewer::dragShowsStartAndSize()
{
    Fixture f;
    f.startDrag(QPoint(30, 20), QPoint(10, 5));
    QCOMPARE(f.details(), QStringLiteral("(30 20) - (20, 15)"));
    QVERIFY(f.viewer->cropping());
    // Choosing the entry again leaves crop mode without cropping.
    f.action("Crop1")->trigger();
    QVERIFY(!f.viewer->cropping());
    sendMouse(f.image(), QEvent::MouseButtonRelease, QPoint(10, 5), Qt::NoButton);
    QCOMPARE(f.viewer->picture().size(), QSize(40, 30));
}

void TestImageViewer::undoRestoresThePicture()
{
    Fixture f;
    f.drag(QPoint(0, 0), QPoint(8, 6));
    QCOMPARE(f.viewer->picture().size(), QSize(8, 6));
    const QSize croppedWindow = f.viewer->size();

    f.action("Undo1")->trigger();
    QCOMPARE(f.viewer->picture(), TestSupport::pictureOf(f.item));
    QCOMPARE(f.viewer->windowTitle(), QStringLiteral("Image: 40 x 30"));
    QVERIFY(!f.action("Undo1")->isEnabled());
    QVERIFY(f.viewer->size().height() >= croppedWindow.height());
}

void TestImageViewer::defaultAliasEnablesSave()
{
    Fixture f;
    QVERIFY(!f.action("Save1")->isEnabled());
    f.action("Default1")->trigger();
    QCOMPARE(f.viewer->windowTitle(), QStringLiteral("Image: 40 x 30"));
    QVERIFY(f.action("Save1")->isEnabled());
}

void TestImageViewer::customAliasAsksForTheName()
{
    Fixture f;
    QStringList offered;
    std::optional<QString> answer = QStringLiteral("holiday");
    f.viewer->setAliasAsker([&](QWidget *, const QString &current) {
        offered << current;
        return answer;
    });
    f.action("Custom1")->trigger();
    QCOMPARE(f.viewer->windowTitle(), QStringLiteral("holiday"));
    QVERIFY(f.action("Save1")->isEnabled());

    answer.reset();  // cancelled
    f.action("Custom1")->trigger();
    QCOMPARE(offered, (QStringList{"shot", "holiday"}));
    QCOMPARE(f.viewer->windowTitle(), QStringLiteral("holiday"));
}

void TestImageViewer::save_data()
{
    QTest::addColumn<bool>("updateDate");
    QTest::newRow("date updated") << true;
    QTest::newRow("date kept") << false;
}

void TestImageViewer::save()
{
    QFETCH(bool, updateDate);
    Fixture f;
    f.drag(QPoint(0, 0), QPoint(8, 6));
    if (!updateDate)
        f.action("Update1")->trigger();
    QCOMPARE(f.action("Update1")->isChecked(), updateDate);
    const QString before = f.item.text;
    f.action("Save1")->trigger();

    QVERIFY(f.viewer->saved());
    QCOMPARE(f.item.alias, QStringLiteral("Image: 8 x 6"));
    // The cropped picture is on disk at once, in a side file of its own.
    QVERIFY(f.item.text != before);
    QCOMPARE(QImage(f.item.text).convertToFormat(QImage::Format_RGB32), f.viewer->picture());
    QCOMPARE(f.item.pictureSize, QSize(8, 6));
    QVERIFY(QFile::exists(before));
    QCOMPARE(f.item.created != kOldDate, updateDate);
    QVERIFY(!f.item.created.isEmpty());
    QCOMPARE(f.details(), QStringLiteral("Created:  ") + f.item.created);
    QVERIFY(!f.action("Save1")->isEnabled());
    QVERIFY(!f.action("Undo1")->isEnabled());
}

void TestImageViewer::saveAs_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("written");
    QTest::addColumn<QByteArray>("magic");  // how the file's bytes begin
    const QByteArray jpeg("\xff\xd8\xff");
    const QByteArray bitmap("BM");
    QTest::newRow("jpeg") << "JPEG (*.jpg)" << "shot" << "shot.jpg" << jpeg;
    QTest::newRow("bitmap") << "Bitmaps (*.bmp)" << "shot" << "shot.bmp" << bitmap;
    QTest::newRow("every file") << "All Files (*)" << "shot" << "shot.bmp" << bitmap;
    QTest::newRow("jpeg, named .jpeg") << "JPEG (*.jpg)" << "shot.jpeg" << "shot.jpeg" << jpeg;
    QTest::newRow("bitmap, named .dib") << "Bitmaps (*.bmp)" << "shot.dib" << "shot.dib" << bitmap;
    // The type follows the name typed when the filter is left as it was.
    QTest::newRow("bitmap filter, named .jpg") << "Bitmaps (*.bmp)" << "crop.jpg" << "crop.jpg" << jpeg;
    QTest::newRow("bitmap filter, named .JPEG") << "Bitmaps (*.bmp)" << "crop.JPEG" << "crop.JPEG" << jpeg;
    QTest::newRow("jpeg filter, named .bmp") << "JPEG (*.jpg)" << "crop.bmp" << "crop.bmp" << bitmap;
}

void TestImageViewer::saveAs()
{
    QFETCH(QString, filter);
    QFETCH(QString, typed);
    QFETCH(QString, written);
    QFETCH(QByteArray, magic);
    QTemporaryDir dir;
    Fixture f;
    f.files.answers << dir.filePath(typed);
    f.files.chosenFilterAnswers << filter;
    f.action("SaveAs1")->trigger();

    QFile file(dir.filePath(written));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.read(magic.size()), magic);
    file.close();
    QImageReader reader(dir.filePath(written));
    reader.setDecideFormatFromContent(true);
    QCOMPARE(reader.read().size(), QSize(40, 30));
    QVERIFY(f.messages.shown().isEmpty());
    QVERIFY(!f.viewer->saved());
    QCOMPARE(f.item.alias, QStringLiteral("shot"));
}

void TestImageViewer::saveAsFailureIsReported()
{
    Fixture f;
    f.messages.setAutoAcknowledge(true);
    f.files.answers << QStringLiteral("/nonexistent-folder/for/sure/shot");
    f.action("SaveAs1")->trigger();
    QCOMPARE(f.messages.shown().size(), 1);
    QVERIFY(f.messages.shown().first().text.contains(QStringLiteral("shot.bmp")));
    QCOMPARE(f.viewer->picture().size(), QSize(40, 30));
}

void TestImageViewer::pasteFollowsTheClipboard()
{
    Fixture f;
    f.clipboard.offer({{QStringLiteral("text/plain"), QByteArray("words")}});
    QVERIFY(!f.action("Paste1")->isEnabled());
    f.action("Paste1")->trigger();
    QCOMPARE(f.viewer->picture().size(), QSize(40, 30));

    QImage pasted(12, 9, QImage::Format_RGB32);
    pasted.fill(Qt::red);
    f.clipboard.offer({{QStringLiteral("image/png"), pngBytes(pasted)}});
    QVERIFY(f.action("Paste1")->isEnabled());
    f.action("Paste1")->trigger();
    QCOMPARE(f.viewer->picture().size(), QSize(12, 9));
    QCOMPARE(f.viewer->windowTitle(), QStringLiteral("Image: 12 x 9"));
    QVERIFY(f.action("Undo1")->isEnabled());
    f.action("Undo1")->trigger();
    QCOMPARE(f.viewer->picture(), TestSupport::pictureOf(f.item));
}

void TestImageViewer::copyIsNotCapturedAgain()
{
    Fixture f;
    bool guarded = false;
    QList<bool> guardedAtChange;
    f.viewer->setClipboardGuard([&] { guarded = true; });
    QObject::connect(&f.clipboard, &Clipboard::changed, &f.clipboard, [&] { guardedAtChange << guarded; });
    f.action("Copy1")->trigger();
    // The program's capture sees the change only after it was told to let it pass.
    QCOMPARE(guardedAtChange, QList<bool>{true});
    QVERIFY(!f.clipboard.formats().isEmpty());
}

void TestImageViewer::largePictureScrolls()
{
    Fixture f(QSize(3000, 2400));
    const QSize room = f.viewer->screen()->availableGeometry().size();
    QVERIFY(f.viewer->width() <= room.width());
    QVERIFY(f.viewer->height() <= room.height());
    QCOMPARE(f.image()->size(), QSize(3000, 2400));
}

void TestImageViewer::unreadablePictureIsReported()
{
    ScriptedMessageBoxes messages;
    messages.setAutoAcknowledge(true);
    Item item = pictureItem();
    QVERIFY(!ImageViewer::reportUnviewable(item, messages));
    QVERIFY(messages.shown().isEmpty());

    item.text = kUnreadableFile;
    QVERIFY(ImageViewer::reportUnviewable(item, messages));
    QCOMPARE(messages.shown().size(), 1);
    QCOMPARE(messages.shown().first().title, QStringLiteral("Error"));
    QVERIFY(messages.shown().first().text.contains(kUnreadableFile));

    // A picture past the bounds is refused from its header, with the reason.
    QTemporaryDir dir;
    const QString huge = dir.filePath(QStringLiteral("data.db.b5"));
    TestSupport::writeFile(huge, TestSupport::blankPng(16000, 16000));
    item.text = huge;
    QVERIFY(ImageViewer::reportUnviewable(item, messages));
    QCOMPARE(messages.shown().size(), 2);
    QCOMPARE(messages.shown().last().title, QStringLiteral("Error"));
    QVERIFY(messages.shown().last().text.contains(QLatin1String("cannot be read")));
    QVERIFY(messages.shown().last().text.contains(QLatin1String("16000 x 16000 pixels")));
    QVERIFY(ItemPictures::shared().picture(item).isNull());
}

void TestImageViewer::treeDialogsOpenTheViewer_data()
{
    QTest::addColumn<QString>("closeWith");
    QTest::addColumn<bool>("saved");
    QTest::newRow("Save and Close") << "SaveandClose1" << true;
    QTest::newRow("Close") << "Close1" << false;
}

void TestImageViewer::treeDialogsOpenTheViewer()
{
    QFETCH(QString, closeWith);
    QFETCH(bool, saved);
    ScriptedMessageBoxes messages;
    ScriptedFileDialogs files;
    FakeClipboard clipboard;
    Collection collection;
    QStringList topics;
    QtTreeDialogs dialogs(messages, files);
    dialogs.attach(collection, nullptr, [&topics](const QString &topic) { topics << topic; });
    dialogs.setClipboard(clipboard);

    QString caption;
    QTimer::singleShot(0, [&] {
        ImageViewer *viewer = nullptr;
        for (QWidget *window : QApplication::topLevelWidgets())
            if (auto *found = qobject_cast<ImageViewer *>(window); found && found->isVisible())
                viewer = found;
        if (!viewer)
            return;
        caption = viewer->windowTitle();
        viewer->findChild<QAction *>(QStringLiteral("ImagewindowHelp1"))->trigger();
        viewer->findChild<QAction *>(QStringLiteral("Default1"))->trigger();
        viewer->findChild<QAction *>(closeWith)->trigger();
    });
    Item item = pictureItem();
    const QString stored = item.text;
    QCOMPARE(dialogs.viewImage(item), saved);
    QCOMPARE(caption, QStringLiteral("shot"));
    QCOMPARE(topics, QStringList{QStringLiteral("Bitmap_viewer")});
    QCOMPARE(item.alias, saved ? QStringLiteral("Image: 40 x 30") : QStringLiteral("shot"));
    // Only the caption changed: the picture keeps its side file.
    QCOMPARE(item.text, stored);
    QVERIFY(messages.shown().isEmpty());

    // A picture that could not be read opens no window: the user is told, the item stays.
    messages.setAutoAcknowledge(true);
    Item unreadable = pictureItem();
    unreadable.text = kUnreadableFile;
    QVERIFY(!dialogs.viewImage(unreadable));
    QCOMPARE(messages.shown().size(), 1);
    QCOMPARE(unreadable.text, kUnreadableFile);
}

QTEST_MAIN(TestImageViewer)
#include "tst_imageviewer.moc"
