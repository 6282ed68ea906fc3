#include "capture/clipboardcontent.h"
#include "capture/clipboardmonitor.h"
#include "richtext/htmlimport.h"
#include "richtext/rtfreader.h"
#include "doubles/fakeclipboard.h"
#include "settings/options.h"
#include "store/collection.h"

#include <QBuffer>
#include <QImage>
#include <QFile>
#include <QMimeData>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "testsupport.h"

using namespace TestSupport;
using Flavours = QMap<QString, QByteArray>;

namespace {

class Host : public CaptureHost
{
public:
    QString currentCategoryName() const override { return current; }
    bool applicationMinimised() const override { return minimised; }
    void playCaptureSound() override { ++sounds; }
    QString current = QStringLiteral("A");
    bool minimised = true;
    int sounds = 0;
};

QByteArray png(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::green);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

quint32 crc32(const QByteArray &data)
{
    quint32 crc = 0xFFFFFFFFu;
    for (const char ch : data) {
        crc ^= quint8(ch);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// Only the header of a PNG claiming a huge size: enough to tempt a reader.
QByteArray hugePngHeader(quint32 w, quint32 h)
{
    auto be32 = [](quint32 v) {
        const char bytes[4] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
        return QByteArray(bytes, 4);
    };
    const QByteArray ihdr = QByteArray("IHDR") + be32(w) + be32(h) + QByteArray("\x08\x02\x00\x00\x00", 5);
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + be32(13) + ihdr + be32(crc32(ihdr));
}

const QByteArray kSvg320x200 =
    R"(<svg xmlns="http://www.w3.org/2000/svg" width="320" height="200"><rect width="320" height="200" fill="red"/></svg>)";

} // namespace

class TestClipboardMonitor : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void plainTextBecomesItem_data();
    void plainTextBecomesItem();
    void duplicates_data();
    void duplicates();
    void limitsAndLocks();
    void everyCategorySkipsLockedAndFull();
    void specificCategory();
    void fileList();
    void richText();
    void richTextWithEmptyPlainFormIsSkipped();
    void htmlCopies_data();
    void htmlCopies();
    void textWinsOverImage_data();
    void textWinsOverImage();
    void pictures_data();
    void pictures();
    void aPictureThatCannotBeWrittenIsNotCaptured();
    void secretsAndOwnWrites();
    void hostileClipboards_data();
    void hostileClipboards();
    void refusedCopiesAreReported_data();
    void refusedCopiesAreReported();
    void destinationListsFollowCategories();

private:
    void copy(const Flavours &f) { m_clipboard->offer(f); }
    QStringList aliases(int category) const;
    std::unique_ptr<Collection> m_collection;
    std::unique_ptr<Options> m_options;
    std::unique_ptr<FakeClipboard> m_clipboard;
    std::unique_ptr<Host> m_host;
    QTemporaryDir m_dataFolder;  // where captured pictures are written
    std::unique_ptr<ClipboardMonitor> m_monitor;
};

void TestClipboardMonitor::init()
{
    m_monitor.reset();
    ItemPictures::shared().setDataFile(m_dataFolder.filePath(QStringLiteral("data.db")));
    m_collection = std::make_unique<Collection>();
    for (const char *name : {"A", "B", "C"})
        m_collection->appendCategory(QString::fromLatin1(name));
    m_collection->setCurrentCategory(m_collection->category(0));
    m_collection->refreshCurrentItems();
    m_options = std::make_unique<Options>();
    m_clipboard = std::make_unique<FakeClipboard>();
    copy({{"text/plain", "there before the start"}});
    m_host = std::make_unique<Host>();
    m_monitor = std::make_unique<ClipboardMonitor>(*m_collection, *m_options, *m_clipboard, *m_host);
    m_monitor->join();
}

QStringList TestClipboardMonitor::aliases(int category) const
{
    QStringList result;
    for (const auto &item : m_collection->category(category)->items)
        result << item->alias;
    return result;
}

void TestClipboardMonitor::plainTextBecomesItem_data()
{
    QTest::addColumn<QByteArray>("copied");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("alias");
    QTest::addColumn<bool>("minimised");
    QTest::newRow("one line") << QByteArray("hello") << "hello" << "hello" << true;
    QTest::newRow("lines get CR LF") << QByteArray("  first\nsecond\n") << "  first\r\nsecond\r\n" << "first..." << true;
    QTest::newRow("three spaces") << QByteArray("   ") << "   " << "<3 spaces>" << true;
    QTest::newRow("window open marks an edit") << QByteArray("x") << "x" << "x" << false;
}

void TestClipboardMonitor::plainTextBecomesItem()
{
    QFETCH(QByteArray, copied);
    QFETCH(QString, text);
    QFETCH(QString, alias);
    QFETCH(bool, minimised);
    m_host->minimised = minimised;
    QVERIFY(m_collection->category(0)->items.empty());
    copy({{"text/plain;charset=utf-8", copied}, {"text/plain", copied}});
    const CategoryNode *a = m_collection->category(0);
    QCOMPARE(a->itemCount(), 1);
    const Item &item = *a->items.front();
    QCOMPARE(item.text, text);
    QCOMPARE(item.alias, alias);
    QCOMPARE(item.kind, ItemKind::PlainText);
    QCOMPARE(item.category, QStringLiteral("A"));
    QVERIFY(item.created.contains(QLatin1Char(',')));
    QCOMPARE(m_collection->currentItems().first().item, &item);
    QCOMPARE(m_host->sounds, 1);
    QVERIFY(m_collection->captureModified());
    QCOMPARE(m_collection->editModified(), !minimised);
    QVERIFY(m_monitor->CopyMenuStale);
    QVERIFY(m_monitor->armed);
}

void TestClipboardMonitor::duplicates_data()
{
    QTest::addColumn<bool>("dup");
    QTest::addColumn<QStringList>("sequence");
    QTest::addColumn<QStringList>("aliases");
    QTest::newRow("same twice, dup on") << true << QStringList{"abc", "abc"} << QStringList{"abc"};
    QTest::newRow("same twice, dup off") << false << QStringList{"abc", "abc"} << QStringList{"abc", "abc"};
    QTest::newRow("image between") << true << QStringList{"abc", "<image>", "abc"}
                                   << QStringList{"abc", "Image: 2 x 2", "abc"};
    QTest::newRow("only the newest counts") << true << QStringList{"abc", "def", "abc"}
                                            << QStringList{"abc", "def", "abc"};
}

void TestClipboardMonitor::duplicates()
{
    QFETCH(bool, dup);
    QFETCH(QStringList, sequence);
    QFETCH(QStringList, aliases);
    m_options->set(Option::PreventDuplicates, dup);
    for (const QString &copied : sequence) {
        if (copied == QLatin1String("<image>"))
            copy({{"image/png", png(2, 2)}});
        else
            copy({{"text/plain", copied.toUtf8()}});
    }
    std::reverse(aliases.begin(), aliases.end());
    QCOMPARE(this->aliases(0), aliases);
}

void TestClipboardMonitor::limitsAndLocks()
{
    CategoryNode *a = m_collection->category(0);
    a->rec.limit = 5;
    for (int i = 0; i < 5; ++i)
        copy({{"text/plain", QByteArray::number(i)}});
    QCOMPARE(aliases(0), (QStringList{"4", "3", "2", "1", "0"}));
    copy({{"text/plain", "5"}});
    QCOMPARE(aliases(0), (QStringList{"5", "4", "3", "2", "1"}));
    QCOMPARE(m_collection->currentItems().size(), 5);
    QCOMPARE(m_collection->currentItems().last().item, a->items.back().get());

    a->rec.lockAtLimit = 1;
    m_host->sounds = 0;
    m_collection->clearModified();
    copy({{"text/plain", "6"}});
    QCOMPARE(aliases(0).first(), QStringLiteral("5"));
    QCOMPARE(m_host->sounds, 0);
    QVERIFY(!m_collection->captureModified());
    copy({{"image/png", png(3, 3)}});
    QCOMPARE(a->itemCount(), 5);
}

void TestClipboardMonitor::everyCategorySkipsLockedAndFull()
{
    m_options->set(Option::TextToEveryCategory, true);
    CategoryNode *b = m_collection->category(1);
    b->rec.limit = 1;
    b->rec.lockAtLimit = 1;
    b->items.push_back(std::make_unique<Item>(textItem(QStringLiteral("full"))));
    copy({{"text/plain", "everywhere"}});
    QCOMPARE(aliases(0), QStringList{"everywhere"});
    QCOMPARE(aliases(1), QStringList{"full"});
    QCOMPARE(aliases(2), QStringList{"everywhere"});
    QCOMPARE(m_collection->category(2)->items.front()->category, QStringLiteral("C"));
}

void TestClipboardMonitor::specificCategory()
{
    m_options->set(Option::TextToChosenCategory, true);
    m_options->set(Option::TextCategory, 2);
    copy({{"text/plain", "to C"}});
    QCOMPARE(aliases(2), QStringList{"to C"});
    QVERIFY(aliases(0).isEmpty());
    QVERIFY(m_collection->currentItems().isEmpty());

    // The duplicate test still looks at the current category's newest item.
    m_options->set(Option::TextToCurrentCategory, true);
    copy({{"text/plain", "same"}});
    m_options->set(Option::TextToChosenCategory, true);
    copy({{"text/plain", "same"}});
    QCOMPARE(aliases(2), QStringList{"to C"});

    // A specific category that is the current one takes the current path.
    m_options->set(Option::TextCategory, 0);
    copy({{"text/plain", "current"}});
    QCOMPARE(aliases(0).first(), QStringLiteral("current"));
    QCOMPARE(m_collection->currentItems().first().alias, QStringLiteral("current"));

    m_options->set(Option::ImagesToChosenCategory, true);
    m_options->set(Option::ImageCategory, 1);
    copy({{"image/png", png(4, 5)}});
    QCOMPARE(aliases(1), QStringList{"Image: 4 x 5"});
    QCOMPARE(m_collection->currentItems().first().alias, QStringLiteral("current"));
}

void TestClipboardMonitor::fileList()
{
    copy({{"text/uri-list", "file:///home/ann/a%20b.txt\r\nfile:///tmp/x\r\n"}, {"text/plain", "ignored"}});
    const Item &item = *m_collection->category(0)->items.front();
    QCOMPARE(item.text, QStringLiteral("/home/ann/a b.txt\r\n/tmp/x\r\n"));
    QCOMPARE(item.alias, QStringLiteral("/home/ann/a b.txt..."));
    // Links that are not files are ordinary text.
    copy({{"text/uri-list", "https://example.org/\r\n"}, {"text/plain", "https://example.org/"}});
    QCOMPARE(m_collection->category(0)->items.front()->text, QStringLiteral("https://example.org/"));
}

void TestClipboardMonitor::richText()
{
    const QByteArray rtf = R"({\rtf1\ansi {\b Bold} words\par})";
    copy({{"text/rtf", rtf}, {"text/html", "<b>Bold</b> words"}, {"text/plain", "Bold words"}});
    const Item &item = *m_collection->category(0)->items.front();
    QCOMPARE(item.kind, ItemKind::RichText);
    QVERIFY(item.text.startsWith(QLatin1String("{\\rtf1")));
    QCOMPARE(item.alias, QStringLiteral("Bold words"));
    // The paragraph mark the plain text does not have is gone.
    QCOMPARE(RtfReader::toPlainText(item.text), QStringLiteral("Bold words"));

    // Plain text that ends with a line break keeps the mark.
    copy({{"text/rtf", R"({\rtf1 Line\par})"}, {"text/html", "x"}, {"text/plain", "Line\n"}});
    QCOMPARE(RtfReader::toPlainText(m_collection->category(0)->items.front()->text), QStringLiteral("Line\r\n"));

    m_options->set(Option::CaptureRichText, false);
    copy({{"text/rtf", rtf}, {"text/plain", "plain only"}});
    QCOMPARE(m_collection->category(0)->items.front()->text, QStringLiteral("plain only"));
    QCOMPARE(m_collection->category(0)->items.front()->kind, ItemKind::PlainText);
}

void TestClipboardMonitor::richTextWithEmptyPlainFormIsSkipped()
{
    copy({{"text/rtf", R"({\rtf1{\pict 0102}})"}, {"text/plain", "fallback"}});
    QVERIFY(m_collection->category(0)->items.empty());
}

void TestClipboardMonitor::htmlCopies_data()
{
    QTest::addColumn<Flavours>("flavours");
    QTest::addColumn<bool>("keepFormatting");  // "Keep the formatting of web and mail copies"
    QTest::addColumn<bool>("allowRtf");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("plainForm");  // of the stored text
    QTest::addColumn<QString>("alias");
    const QByteArray markup = "<meta charset='utf-8'><p><b>Bold</b> and <i>slanted</i></p><ul><li>item</li></ul>";
    const QByteArray plain = "Bold and slanted\nitem";
    const int rich = int(ItemKind::RichText);
    const int text = int(ItemKind::PlainText);
    const int image = int(ItemKind::Image);
    QTest::newRow("formatted copy") << Flavours{{"text/html", markup}, {"text/plain", plain}} << true << true << rich
                                    << QStringLiteral("Bold and slanted\r\n\u2022 item")
                                    << QStringLiteral("Bold and slanted...");
    QTest::newRow("option off") << Flavours{{"text/html", markup}, {"text/plain", plain}} << false << true << text
                                << QStringLiteral("Bold and slanted\r\nitem") << QStringLiteral("Bold and slanted...");
    QTest::newRow("rich text captures off") << Flavours{{"text/html", markup}, {"text/plain", plain}} << true << false
                                            << text << QStringLiteral("Bold and slanted\r\nitem")
                                            << QStringLiteral("Bold and slanted...");
    QTest::newRow("RTF wins") << Flavours{{"text/rtf", R"({\rtf1 {\i From} RTF})"}, {"text/html", markup},
                                          {"text/plain", "From RTF"}}
                              << true << true << rich << QStringLiteral("From RTF") << QStringLiteral("From RTF");
    QTest::newRow("markup with nothing but text keeps the plain text")
        << Flavours{{"text/html", "<span style=\"font-family: Arial; font-size: 16px\">just  words</span>"},
                    {"text/plain", "just  words"}}
        << true << true << text << QStringLiteral("just  words") << QStringLiteral("just  words");
    QTest::newRow("formatted markup alone") << Flavours{{"text/html", "<u>under</u> line"}} << true << true << rich
                                            << QStringLiteral("under line") << QStringLiteral("under line");
    QTest::newRow("plain markup alone") << Flavours{{"text/html", "<p>one</p><p>two</p>"}} << true << true << text
                                        << QStringLiteral("one\r\ntwo") << QStringLiteral("one...");
    QTest::newRow("a copied picture's markup leaves the picture")
        << Flavours{{"text/html", "<img src=\"https://example.com/a.png\">"}, {"image/png", png(6, 7)}} << true
        << true << image << QString() << QStringLiteral("Image: 6 x 7");
    QTest::newRow("too deep: the plain text")
        << Flavours{{"text/html", QByteArray("<div>").repeated(50000) + "<b>deep</b>"}, {"text/plain", "deep"}}
        << true << true << text << QStringLiteral("deep") << QStringLiteral("deep");
    QByteArray huge;
    while (huge.size() <= HtmlImport::MaxMarkupCharacters)
        huge += "<p><b>Lorem</b> ipsum <i>dolor</i> sit amet.</p>\n";
    QTest::newRow("too long: the plain text")
        << Flavours{{"text/html", huge}, {"text/plain", "Lorem ipsum"}} << true << true << text
        << QStringLiteral("Lorem ipsum") << QStringLiteral("Lorem ipsum");
    QTest::newRow("past the capture limit: the plain text")
        << Flavours{{"text/html", QByteArray(ClipboardContent::MaxBytes + 1, 'x')}, {"text/plain", "small"}} << true
        << true << text << QStringLiteral("small") << QStringLiteral("small");
}

void TestClipboardMonitor::htmlCopies()
{
    QFETCH(Flavours, flavours);
    QFETCH(bool, keepFormatting);
    QFETCH(bool, allowRtf);
    QFETCH(int, kind);
    QFETCH(QString, plainForm);
    QFETCH(QString, alias);
    m_options->set(Option::CaptureHtml, keepFormatting);
    m_options->set(Option::CaptureRichText, allowRtf);
    copy(flavours);
    QCOMPARE(m_collection->category(0)->itemCount(), 1);
    const Item &item = *m_collection->category(0)->items.front();
    QCOMPARE(int(item.kind), kind);
    QCOMPARE(item.alias, alias);
    if (item.kind != ItemKind::Image)
        QCOMPARE(item.kind == ItemKind::RichText ? RtfReader::toPlainText(item.text) : item.text, plainForm);
    // The same copy again is the same item.
    copy(flavours);
    QCOMPARE(m_collection->category(0)->itemCount(), kind == int(ItemKind::Image) ? 2 : 1);
}

void TestClipboardMonitor::textWinsOverImage_data()
{
    QTest::addColumn<bool>("autoText");
    QTest::addColumn<QString>("alias");
    QTest::newRow("text capture on") << true << "words";
    QTest::newRow("text capture off") << false << "Image: 6 x 7";
}

void TestClipboardMonitor::textWinsOverImage()
{
    QFETCH(bool, autoText);
    QFETCH(QString, alias);
    m_options->set(Option::CaptureText, autoText);
    copy({{"text/plain", "words"}, {"image/png", png(6, 7)}});
    QCOMPARE(aliases(0), QStringList{alias});
}

void TestClipboardMonitor::pictures_data()
{
    QTest::addColumn<Flavours>("flavours");
    QTest::addColumn<QString>("alias");
    QTest::newRow("png") << Flavours{{"image/png", png(30, 20)}} << "Image: 30 x 20";
    QTest::newRow("svg at its own size") << Flavours{{"image/svg+xml", kSvg320x200}} << "Image: 320 x 200";
    QTest::newRow("huge svg rendered to fit")
        << Flavours{{"image/svg+xml", R"(<svg xmlns="http://www.w3.org/2000/svg" width="16384" height="8192"/>)"}}
        << "Image: 4096 x 2048";
    QTest::newRow("raster preferred to svg") << Flavours{{"image/svg+xml", kSvg320x200}, {"image/png", png(8, 9)}}
                                             << "Image: 8 x 9";
}

void TestClipboardMonitor::pictures()
{
    QFETCH(Flavours, flavours);
    QFETCH(QString, alias);
    copy(flavours);
    const Item &item = *m_collection->category(0)->items.front();
    QCOMPARE(item.alias, alias);
    QCOMPARE(item.kind, ItemKind::Image);
    // Its side file is written at capture, not at the next save.
    QVERIFY(item.text.startsWith(m_dataFolder.filePath(QStringLiteral("data.db.b"))));
    const QSize size = ItemPictures::declaredSize(item.text);
    QCOMPARE(item.pictureSize, size);
    QCOMPARE(QStringLiteral("Image: %1 x %2").arg(size.width()).arg(size.height()), alias);
    QCOMPARE(m_collection->currentItems().first().item, &item);
}

void TestClipboardMonitor::aPictureThatCannotBeWrittenIsNotCaptured()
{
    ItemPictures::shared().setDataFile(m_dataFolder.filePath(QStringLiteral("no such folder/data.db")));
    const int before = m_collection->category(0)->itemCount();
    copy({{"image/png", png(8, 9)}});
    QCOMPARE(m_collection->category(0)->itemCount(), before);
    QVERIFY(!m_collection->captureModified());
}

void TestClipboardMonitor::secretsAndOwnWrites()
{
    copy({{"text/plain", "hunter2"}, {"x-kde-passwordManagerHint", "secret"}});
    QVERIFY(m_collection->category(0)->items.empty());

    // The program's own writes disarm the monitor first.
    m_monitor->armed = false;
    auto *mime = new QMimeData;
    mime->setText(QStringLiteral("pasted by us"));
    m_clipboard->setMimeData(mime);
    QVERIFY(m_collection->category(0)->items.empty());
    QVERIFY(m_monitor->armed);

    m_monitor->suppressCount = 1;
    copy({{"text/plain", "during a rich copy"}});
    m_monitor->suppressCount = 0;
    QVERIFY(m_collection->category(0)->items.empty());

    copy({{"text/plain", "next user copy"}});
    QCOMPARE(aliases(0), QStringList{"next user copy"});
}

void TestClipboardMonitor::hostileClipboards_data()
{
    QTest::addColumn<Flavours>("flavours");
    QTest::addColumn<bool>("captured");
    QTest::addColumn<int>("refusal");  // what the user is told of a copy not kept
    using R = Refusal::Reason;
    QTest::newRow("100 MB text") << Flavours{{"text/plain", QByteArray(100 * 1024 * 1024, 'x')}} << false
                                 << int(R::TooLarge);
    QTest::newRow("100 MB rich text") << Flavours{{"text/rtf", QByteArray(100 * 1024 * 1024, 'x')}} << false
                                      << int(R::TooLarge);
    // Only a header: the picture cannot be read at all.
    QTest::newRow("20000 x 20000 image") << Flavours{{"image/png", hugePngHeader(20000, 20000)}} << false
                                         << int(R::Unreadable);
    // One bound with the pictures the program shows: judged by the decoded size, not the file's.
    QTest::newRow("16000 x 16000 one-bit image") << Flavours{{"image/png", TestSupport::blankPng(16000, 16000)}}
                                                 << false << int(R::TooLarge);
    QTest::newRow("one side past the bound") << Flavours{{"image/png", TestSupport::blankPng(16385, 10)}} << false
                                             << int(R::TooLarge);
    QTest::newRow("one side at the bound") << Flavours{{"image/png", TestSupport::blankPng(16384, 10)}} << true
                                           << int(R::None);
    QTest::newRow("garbage offered as png") << Flavours{{"image/png", QByteArray(5000, '\x7f')}} << false
                                            << int(R::Unreadable);
    QTest::newRow("binary bytes as text") << Flavours{{"text/plain", QByteArray("a\0b\xff\xfe", 5)}} << true
                                          << int(R::None);
    QTest::newRow("malformed rtf") << Flavours{{"text/rtf", "{\\rtf1 {{{\\b unclosed \\'"}} << true << int(R::None);
    // Nothing the user would miss: said nothing.
    QTest::newRow("empty text") << Flavours{{"text/plain", ""}} << false << int(R::None);
    QTest::newRow("nothing usable") << Flavours{{"application/x-something", "data"}} << false << int(R::None);
}

void TestClipboardMonitor::hostileClipboards()
{
    QFETCH(Flavours, flavours);
    QFETCH(bool, captured);
    QFETCH(int, refusal);
    copy({{"text/plain", "kept"}});
    QSignalSpy refused(m_monitor.get(), &ClipboardMonitor::captureRefused);
    copy(flavours);
    QCOMPARE(refused.size(), refusal == int(Refusal::Reason::None) ? 0 : 1);
    if (!refused.isEmpty()) {
        const auto told = refused.first().first().value<Refusal>();
        QCOMPARE(int(told.reason), refusal);
        QVERIFY(!told.why.isEmpty());
    }
    const QStringList items = aliases(0);
    QCOMPARE(items.size(), captured ? 2 : 1);
    QCOMPARE(items.last(), QStringLiteral("kept"));
    for (const auto &item : m_collection->category(0)->items)
        QVERIFY(!item->text.contains(QChar(0)));
    QVERIFY(m_monitor->armed);
}

void TestClipboardMonitor::refusedCopiesAreReported_data()
{
    // "A" is current; the setup locks categories at their limit of one item.
    QTest::addColumn<QString>("setup");
    QTest::addColumn<Flavours>("flavours");
    QTest::addColumn<QString>("told");  // empty: kept, or nothing to say
    const QString lockedA = QStringLiteral("Category \"A\" is locked and full (its limit is 1).");
    const QString lockedC = QStringLiteral("Category \"C\" is locked and full (its limit is 1).");
    const Flavours text{{"text/plain", "new copy"}};
    const Flavours picture{{"image/png", png(3, 2)}};
    QTest::newRow("text, current locked and full") << "lock A" << text << lockedA;
    QTest::newRow("picture, current locked and full") << "lock A" << picture << lockedA;
    QTest::newRow("text to a specific category locked and full") << "lock C, text to C" << text << lockedC;
    QTest::newRow("picture to a specific category locked and full") << "lock C, pictures to C" << picture << lockedC;
    QTest::newRow("every category, all locked and full") << "lock all, text everywhere" << text << lockedA;
    QTest::newRow("every category, some took it") << "lock A, text everywhere" << text << QString();
    QTest::newRow("duplicate of the newest item") << "" << Flavours{{"text/plain", "newest"}} << QString();
    QTest::newRow("secret") << "" << Flavours{{"text/plain", "pw"}, {"x-kde-passwordManagerHint", "secret"}}
                            << QString();
    QTest::newRow("web formatting too deep to read, without plain text")
        << "" << Flavours{{"text/html", QByteArray("<div>").repeated(50000) + "<b>deep</b>"}}
        << "Its web formatting is too long or too deeply nested to read, and it came without plain text.";
    QTest::newRow("picture that cannot be written") << "no picture folder" << picture << "?";
}

void TestClipboardMonitor::refusedCopiesAreReported()
{
    QFETCH(QString, setup);
    QFETCH(Flavours, flavours);
    QFETCH(QString, told);
    copy({{"text/plain", "newest"}});
    const auto lock = [this](int index) {
        CategoryNode *category = m_collection->category(index);
        if (category->items.empty())
            category->items.push_back(std::make_unique<Item>(textItem(QStringLiteral("held"))));
        category->rec.limit = 1;
        category->rec.lockAtLimit = true;
    };
    if (setup.contains(QLatin1String("lock A")) || setup.contains(QLatin1String("lock all")))
        lock(0);
    if (setup.contains(QLatin1String("lock C")) || setup.contains(QLatin1String("lock all")))
        lock(2);
    if (setup.contains(QLatin1String("lock all")))
        lock(1);
    if (setup.contains(QLatin1String("text to C"))) {
        m_options->set(Option::TextToChosenCategory, true);
        m_options->set(Option::TextCategory, 2);
    }
    if (setup.contains(QLatin1String("pictures to C"))) {
        m_options->set(Option::ImagesToChosenCategory, true);
        m_options->set(Option::ImageCategory, 2);
    }
    if (setup.contains(QLatin1String("everywhere")))
        m_options->set(Option::TextToEveryCategory, true);
    if (setup == QLatin1String("no picture folder"))
        ItemPictures::shared().setDataFile(m_dataFolder.filePath(QStringLiteral("no such folder/data.db")));
    const int before = m_collection->totalItemCount();

    QSignalSpy refused(m_monitor.get(), &ClipboardMonitor::captureRefused);
    QSignalSpy captured(m_monitor.get(), &ClipboardMonitor::itemCaptured);
    copy(flavours);
    if (told.isEmpty()) {
        QVERIFY(refused.isEmpty());
        return;
    }
    // Said once, and nothing stored.
    QCOMPARE(refused.size(), 1);
    QVERIFY(captured.isEmpty());
    QCOMPARE(m_collection->totalItemCount(), before);
    const auto refusal = refused.first().first().value<Refusal>();
    if (told == QLatin1String("?"))
        QVERIFY(!refusal.why.isEmpty());  // the file error's own words
    else
        QCOMPARE(refusal.why, told);
}

void TestClipboardMonitor::destinationListsFollowCategories()
{
    m_options->set(Option::TextToChosenCategory, true);
    m_options->set(Option::TextCategory, 2);   // C
    m_options->set(Option::ImagesToChosenCategory, true);
    m_options->set(Option::ImageCategory, 1);   // B
    const QStringList oldNames{"A", "B", "C"};
    // C moves to the front; B goes away.
    CategoryList fresh;
    for (const char *name : {"C", "A"}) {
        auto node = std::make_unique<CategoryNode>();
        node->name = QString::fromLatin1(name);
        fresh.push_back(std::move(node));
    }
    m_collection->replaceAll(std::move(fresh));
    m_monitor->refreshDestinationLists(oldNames);
    QCOMPARE(m_options->number(Option::TextCategory), 0);
    QVERIFY(m_options->flag(Option::TextToChosenCategory));
    QCOMPARE(m_options->number(Option::ImageCategory), 0);
    QVERIFY(m_options->flag(Option::ImagesToCurrentCategory));
    QVERIFY(!m_options->flag(Option::ImagesToChosenCategory));
}

QTEST_MAIN(TestClipboardMonitor)
#include "tst_clipboardmonitor.moc"
