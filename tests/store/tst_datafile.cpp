#include "store/collection.h"
#include "store/datafileformat.h"
#include "store/datafilereader.h"
#include "store/datafilewriter.h"
#include "store/sidefiles.h"
#include "common/programerror.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>

#include "testsupport.h"

using namespace TestSupport;

namespace {

QByteArray crlf(const char *lines)
{
    return QByteArray(lines).replace("|", "\r\n");
}

ParseResult parseBytes(const QByteArray &bytes, const QString &path = QStringLiteral("/nonexistent/data.db"))
{
    DataFileReader reader(path, bytes.size());
    return reader.parse(bytes);
}

QByteArray roundTrip(const QByteArray &bytes)
{
    ParseResult result = parseBytes(bytes);
    Collection c;
    c.replaceAll(std::move(result.categories));
    return DataFileWriter::serialize(c);
}

const char *kStampLine = "Sun, Feb 18, 2001, 12:33 PM";



// An image item as a capture makes it: its side file written beside `dataFile`.
Item imageItem(int w, int h, const QString &dataFile)
{
    Item item;
    item.alias = QStringLiteral("Image: %1 x %2").arg(w).arg(h);
    item.created = QString::fromLatin1(kStampLine);
    givePicture(item, filledPicture(w, h), dataFile);
    return item;
}

} // namespace

class TestDataFile : public QObject
{
    Q_OBJECT
private slots:
    void lineCount_data();
    void lineCount();
    void byteForByte_data();
    void byteForByte();
    void modelRoundTrip();
    void olderLayouts();
    void trailerHandling();
    void flagsLineSearch_data();
    void flagsLineSearch();
    void wholeLoadFailures_data();
    void wholeLoadFailures();
    void partialTreeSurvivesFailure();
    void windows1252AndNul();
    void utf8CheckAgreesWithTheDecoder_data();
    void utf8CheckAgreesWithTheDecoder();
    void neverCrashesOnDamage();
    void sideFilesWrittenAndSwept();
    void sideFileFoundBesideDataFile();
    void missingAndUnreadablePictures();
    void aThousandPicturesDoNotStopSaving();
    void savedFilesAreOwnerOnly();
    void failedSaveReportsError();
};

void TestDataFile::lineCount_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("lines");
    QTest::newRow("empty") << QString() << 0;
    QTest::newRow("word") << QStringLiteral("abc") << 1;
    QTest::newRow("word crlf") << QStringLiteral("abc\r\n") << 1;
    QTest::newRow("two lines") << QStringLiteral("a\r\nb") << 2;
    QTest::newRow("letter two crlf") << QStringLiteral("a\r\n\r\n") << 2;
    QTest::newRow("lone crlf") << QStringLiteral("\r\n") << 1;
    QTest::newRow("lone lf") << QStringLiteral("a\nb") << 1;
    QTest::newRow("lone cr") << QStringLiteral("a\rb\r") << 1;
}

void TestDataFile::lineCount()
{
    QFETCH(QString, text);
    QFETCH(int, lines);
    QCOMPARE(DataFileFormat::lineCount(text), lines);
}

void TestDataFile::byteForByte_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("plain items") << crlf("031|Mail|0|0|3|hello|Sun, Feb 18, 2001, 12:33 PM|1|hello|0001|"
                                         "two|Mon, Feb 19, 2001, 01:05 AM|2|line one|line two|0001|"
                                         "empty|Mon, Feb 19, 2001, 01:05 AM|0||0001|SK: 2.3|");
    QTest::newRow("trailing line breaks") << crlf("031|A|0|0|2|w|Sun, Feb 18, 2001, 12:33 PM|1|word||0001|"
                                                  "w2|Sun, Feb 18, 2001, 12:33 PM|2|a|||0001|SK: 2.3|");
    QTest::newRow("rich text ending in a line break") << crlf("031|A|0|0|1|r|Sun, Feb 18, 2001, 12:33 PM|1|{\\rtf1 a}||0031|"
                                                              "SK: 2.3|");
    QTest::newRow("lone lf and cr stay inside") << QByteArray("031\r\nA\r\n0\r\n0\r\n1\r\nx\r\n") + kStampLine
                                                       + "\r\n1\r\na\nb\rc\r\n0001\r\nSK: 2.3\r\n";
    QTest::newRow("extra texts") << crlf("502|Sign|off|5|1|1|sig|Sun, Feb 18, 2001, 12:33 PM|1|Regards|5101|"
                                         " -- Ann|SK: 2.3|");
    QTest::newRow("rich text and limits") << crlf("203|Rtf|-1|0|1|r|Sun, Feb 18, 2001, 12:33 PM|2|{\\rtf1 a|}|2032|"
                                                  "SK: 2.3|");
    QTest::newRow("utf8 text") << QByteArray("031\r\nKäse\r\n0\r\n0\r\n1\r\n€uro\r\n") + kStampLine
                                      + "\r\n1\r\nŽluťoučký 𝄞\r\n0001\r\nSK: 2.3\r\n";
    QTest::newRow("several categories") << crlf("031|A|10|1|0|120|B|0|0|1|b|Sun, Feb 18, 2001, 12:33 PM|1|b|0001|"
                                                "SK: 2.3|");
}

