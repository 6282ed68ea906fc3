#include "richtext/htmldecoding.h"
#include "richtext/htmlimport.h"
#include "richtext/rtfreader.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

#include <chrono>
#include <future>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using Outcome = HtmlImport::Result::Outcome;
Q_DECLARE_METATYPE(HtmlImport::Result::Outcome)

namespace {

QByteArray utf16(const QString &text, bool bigEndian, bool mark)
{
    QByteArray out;
    if (mark)
        out += bigEndian ? QByteArray("\xFE\xFF", 2) : QByteArray("\xFF\xFE", 2);
    for (const QChar c : text) {
        const char high = char(c.unicode() >> 8);
        const char low = char(c.unicode() & 0xFF);
        out += bigEndian ? QByteArray{&high, 1} + QByteArray{&low, 1} : QByteArray{&low, 1} + QByteArray{&high, 1};
    }
    return out;
}

// Windows' clipboard description: byte offsets of the markup and of the copied part.
QByteArray windowsHtml(const QByteArray &markup)
{
    const QByteArray pattern = "Version:0.9\r\nStartHTML:%1\r\nEndHTML:%2\r\nStartFragment:%3\r\nEndFragment:%4\r\n";
    const qsizetype headerSize = QString::fromLatin1(pattern).arg(0, 10, 10, QLatin1Char('0')).arg(0, 10, 10, QLatin1Char('0'))
                                     .arg(0, 10, 10, QLatin1Char('0')).arg(0, 10, 10, QLatin1Char('0')).size();
    const qsizetype start = headerSize;
    const qsizetype end = start + markup.size();
    const QString header = QString::fromLatin1(pattern)
                               .arg(start, 10, 10, QLatin1Char('0'))
                               .arg(end, 10, 10, QLatin1Char('0'))
                               .arg(start, 10, 10, QLatin1Char('0'))
                               .arg(end, 10, 10, QLatin1Char('0'));
    return header.toLatin1() + markup;
}

// What a word looks like once its RTF is read back, as "word:property"
// checks: bold, italic, underline, strike, super, colour=#rrggbb,
// background=#rrggbb, size=N, larger (than the text's other words), left
// (indented), centre.
QString failedCheck(const QString &rtf, const QStringList &checks)
{
    QTextDocument doc;
    RtfReader::read(rtf, &doc);
    const auto find = [&](const QString &word, QTextCharFormat *format, QTextBlockFormat *block) {
        for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
            for (auto it = b.begin(); !it.atEnd(); ++it) {
                if (it.fragment().text().contains(word)) {
                    *format = it.fragment().charFormat();
                    *block = b.blockFormat();
                    return true;
                }
            }
        }
        return false;
    };
    qreal plainSize = 0;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            if (it.fragment().text().contains(QLatin1String("body")))
                plainSize = it.fragment().charFormat().font().pointSizeF();
        }
    }
    for (const QString &check : checks) {
        const QString word = check.section(QLatin1Char(':'), 0, 0);
        const QString property = check.section(QLatin1Char(':'), 1);
        QTextCharFormat f;
        QTextBlockFormat bf;
        if (!find(word, &f, &bf))
            return check + QLatin1String(" (word missing)");
        bool ok = false;
        if (property == QLatin1String("bold"))
            ok = f.fontWeight() >= QFont::Bold;
        else if (property == QLatin1String("plain"))
            ok = f.fontWeight() < QFont::Bold && !f.fontItalic() && !f.fontUnderline();
        else if (property == QLatin1String("italic"))
            ok = f.fontItalic();
        else if (property == QLatin1String("underline"))
            ok = f.fontUnderline();
        else if (property == QLatin1String("strike"))
            ok = f.fontStrikeOut();
        else if (property == QLatin1String("super"))
            ok = f.verticalAlignment() == QTextCharFormat::AlignSuperScript;
        else if (property.startsWith(QLatin1String("colour=")))
            ok = f.foreground().color().name() == property.mid(7);
        else if (property.startsWith(QLatin1String("background=")))
            ok = f.background().color().name() == property.mid(11);
        else if (property.startsWith(QLatin1String("size=")))
            ok = qFuzzyCompare(f.fontPointSize(), property.mid(5).toDouble());
        else if (property == QLatin1String("larger"))
            ok = f.font().pointSizeF() > plainSize && plainSize > 0;
        else if (property == QLatin1String("left"))
            ok = bf.leftMargin() > 0;
        else if (property == QLatin1String("centre"))
            ok = bf.alignment() & Qt::AlignHCenter;
        if (!ok)
            return check;
    }
    return {};
}

} // namespace

