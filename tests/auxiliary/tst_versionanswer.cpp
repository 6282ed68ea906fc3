#include "auxiliary/versionanswer.h"

#include <QFont>
#include <QTest>
#include <QTextDocument>

namespace {

// A document as the window's text box holds it: plain text wrapped at a width.
struct Shown
{
    explicit Shown(const QString &text, qreal width = 300)
    {
        QFont font(QStringLiteral("Sans"));
        font.setPixelSize(13);
        document.setDefaultFont(font);
        document.setPlainText(text);
        document.setTextWidth(width);
    }
    QTextDocument document;
};

QString lines(int count)
{
    QStringList all;
    for (int i = 1; i <= count; ++i)
        all << QStringLiteral("line %1").arg(i);
    return all.join(u'\n');
}

// A paragraph far wider than the text box.
const QString kLongLine = QStringLiteral("This paragraph of the answer is long enough to be wrapped onto several lines "
                                         "of the narrow text box that shows it.");

} // namespace

class TestVersionAnswer : public QObject
{
    Q_OBJECT
private slots:
    void text_data();
    void text();
    void displayedLines_data();
    void displayedLines();
    void downloadAddress_data();
    void downloadAddress();
    void wrappedLinesCountTowardsTheAddress();
};

void TestVersionAnswer::text_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("expected");

    QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << QStringLiteral("a\nb\n");
    QTest::newRow("lone LF") << QByteArray("a\nb") << QStringLiteral("a\nb");
    QTest::newRow("lone CR") << QByteArray("a\rb\r") << QStringLiteral("a\nb\n");
    QTest::newRow("CR CR LF is two breaks") << QByteArray("a\r\r\nb") << QStringLiteral("a\n\nb");
    QTest::newRow("LF CR is two breaks") << QByteArray("a\n\rb") << QStringLiteral("a\n\nb");
    QTest::newRow("control characters dropped, tab kept") << QByteArray("a\x01\x1b[31m\tb\x7f", 11)
                                                          << QStringLiteral("a[31m\tb");
    QTest::newRow("NUL dropped") << QByteArray("a\0b", 3) << QStringLiteral("ab");
    QTest::newRow("UTF-8") << QByteArray("caf\xc3\xa9") << QStringLiteral(u"café");
    QTest::newRow("not UTF-8: Windows-1252") << QByteArray("caf\xe9 \x80") << QStringLiteral(u"café €");
    QTest::newRow("markup stays text") << QByteArray("<b>bold</b>") << QStringLiteral("<b>bold</b>");
}

void TestVersionAnswer::text()
{
    QFETCH(QByteArray, body);
    QFETCH(QString, expected);
    QCOMPARE(VersionAnswer::text(body), expected);
}

void TestVersionAnswer::displayedLines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");

    QTest::newRow("empty") << QString() << 0;
    QTest::newRow("one") << QStringLiteral("one") << 1;
    QTest::newRow("three") << lines(3) << 3;
    QTest::newRow("empty last line not counted") << lines(3) + u'\n' << 3;
    QTest::newRow("only the last empty line goes uncounted") << lines(3) + QStringLiteral("\n\n") << 4;
    QTest::newRow("a lone line break") << QStringLiteral("\n") << 1;
    QTest::newRow("empty lines inside count") << QStringLiteral("a\n\nb") << 3;
}

void TestVersionAnswer::displayedLines()
{
    QFETCH(QString, text);
    QFETCH(int, expected);
    Shown shown(text);
    QCOMPARE(VersionAnswer::displayedLineCount(shown.document), expected);
}

void TestVersionAnswer::downloadAddress_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("left");

    const QString six = lines(6);
    QTest::newRow("five lines: no address") << lines(5) << QString() << lines(5);
    QTest::newRow("five lines and an empty one: no address") << lines(5) + u'\n' << QString() << lines(5) + u'\n';
    QTest::newRow("seven lines: the seventh") << six + QStringLiteral("\nhttp://dl.example/sk24.tar.gz")
                                              << QStringLiteral("http://dl.example/sk24.tar.gz") << six;
    QTest::newRow("with a final line break") << six + QStringLiteral("\nhttps://dl.example/\n")
                                             << QStringLiteral("https://dl.example/") << six;
    QTest::newRow("spaces around it") << six + QStringLiteral("\n  http://dl.example/x  ")
                                      << QStringLiteral("http://dl.example/x") << six;
    QTest::newRow("six lines: the sixth") << lines(5) + QStringLiteral("\nhttp://dl.example/")
                                          << QStringLiteral("http://dl.example/") << lines(5);
    // The answer is outside input: only a web address is offered, and the
    // line stays visible otherwise.
    QTest::newRow("plain words stay") << lines(7) << QString() << lines(7);
    QTest::newRow("a script address stays") << six + QStringLiteral("\njavascript:alert(1)") << QString()
                                            << six + QStringLiteral("\njavascript:alert(1)");
    QTest::newRow("a local file stays") << six + QStringLiteral("\nfile:///etc/passwd") << QString()
                                        << six + QStringLiteral("\nfile:///etc/passwd");
    QTest::newRow("an address without a host stays") << six + QStringLiteral("\nhttp:///x") << QString()
                                                     << six + QStringLiteral("\nhttp:///x");
}

void TestVersionAnswer::downloadAddress()
{
    QFETCH(QString, text);
    QFETCH(QString, address);
    QFETCH(QString, left);
    Shown shown(text);
    QCOMPARE(VersionAnswer::takeDownloadAddress(shown.document).toString(), address);
    QCOMPARE(shown.document.toPlainText(), left);
}

void TestVersionAnswer::wrappedLinesCountTowardsTheAddress()
{
    // Three paragraphs and an address: four lines of text, but more than five on screen.
    const QString text = kLongLine + u'\n' + kLongLine + u'\n' + kLongLine + QStringLiteral("\nhttp://dl.example/");
    Shown wide(text, 100000);
    QCOMPARE(VersionAnswer::displayedLineCount(wide.document), 4);
    QVERIFY(VersionAnswer::takeDownloadAddress(wide.document).isEmpty());

    Shown narrow(text, 200);
    QVERIFY(VersionAnswer::displayedLineCount(narrow.document) > 5);
    QCOMPARE(VersionAnswer::takeDownloadAddress(narrow.document), QUrl(QStringLiteral("http://dl.example/")));
    QCOMPARE(narrow.document.toPlainText(), kLongLine + u'\n' + kLongLine + u'\n' + kLongLine);

}

QTEST_MAIN(TestVersionAnswer)
#include "tst_versionanswer.moc"