void TestDataFile::byteForByte()
{
    QFETCH(QByteArray, file);
    ParseResult result = parseBytes(file);
    QVERIFY2(!result.failed, qPrintable(result.failure));
    QVERIFY(result.problems.empty());
    QCOMPARE(roundTrip(file), file);
}

void TestDataFile::modelRoundTrip()
{
    Collection c;
    CategorySettings rec;
    rec.action = AfterPasteAction::TypeExtraText;
    rec.pasteMethod = PasteMethod::EnterKeystrokes;
    rec.actionCount = 9;
    rec.limit = 100;
    rec.lockAtLimit = true;
    rec.setExtraText(QString(300, QLatin1Char('x')));
    CategoryNode *cat = c.appendCategory(QStringLiteral("Forms"), rec);
    QCOMPARE(cat->rec.extraText.size(), 255);
    const QStringList texts{QString(), QStringLiteral("a"), QStringLiteral("a\r\n"), QStringLiteral("a\r\n\r\n"),
                            QStringLiteral("\r\n"), QStringLiteral("x\ny"), QStringLiteral("tab\there")};
    for (const QString &text : texts) {
        Item item;
        item.action = AfterPasteAction::TypeExtraText;
        item.pasteMethod = PasteMethod::InsertAtCursor;
        item.actionCount = 3;
        item.alias = text.left(1) + QStringLiteral("alias");
        item.text = text;
        item.extraText = QStringLiteral("extra");
        item.created = QString::fromLatin1(kStampLine);
        item.category = cat->name;
        cat->items.push_back(std::make_unique<Item>(item));
    }
    const QByteArray bytes = DataFileWriter::serialize(c);
    ParseResult back = parseBytes(bytes);
    QVERIFY(!back.failed);
    QCOMPARE(back.categories.size(), size_t(1));
    const CategoryNode &read = *back.categories.front();
    QCOMPARE(read.name, cat->name);
    QCOMPARE(read.rec.extraText, cat->rec.extraText);
    QVERIFY(read.rec.lockAtLimit);
    QCOMPARE(read.rec.limit, 100);
    QCOMPARE(read.itemCount(), int(texts.size()));
    for (int i = 0; i < read.itemCount(); ++i) {
        const Item &a = *cat->items[size_t(i)];
        const Item &b = *read.items[size_t(i)];
        QCOMPARE(b.text, a.text);
        QCOMPARE(b.alias, a.alias);
        QCOMPARE(b.extraText, a.extraText);
        QCOMPARE(b.category, QStringLiteral("Forms"));
        QCOMPARE(b.action, AfterPasteAction::TypeExtraText);
        QCOMPARE(b.pasteMethod, PasteMethod::InsertAtCursor);
        QCOMPARE(int(b.actionCount), 3);
    }
}