class TestHtmlImport : public QObject
{
    Q_OBJECT
private slots:
    void formatsReachTheRtf_data();
    void formatsReachTheRtf();
    void encodings_data();
    void encodings();
    void plainMarkupIsPlain_data();
    void plainMarkupIsPlain();
    void nothingExternalIsLoaded();
    void pastTheBoundsIsNotRead_data();
    void pastTheBoundsIsNotRead();
};

void TestHtmlImport::formatsReachTheRtf_data()
{
    QTest::addColumn<QByteArray>("html");
    QTest::addColumn<QString>("plain");
    QTest::addColumn<QStringList>("checks");
    const auto row = [](const char *name, const char *html, const QString &plain, const QStringList &checks) {
        QTest::newRow(name) << QByteArray(html) << plain << checks;
    };
    row("bold", "<p>body <b>thick</b> and <strong>strong</strong> and <span style=\"font-weight:600\">semi</span></p>",
        "body thick and strong and semi", {"thick:bold", "strong:bold", "semi:bold", "body:plain"});
    row("italic", "<p>body <i>slanted</i> <em>stressed</em></p>", "body slanted stressed",
        {"slanted:italic", "stressed:italic"});
    row("underline", "<p>body <u>under</u></p>", "body under", {"under:underline"});
    row("strike", "<p>body <s>gone</s> <span style=\"text-decoration:line-through\">css</span></p>",
        "body gone css", {"gone:strike", "css:strike"});
    row("raised", "<p>body x<sup>two</sup></p>", "body xtwo", {"two:super"});
    row("colours",
        "<p>body <span style=\"color:#ff0000\">red</span> <font color=\"#0000ff\">blue</font> "
        "<span style=\"background-color:#ffff00\">marked</span></p>",
        "body red blue marked", {"red:colour=#ff0000", "blue:colour=#0000ff", "marked:background=#ffff00"});
    row("font sizes", "<p>body <span style=\"font-size:24px\">px</span> <span style=\"font-size:20pt\">pt</span> "
        "<font size=\"6\">big</font></p>",
        "body px pt big", {"px:size=18", "pt:size=20", "big:larger"});
    row("headings", "<h1>Title</h1><h3>Section</h3><p>body</p>", "Title\r\nSection\r\nbody",
        {"Title:bold", "Title:larger", "Section:bold", "Section:larger"});
    row("links keep their text", "<p>body <a href=\"https://example.com/page\">the link</a> after</p>",
        "body the link after", {"the link:underline"});
    row("bulleted list", "<p>body</p><ul><li>one</li><li>two</li></ul>", "body\r\n\u2022 one\r\n\u2022 two",
        {"one:left", "two:left"});
    row("numbered and nested lists", "<ol><li>first<ul><li>inner</li></ul></li><li>second</li></ol><p>body</p>",
        "1. first\r\n\u2022 inner\r\n2. second\r\nbody", {"first:left", "inner:left"});
    row("line breaks and paragraphs", "<p>body<br>next line</p><p><b>second</b> paragraph</p><div>third</div>",
        "body\r\nnext line\r\nsecond paragraph\r\nthird", {"second:bold"});
    row("tables as tabbed lines",
        "<table><tr><th>Name</th><th>Size</th></tr><tr><td><b>body</b></td><td>12</td></tr>"
        "<tr><td colspan=2>wide</td></tr></table>",
        "Name\tSize\r\nbody\t12\r\nwide", {"body:bold", "Name:bold"});
    row("alignment and quotes", "<p align=center>middle</p><blockquote>quoted</blockquote><p>body</p>",
        "middle\r\nquoted\r\nbody", {"middle:centre", "quoted:left"});
    row("scripts and styles are not text",
        "<style>p { color: red }</style><script>document.write('evil')</script><p>body <b>kept</b></p>"
        "<noscript></noscript>",
        "body kept", {"kept:bold"});
    row("pictures dropped, text kept",
        "<p>body <img src=\"https://example.com/x.png\" alt=\"alt\"><b>bold</b>"
        "<img src=\"data:image/png;base64,iVBORw0KGgo=\"></p>",
        "body bold", {"bold:bold"});
}