void TestDataFile::olderLayouts()
{
    // No category header and no created line, as the first versions wrote.
    const QByteArray file = crlf("Old one|0|0|2|first|1|text one|0001|second|Tue, Mar 6, 2001, 09:00 AM|1|two|0001|");
    ParseResult result = parseBytes(file);
    QVERIFY(!result.failed);
    const CategoryNode &cat = *result.categories.front();
    QCOMPARE(cat.name, QStringLiteral("Old one"));
    QCOMPARE(cat.rec.action, AfterPasteAction::None);
    QCOMPARE(cat.rec.pasteMethod, PasteMethod::NoCategoryMethod);
    QCOMPARE(cat.rec.actionCount, 0);
    QCOMPARE(cat.itemCount(), 2);
    QCOMPARE(cat.items[0]->text, QStringLiteral("text one"));
    QVERIFY(cat.items[0]->created.contains(QLatin1Char(',')));
    QCOMPARE(cat.items[1]->created, QStringLiteral("Tue, Mar 6, 2001, 09:00 AM"));
    QCOMPARE(cat.items[1]->text, QStringLiteral("two"));
}

void TestDataFile::trailerHandling()
{
    ParseResult onlyTrailer = parseBytes(crlf("SK: 2.3|"));
    QVERIFY(!onlyTrailer.failed);
    QVERIFY(onlyTrailer.categories.empty());

    // Only a last line holding "SK: " is dropped; a file without one loads whole.
    ParseResult noTrailer = parseBytes(crlf("031|A|0|0|1|a|Sun, Feb 18, 2001, 12:33 PM|1|SK: inside|0001"));
    QVERIFY(!noTrailer.failed);
    QCOMPARE(noTrailer.categories.front()->items.front()->text, QStringLiteral("SK: inside"));
}

void TestDataFile::flagsLineSearch_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<int>("badFlags");
    // The count says 1 but the text has 2 lines: the surplus line is dropped.
    QTest::newRow("count one too small") << crlf("031|A|0|0|2|a|Sun, Feb 18, 2001, 12:33 PM|1|l1|l2|0001|"
                                                 "b|Sun, Feb 18, 2001, 12:33 PM|1|bb|0001|")
                                         << QStringList{QStringLiteral("l1"), QStringLiteral("bb")} << 0;
    QTest::newRow("count two too small") << crlf("031|A|0|0|1|a|Sun, Feb 18, 2001, 12:33 PM|1|l1|l2|l3|0001|")
                                         << QStringList{QStringLiteral("l1")} << 0;
    QTest::newRow("garbage flags discard item")
        << crlf("031|A|0|0|2|a|Sun, Feb 18, 2001, 12:33 PM|1|aa|xyz|||b|Sun, Feb 18, 2001, 12:33 PM|1|bb|0001|")
        << QStringList{QStringLiteral("bb")} << 1;
    // Four characters, not four bytes, mark a flags line: this one is read
    // as (bad) flags, so the next item still loads.
    QTest::newRow("non-ASCII four-character line")
        << crlf("031|A|0|0|2|a|Sun, Feb 18, 2001, 12:33 PM|1|aa|\xc3\xb1\xe2\x82\xac\xf0\x9f\x98\x80|"
                "b|Sun, Feb 18, 2001, 12:33 PM|1|bb|0001|")
        << QStringList{QStringLiteral("bb")} << 1;
    QTest::newRow("signed flags discard item")
        << crlf("031|A|0|0|2|a|Sun, Feb 18, 2001, 12:33 PM|1|aa|-100|b|Sun, Feb 18, 2001, 12:33 PM|1|bb|0001|")
        << QStringList{QStringLiteral("bb")} << 1;
}

void TestDataFile::flagsLineSearch()
{
    QFETCH(QByteArray, file);
    ParseResult result = parseBytes(file);
    QVERIFY2(!result.failed, qPrintable(result.failure));
    QStringList read;
    for (const auto &item : result.categories.front()->items)
        read << item->text;
    QFETCH(QStringList, texts);
    QCOMPARE(read, texts);
    QFETCH(int, badFlags);
    QCOMPARE(int(result.problems.size()), badFlags);
}

void TestDataFile::wholeLoadFailures_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("truncated in item") << crlf("031|A|0|0|2|a|Sun, Feb 18, 2001, 12:33 PM|1|aa|0001|b|");
    QTest::newRow("non-integer count") << crlf("031|A|0|0|many|");
    QTest::newRow("non-integer limit") << crlf("031|A|ten|0|0|");
    QTest::newRow("count far too large") << crlf("031|A|0|0|2000000000|a|Sun, Feb 18, 2001, 12:33 PM|1|aa|0001|");
    QTest::newRow("line count far too large") << crlf("031|A|0|0|1|a|Sun, Feb 18, 2001, 12:33 PM|2147483647|x|");
    QTest::newRow("short header") << crlf("12|A|0|0|0|");
    QTest::newRow("signed header") << crlf("-12|A|0|0|0|");
    QTest::newRow("huge number") << crlf("031|A|99999999999999999999|0|0|");
    QTest::newRow("non-integer line count") << crlf("031|A|0|0|1|a|Sun, Feb 18, 2001, 12:33 PM|lots|x|0001|");
}

void TestDataFile::wholeLoadFailures()
{
    QFETCH(QByteArray, file);
    QVERIFY(parseBytes(file).failed);
}

void TestDataFile::partialTreeSurvivesFailure()
{
    ParseResult result = parseBytes(crlf("031|A|0|0|1|a|Sun, Feb 18, 2001, 12:33 PM|1|aa|0001|031|B|0|0|x|"));
    QVERIFY(result.failed);
    QCOMPARE(result.categories.size(), size_t(1));
    QCOMPARE(result.categories.front()->items.front()->text, QStringLiteral("aa"));
}

void TestDataFile::windows1252AndNul()
{
    // "Caf\xe9 \x80" is not UTF-8: a file of the Windows version.
    ParseResult result = parseBytes(QByteArray("031\r\nCaf\xe9\r\n0\r\n0\r\n1\r\n\x93q\x94\r\n") + kStampLine
                                    + "\r\n1\r\n5 \x80\r\n0001\r\n");
    QVERIFY(!result.failed);
    QCOMPARE(result.categories.front()->name, QStringLiteral("Caf\u00e9"));
    QCOMPARE(result.categories.front()->items.front()->alias, QStringLiteral("\u201cq\u201d"));
    QCOMPARE(result.categories.front()->items.front()->text, QStringLiteral("5 \u20ac"));
    // Written back as UTF-8.
    Collection c;
    c.replaceAll(std::move(result.categories));
    QVERIFY(DataFileWriter::serialize(c).contains("Caf\xc3\xa9"));

    // A NUL ends the readable text.
    ParseResult cut = parseBytes(crlf("031|A|0|0|0|") + QByteArray::fromRawData("031\r\nB\0\r\ngarbage", 16));
    QVERIFY(!cut.failed || cut.categories.size() == 1);
    QCOMPARE(cut.categories.front()->name, QStringLiteral("A"));
}

void TestDataFile::utf8CheckAgreesWithTheDecoder_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray ascii(20, 'a');
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("ascii") << ascii;
    QTest::newRow("two, three and four bytes") << QByteArray("\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80 \xef\xbb\xbf");
    QTest::newRow("highest code point") << QByteArray("\xf4\x8f\xbf\xbf");
    QTest::newRow("past the highest") << QByteArray("\xf4\x90\x80\x80");
    QTest::newRow("overlong two") << QByteArray("\xc0\x80");
    QTest::newRow("overlong three") << QByteArray("\xe0\x80\x80");
    QTest::newRow("overlong four") << QByteArray("\xf0\x80\x80\x80");
    QTest::newRow("surrogate") << QByteArray("\xed\xa0\x80");
    QTest::newRow("lone continuation") << ascii + "\x80" + ascii;
    QTest::newRow("cut at the end") << ascii + "\xe2\x82";
    QTest::newRow("cut before ascii") << QByteArray("\xe2\x82") + ascii;
    QTest::newRow("F5 lead") << QByteArray("\xf5\x80\x80\x80");
    QTest::newRow("windows-1252") << QByteArray("Caf\xe9 \x80");
    QTest::newRow("invalid after eight ascii") << ascii + "\xff";
}

// The reader decides the file's encoding without decoding it; the decision
// and the lengths it counts must be the decoder's own.
void TestDataFile::utf8CheckAgreesWithTheDecoder()
{
    QFETCH(QByteArray, bytes);
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = decoder.decode(bytes);
    QCOMPARE(DataFileFormat::isValidUtf8(bytes), !decoder.hasError());
    if (!decoder.hasError())
        QCOMPARE(DataFileFormat::decodedLength(bytes, DataFileFormat::Encoding::Utf8), decoded.size());
}