void TestHtmlImport::formatsReachTheRtf()
{
    QFETCH(QByteArray, html);
    QFETCH(QString, plain);
    QFETCH(QStringList, checks);
    const HtmlImport::Result result = HtmlImport::convert(html);
    QCOMPARE(result.outcome, Outcome::Formatted);
    QCOMPARE(result.plain, plain);
    // The item's text is RTF whose plain form is the same text.
    QVERIFY(RtfReader::looksLikeRtf(result.rtf));
    QCOMPARE(RtfReader::toPlainText(result.rtf), plain);
    const QString failed = failedCheck(result.rtf, checks);
    QVERIFY2(failed.isEmpty(), qPrintable(failed + QLatin1String("\n") + result.rtf));
}

void TestHtmlImport::encodings_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("plain");
    const QString markup = QStringLiteral("<p><b>Gr\u00FC\u00DFe</b> \u20AC \u65E5\u672C</p>");
    const QString text = QStringLiteral("Gr\u00FC\u00DFe \u20AC \u65E5\u672C");
    QTest::newRow("utf-8") << markup.toUtf8() << text;
    QTest::newRow("utf-8 with meta charset") << (QStringLiteral("<meta charset='utf-8'>") + markup).toUtf8() << text;
    QTest::newRow("utf-16 LE with mark") << utf16(markup, false, true) << text;
    QTest::newRow("utf-16 BE with mark") << utf16(markup, true, true) << text;
    QTest::newRow("utf-16 LE without mark") << utf16(markup, false, false) << text;
    QTest::newRow("meta charset windows-1252")
        << QByteArray("<html><head><meta charset=\"windows-1252\"></head><body><b>Gr\xFC\xDF" "e</b> \x80</body>")
        << QStringLiteral("Gr\u00FC\u00DFe \u20AC");
    QTest::newRow("meta http-equiv iso-8859-2")
        << QByteArray("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-2\"><b>\xB1</b>")
        << QStringLiteral("\u0105");
    QTest::newRow("windows description header")
        << windowsHtml("<html><body><!--StartFragment--><b>Gr\xC3\xBC\xC3\x9F" "e</b><!--EndFragment--></body></html>")
        << QStringLiteral("Gr\u00FC\u00DFe");
    QTest::newRow("windows header with offsets past the end")
        << QByteArray("Version:0.9\r\nStartHTML:999999999999999999999\r\nEndHTML:-1\r\n<b>bold</b>")
        << QStringLiteral("bold");
    QTest::newRow("invalid utf-8 bytes") << QByteArray("<b>a\xC3\x28z\xFF</b>")
                                         << QStringLiteral("a\uFFFD(z\uFFFD");
    QTest::newRow("unknown charset read as utf-8")
        << QByteArray("<meta charset=\"x-no-such-set\"><b>\xC3\xA9t\xC3\xA9</b>") << QStringLiteral("\u00E9t\u00E9");
    QTest::newRow("odd-length utf-16 and lone surrogate")
        << (utf16(QStringLiteral("<b>x"), false, true) + QByteArray("\x00\xD8", 2) + QByteArray("<", 1))
        << QStringLiteral("x\uFFFD");
}

void TestHtmlImport::encodings()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, plain);
    const HtmlImport::Result result = HtmlImport::convert(bytes);
    QCOMPARE(result.outcome, Outcome::Formatted);
    QCOMPARE(result.plain, plain);
    QCOMPARE(RtfReader::toPlainText(result.rtf), plain);
}

void TestHtmlImport::plainMarkupIsPlain_data()
{
    QTest::addColumn<QByteArray>("html");
    QTest::addColumn<QString>("plain");
    QTest::newRow("bare text") << QByteArray("just words") << QStringLiteral("just words");
    QTest::newRow("a browser's styled copy of plain text")
        << QByteArray("<meta charset='utf-8'><span style=\"color: rgb(32, 33, 36); font-family: Arial, sans-serif; "
                      "font-size: 14px; font-weight: 400;\">plain looking</span> ")
        << QStringLiteral("plain looking");
    QTest::newRow("paragraphs only") << QByteArray("<p>one</p>\n<p>two</p>\n") << QStringLiteral("one\r\ntwo");
    QTest::newRow("a picture alone") << QByteArray("<img src=\"https://example.com/a.png\">") << QString();
}