void TestDataFile::neverCrashesOnDamage()
{
    const QByteArray good = crlf("031|A|0|0|2|a|Sun, Feb 18, 2001, 12:33 PM|2|x|y|5101|extra|b|"
                                 "Sun, Feb 18, 2001, 12:33 PM|1|bb|0001|503|xt|B|3|1|1|c|c,d|1|q|0001|SK: 2.3|");
    QRandomGenerator rng(20261210);
    for (int round = 0; round < 3000; ++round) {
        QByteArray damaged = good;
        const int edits = 1 + int(rng.bounded(6));
        for (int e = 0; e < edits; ++e) {
            const int at = int(rng.bounded(int(damaged.size())));
            switch (rng.bounded(3)) {
            case 0:
                damaged[at] = char(rng.bounded(256));
                break;
            case 1:
                damaged.remove(at, int(rng.bounded(8)) + 1);
                break;
            default:
                damaged.insert(at, "\r\n9");
            }
            if (damaged.isEmpty())
                damaged = "x";
        }
        (void)parseBytes(damaged);
    }
    QByteArray noise(1 << 16, '\0');
    for (char &b : noise)
        b = char(rng.bounded(256));
    (void)parseBytes(noise);
    (void)parseBytes(noise.replace('\0', '\n'));
}

void TestDataFile::sideFilesWrittenAndSwept()
{
    QTemporaryDir dir;
    const QString data = dir.filePath(QStringLiteral("data.db"));
    for (const char *name : {"data.db.b17", "data.db.~bk", "data.db.corrupt", "other.db.b3", "data.db.bak"})
        writeFile(dir.filePath(QString::fromLatin1(name)), "keep?");

    Collection c;
    CategoryNode *cat = c.appendCategory(QStringLiteral("Pics"));
    c.setCurrentCategory(cat);
    QVERIFY(!c.addNewItem(false, imageItem(4, 3, data)));
    Item *item = cat->items.front().get();
    // The capture wrote the picture before any save.
    QVERIFY(item->text.startsWith(data + QStringLiteral(".b")));
    QImage stored(item->text, "BMP");
    QCOMPARE(stored.size(), QSize(4, 3));

    DataFileWriter(data).write(c);
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("data.db.b17"))));
    // Only names of our own pictures are swept: the user's "data.db.bak" stays.
    for (const char *kept : {"data.db.~bk", "data.db.corrupt", "other.db.b3", "data.db.bak"})
        QVERIFY2(QFile::exists(dir.filePath(QString::fromLatin1(kept))), kept);

    // A later save keeps the stored side file rather than writing another.
    const QString first = item->text;
    DataFileWriter(data).write(c);
    QCOMPARE(item->text, first);
    QCOMPARE(SideFiles::onDisk(data), QStringList{first});

    // And the file loads back with its picture.
    ParseResult back = parseBytes(readFile(data), data);
    QVERIFY(!back.failed);
    QCOMPARE(back.categories.front()->items.front()->pictureSize, QSize(4, 3));
    QCOMPARE(back.categories.front()->items.front()->kind, ItemKind::Image);
}

void TestDataFile::sideFileFoundBesideDataFile()
{
    QTemporaryDir dir;
    const QString data = dir.filePath(QStringLiteral("data.db"));
    QImage img(2, 2, QImage::Format_RGB32);
    img.fill(Qt::blue);
    QVERIFY(img.save(dir.filePath(QStringLiteral("data.db.b5")), "BMP"));
    QVERIFY(img.save(dir.filePath(QStringLiteral("data.db.b6")), "BMP"));
    const QByteArray file = QByteArray("031\r\nA\r\n0\r\n0\r\n2\r\nwin\r\n") + kStampLine
                            + "\r\n1\r\nC:\\Program Files\\Scrapkeeper\\data.db.b5\r\n0010\r\nunix\r\n" + kStampLine
                            + "\r\n1\r\n/home/someone/old/data.db.b6\r\n0010\r\n";
    ParseResult result = parseBytes(file, data);
    QVERIFY(result.problems.empty());
    QCOMPARE(result.categories.front()->items[0]->text, dir.filePath(QStringLiteral("data.db.b5")));
    QCOMPARE(result.categories.front()->items[1]->text, dir.filePath(QStringLiteral("data.db.b6")));
    QCOMPARE(result.categories.front()->items[0]->pictureSize, QSize(2, 2));
}

void TestDataFile::missingAndUnreadablePictures()
{
    QTemporaryDir dir;
    const QString data = dir.filePath(QStringLiteral("data.db"));
    writeFile(dir.filePath(QStringLiteral("data.db.b2")), "not a picture at all");
    const QByteArray file = QByteArray("031\r\nA\r\n0\r\n0\r\n3\r\ngone\r\n") + kStampLine + "\r\n1\r\n" + data.toUtf8()
                            + ".b1\r\n0010\r\nbad\r\n" + kStampLine + "\r\n1\r\n" + data.toUtf8()
                            + ".b2\r\n0010\r\ntext\r\n" + kStampLine + "\r\n1\r\nstill here\r\n0001\r\n";
    writeFile(data, file);
    ParseResult result = parseBytes(file, data);
    QVERIFY(!result.failed);
    QCOMPARE(result.problems.size(), size_t(2));
    QCOMPARE(result.problems[0].kind, LoadProblem::MissingImage);
    QCOMPARE(result.problems[0].path, data + QStringLiteral(".b1"));
    QCOMPARE(result.problems[1].kind, LoadProblem::UnreadableImage);
    const CategoryNode &cat = *result.categories.front();
    QCOMPARE(cat.itemCount(), 2);
    QCOMPARE(cat.items[1]->text, QStringLiteral("still here"));

    // The unreadable file is kept by the next save, not swept away.
    Collection c;
    c.replaceAll(std::move(result.categories));
    DataFileWriter(data).write(c);
    QCOMPARE(readFile(dir.filePath(QStringLiteral("data.db.b2"))), QByteArray("not a picture at all"));
}

void TestDataFile::aThousandPicturesDoNotStopSaving()
{
    // 900 pictures saved, 200 new ones: past the thousand names stored
    // collections use, every picture is still saved and loads again.
    QTemporaryDir dir;
    const QString data = dir.filePath(QStringLiteral("data.db"));
    Collection c;
    c.setCurrentCategory(c.appendCategory(QStringLiteral("Pics")));
    for (int i = 0; i < 900; ++i)
        c.insertFirstChild(c.currentCategory(), imageItem(1, 1, data));
    DataFileWriter(data).write(c);
    for (int i = 0; i < 200; ++i)
        c.insertFirstChild(c.currentCategory(), imageItem(2, 1, data));
    c.setCaptureModified();
    DataFileWriter(data).write(c);
    QVERIFY(!c.captureModified());
    QCOMPARE(SideFiles::onDisk(data).size(), 1100);
    ParseResult back = parseBytes(readFile(data), data);
    QVERIFY(!back.failed);
    QVERIFY(back.problems.empty());
    QCOMPARE(back.categories.front()->itemCount(), 1100);
}

void TestDataFile::savedFilesAreOwnerOnly()
{
    QTemporaryDir dir;
    const QString data = dir.filePath(QStringLiteral("data.db"));
    writeFile(data, "old");
    QFile::setPermissions(data, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther);
    Collection c;
    c.setCurrentCategory(c.appendCategory(QStringLiteral("Pics")));
    c.addNewItem(false, imageItem(1, 1, data));
    DataFileWriter(data).write(c);
    const auto ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser | QFileDevice::WriteUser;
    QCOMPARE(QFile::permissions(data), ownerOnly);
    QCOMPARE(QFile::permissions(c.category(0)->items.front()->text), ownerOnly);
}

void TestDataFile::failedSaveReportsError()
{
    QTemporaryDir dir;
    Collection c;
    c.appendCategory(QStringLiteral("A"));
    c.setEditModified();
    QVERIFY_THROWS_EXCEPTION(ProgramError, DataFileWriter(dir.filePath(QStringLiteral("gone/data.db"))).write(c));
    QVERIFY(c.editModified());
}

QTEST_GUILESS_MAIN(TestDataFile)
#include "tst_datafile.moc"