void TestHtmlImport::plainMarkupIsPlain()
{
    QFETCH(QByteArray, html);
    QFETCH(QString, plain);
    const HtmlImport::Result result = HtmlImport::convert(html);
    QCOMPARE(result.outcome, Outcome::PlainOnly);
    QCOMPARE(result.plain, plain);
    QVERIFY(result.rtf.isEmpty());
}

void TestHtmlImport::nothingExternalIsLoaded()
{
    // A FIFO with no writer: opening it to read blocks for ever, so a
    // reader that touched it would never return.
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("picture.png"));
    QVERIFY(mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
    const QString url = QUrl::fromLocalFile(fifo).toString();
    const QByteArray html = QStringLiteral(
        "<html><head><link rel=\"stylesheet\" href=\"%1\"><style>@import url(%1); @import \"%1\";</style></head>"
        "<body background=\"%1\"><p style=\"background-image:url(%1)\">body <b>bold</b>"
        "<img src=\"%1\"><img src=\"%2\"><img src=\"file:///dev/zero\"><img src=\"file:///dev/tty\"></p>"
        "<table background=\"%1\"><tr><td background=\"%1\">cell</td></tr></table></body></html>")
        .arg(url, fifo).toUtf8();
    std::future<HtmlImport::Result> running = std::async(std::launch::async, [html] { return HtmlImport::convert(html); });
    // Waits as long as any machine needs; a hang shows as the FIFO still awaited.
    if (running.wait_for(std::chrono::minutes(1)) != std::future_status::ready) {
        // Free the stuck reader so the test can end, and fail.
        const int fd = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0)
            ::close(fd);
        running.wait();
        QFAIL("the conversion waited on the FIFO named in the markup");
    }
    const HtmlImport::Result result = running.get();
    QCOMPARE(result.outcome, Outcome::Formatted);
    QCOMPARE(result.plain, QStringLiteral("body bold\r\ncell"));
    // No reader ever opened it: a writer finds nobody at the other end.
    const int fd = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK);
    QCOMPARE(fd, -1);
    QCOMPARE(errno, ENXIO);
}

void TestHtmlImport::pastTheBoundsIsNotRead_data()
{
    QTest::addColumn<QByteArray>("html");
    QTest::addColumn<bool>("read");
    const auto nested = [](const char *open, int depth) {
        return QByteArray(open).repeated(depth) + "<b>deep</b>";
    };
    QTest::newRow("nesting within the bound") << nested("<div>", HtmlImport::MaxNesting - 2) << true;
    QTest::newRow("closed nesting does not add up")
        << QByteArray("<div><span><b>x</b></span></div>").repeated(HtmlImport::MaxNesting * 2) << true;
    QTest::newRow("unclosed list items do not nest")
        << (QByteArray("<ul>") + QByteArray("<li><b>x</b>").repeated(HtmlImport::MaxNesting * 2)) << true;
    QTest::newRow("deep divs") << nested("<div>", 100000) << false;
    QTest::newRow("deep lists") << nested("<ul><li>", 50000) << false;
    QTest::newRow("deep tables") << nested("<table><tr><td>", 20000) << false;
    QTest::newRow("deep inline") << nested("<span>", 100000) << false;
    QTest::newRow("markup hidden in comments and scripts is not counted")
        << (QByteArray("<!--") + QByteArray("<div>").repeated(5000) + "--><script>" + QByteArray("<div>").repeated(5000)
            + "</script><b>x</b>")
        << true;
    QByteArray huge;
    while (huge.size() <= 10 * 1024 * 1024)
        huge += "<div><p>Lorem <b>ipsum</b> <a href=\"https://example.com/\">dolor</a> sit amet.</p></div>\n";
    QTest::newRow("10 MB of markup") << huge << false;
}

void TestHtmlImport::pastTheBoundsIsNotRead()
{
    QFETCH(QByteArray, html);
    QFETCH(bool, read);
    const HtmlImport::Result result = HtmlImport::convert(html);
    QCOMPARE(result.outcome == Outcome::PastBounds, !read);
    if (read)
        QVERIFY(!result.plain.isEmpty());
    else
        QVERIFY(result.plain.isEmpty() && result.rtf.isEmpty());
}

QTEST_MAIN(TestHtmlImport)
#include "tst_htmlimport.moc"
