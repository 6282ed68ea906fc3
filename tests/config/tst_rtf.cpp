#include "capture/aliasderivation.h"
#include "richtext/richtextplain.h"
#include "richtext/rtfreader.h"
#include "richtext/rtfwriter.h"

#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>

namespace {

QString fixture(const QString &name)
{
    QFile f(QStringLiteral(SK_TEST_DATA_DIR "/fixtures/") + name);
    if (!f.open(QIODevice::ReadOnly))
        qFatal("missing fixture %s", qPrintable(name));
    return QString::fromLatin1(f.readAll());
}

QString plain(const QString &source)
{
    return RtfReader::toPlainText(source);
}

// The fragment whose text contains `text`, with its block.
bool findFragment(const QTextDocument &doc, const QString &text, QTextFragment *found, QTextBlock *block)
{
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            if (it.fragment().text().contains(text)) {
                *found = it.fragment();
                *block = b;
                return true;
            }
        }
    }
    return false;
}

// One line per fragment: its text and the formats that matter to the user.
QStringList describe(const QTextDocument &doc)
{
    QStringList lines;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        const QTextBlockFormat bf = b.blockFormat();
        lines << QStringLiteral("block %1 %2 %3 %4")
                     .arg(int(bf.alignment() & Qt::AlignHorizontal_Mask))
                     .arg(bf.leftMargin())
                     .arg(bf.rightMargin())
                     .arg(bf.textIndent());
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            lines << QStringLiteral("  %1|b%2 i%3 u%4 s%5 v%6|%7|%8|%9|%10")
                         .arg(it.fragment().text())
                         .arg(f.fontWeight() >= QFont::Bold)
                         .arg(f.fontItalic())
                         .arg(f.fontUnderline())
                         .arg(f.fontStrikeOut())
                         .arg(int(f.verticalAlignment()))
                         .arg(f.hasProperty(QTextFormat::FontPointSize) ? f.fontPointSize() : 0)
                         .arg(f.fontFamilies().toStringList().join(QLatin1Char(',')))
                         .arg(f.hasProperty(QTextFormat::ForegroundBrush) ? f.foreground().color().name() : QString())
                         .arg(f.hasProperty(QTextFormat::BackgroundBrush) ? f.background().color().name() : QString());
        }
    }
    return lines;
}

// Checks one format of the fragment holding `text`, as "bold", "fg=#ff0000", "left=36", ...
void verifyFormat(const QString &source, const QString &text, const QString &check)
{
    QTextDocument doc;
    RtfReader::read(source, &doc);
    QTextFragment fragment;
    QTextBlock block;
    QVERIFY2(findFragment(doc, text, &fragment, &block), qPrintable(text));
    const QTextCharFormat f = fragment.charFormat();
    const QString value = check.section(QLatin1Char('='), 1);
    if (check == QLatin1String("bold"))
        QVERIFY(f.fontWeight() >= QFont::Bold);
    else if (check == QLatin1String("italic"))
        QVERIFY(f.fontItalic());
    else if (check == QLatin1String("underline"))
        QVERIFY(f.fontUnderline());
    else if (check == QLatin1String("strike"))
        QVERIFY(f.fontStrikeOut());
    else if (check == QLatin1String("plain"))
        QVERIFY(f.fontWeight() < QFont::Bold && !f.fontItalic() && !f.fontUnderline() && !f.fontStrikeOut());
    else if (check.startsWith(QLatin1String("fg=")))
        QCOMPARE(f.foreground().color().name(), value);
    else if (check.startsWith(QLatin1String("bg=")))
        QCOMPARE(f.background().color().name(), value);
    else if (check.startsWith(QLatin1String("family=")))
        QCOMPARE(f.fontFamilies().toStringList().value(0), value);
    else if (check.startsWith(QLatin1String("size=")))
        QCOMPARE(f.fontPointSize(), value.toDouble());
    else if (check.startsWith(QLatin1String("left=")))
        QCOMPARE(block.blockFormat().leftMargin(), value.toDouble());
    else if (check.startsWith(QLatin1String("right=")))
        QCOMPARE(block.blockFormat().rightMargin(), value.toDouble());
    else if (check == QLatin1String("align=left"))
        QCOMPARE(block.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    else if (check == QLatin1String("align=center"))
        QCOMPARE(block.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    else if (check == QLatin1String("align=right"))
        QCOMPARE(block.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    else
        QFAIL("unknown check");
}

} // namespace

class TestRtf : public QObject
{
    Q_OBJECT
private slots:
    void realDocumentsText_data();
    void realDocumentsText();
    void realDocumentsFormats_data();
    void realDocumentsFormats();
    void smallSourceFormats_data();
    void smallSourceFormats();
    void readerFeatures_data();
    void readerFeatures();
    void damagedSourceIsHarmless_data();
    void damagedSourceIsHarmless();
    void randomBytesNeverCrash();
    void writerRoundTrip();
    void writerOutputIsPortable();
    void plainReadingMatchesDocument_data();
    void plainReadingMatchesDocument();
    void firstLineOnlyGivesTheSameAlias_data();
    void firstLineOnlyGivesTheSameAlias();
    void lastBreakCanBeDropped_data();
    void lastBreakCanBeDropped();
    void realDocumentsRoundTrip_data();
    void realDocumentsRoundTrip();
};

void TestRtf::realDocumentsText_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("lines");
    const QStringList sample{QStringLiteral("Plain, bold, italic, underline, strike."),
                             QStringLiteral("Big red serif and highlighted"),
                             QStringLiteral("Grüße — naïve café € 日本"),
                             QStringLiteral("Right aligned"),
                             QStringLiteral("A1\tB1"),
                             QStringLiteral("A2\tB2")};
    QTest::newRow("LibreOffice Writer") << "libreoffice.rtf" << sample;
    QTest::newRow("AbiWord") << "abiword.rtf" << sample;
    QTest::newRow("WordPad") << "wordpad.rtf"
                             << QStringList{QStringLiteral("Hello bold and italic"), QStringLiteral("Red café € €"),
                                            QStringLiteral("Привет"), QStringLiteral("text after"),
                                            QStringLiteral("centered"), QStringLiteral("indented link"),
                                            QStringLiteral("\U0001F600smile")};
}

void TestRtf::realDocumentsText()
{
    QFETCH(QString, file);
    QFETCH(QStringList, lines);
    const QStringList read = plain(fixture(file)).split(QStringLiteral("\r\n"));
    for (const QString &line : lines)
        QVERIFY2(read.contains(line), qPrintable(line + QStringLiteral(" not in ") + read.join(QLatin1Char('|'))));
    // The picture leaves the text around it in place.
    if (file != QLatin1String("wordpad.rtf"))
        QVERIFY(read.filter(QRegularExpression(QStringLiteral("^before +after$"))).size() == 1);
}

void TestRtf::realDocumentsFormats_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("check");
    for (const char *file : {"libreoffice.rtf", "abiword.rtf"}) {
        const QString f = QString::fromLatin1(file);
        auto row = [&](const char *text, const char *check) {
            QTest::addRow("%s %s %s", file, text, check) << f << QString::fromUtf8(text) << QString::fromLatin1(check);
        };
        row("bold", "bold");
        row("italic", "italic");
        row("underline", "underline");
        row("strike", "strike");
        row("Big red serif", "fg=#ff0000");
        row("Big red serif", "family=DejaVu Serif");
        row("highlighted", "bg=#ffff00");
        row("Grüße", "align=center");
        row("Right aligned", "align=right");
        row("Plain, ", "plain");
    }
    QTest::newRow("libreoffice size") << "libreoffice.rtf" << "Big red serif" << "size=18";
    QTest::newRow("wordpad size") << "wordpad.rtf" << "Hello" << "size=11";
    QTest::newRow("wordpad colour") << "wordpad.rtf" << "Red" << "fg=#ff0000";
    QTest::newRow("wordpad indent") << "wordpad.rtf" << "indented" << "left=36";
    QTest::newRow("wordpad field result") << "wordpad.rtf" << "link" << "underline";
    QTest::newRow("wordpad charset font") << "wordpad.rtf" << "Привет" << "family=Times New Roman Cyr";
}

void TestRtf::realDocumentsFormats()
{
    QFETCH(QString, file);
    QFETCH(QString, text);
    QFETCH(QString, check);
    verifyFormat(fixture(file), text, check);
}

void TestRtf::smallSourceFormats_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("check");
    const QString colours = QStringLiteral("{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}");
    QTest::newRow("double underline") << R"({\rtf1\uldb x})" << "x" << "underline";
    QTest::newRow("wave underline") << R"({\rtf1\ulwave x})" << "x" << "underline";
    QTest::newRow("double strike") << R"({\rtf1\striked1 x})" << "x" << "strike";
    QTest::newRow("cell background") << "{\\rtf1" + colours + "\\cb2 x}" << "x" << "bg=#0000ff";
    QTest::newRow("pattern background") << "{\\rtf1" + colours + "\\chcbpat1 x}" << "x" << "bg=#ff0000";
    QTest::newRow("left indent for the line") << R"({\rtf1\lin720 x})" << "x" << "left=36";
    QTest::newRow("right indent for the line") << R"({\rtf1\rin720 x})" << "x" << "right=36";
    // Formats met before the tables that define them change once the tables arrive.
    QTest::newRow("colour table after text") << "{\\rtf1\\cf1 a\\cf0 x" + colours + "\\cf1 b}" << "b" << "fg=#ff0000";
    QTest::newRow("font table after text") << R"({\rtf1\f1 a\f0 x{\fonttbl{\f1 Courier New;}}\f1 b})" << "b"
                                           << "family=Courier New";
    // Each paragraph keeps the alignment in force at its mark, the same one or not.
    QTest::newRow("same alignment twice") << R"({\rtf1\qc a\par b\par\pard c})" << "b" << "align=center";
    QTest::newRow("alignment reset") << R"({\rtf1\qc a\par b\par\pard c})" << "c" << "align=left";
}

void TestRtf::smallSourceFormats()
{
    QFETCH(QString, source);
    QFETCH(QString, text);
    QFETCH(QString, check);
    verifyFormat(source, text, check);
}

void TestRtf::readerFeatures_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("text");
    QTest::newRow("escapes") << R"({\rtf1 a\\b\{c\}d})" << "a\\b{c}d";
    QTest::newRow("line and tab") << R"({\rtf1 a\line b\tab c})" << "a\r\nb\tc";
    QTest::newRow("paragraphs") << R"({\rtf1 one\par two\par three})" << "one\r\ntwo\r\nthree";
    QTest::newRow("sections and pages") << R"({\rtf1 a\sect b\page c})" << "a\r\nb\r\nc";
    QTest::newRow("non-breaking space") << R"({\rtf1 a\~b})" << QStringLiteral("a\u00a0b");
    QTest::newRow("hex in default code page") << R"({\rtf1\ansi caf\'e9 \'93q\'94})" << QStringLiteral("café “q”");
    QTest::newRow("hex in declared code page") << R"({\rtf1\ansi\ansicpg1251 \'cf\'f0\'e8})" << QStringLiteral("При");
    QTest::newRow("double-byte code page") << R"({\rtf1\ansi\ansicpg932 \'82\'a0})" << QStringLiteral("あ");
    QTest::newRow("unicode with fallback") << R"({\rtf1\uc1\u8364?x})" << QStringLiteral("€x");
    QTest::newRow("unicode skip two") << R"({\rtf1\uc2\u8364\'80\'80x})" << QStringLiteral("€x");
    QTest::newRow("unicode negative") << R"({\rtf1\u-3913?})" << QStringLiteral("\uf0b7");
    QTest::newRow("ignorable destination") << R"({\rtf1 a{\*\unknownthing secret}b})" << "ab";
    QTest::newRow("known skipped destinations") << R"({\rtf1{\info{\title T}}{\stylesheet{\s0 Normal;}}x})" << "x";
    QTest::newRow("binary data") << QStringLiteral("{\\rtf1 a{\\pict\\bin4 }}}}}b}") << "ab";
    QTest::newRow("table") << R"({\rtf1\trowd\cellx100\cellx200 \intbl a\cell\cell c\cell\row x})" << "a\t\tc\r\nx";
    QTest::newRow("nested table") << R"({\rtf1 a\nestcell b\nestcell\nestrow x})" << "a\tb\r\nx";
    QTest::newRow("special characters") << R"({\rtf1\emdash\endash\bullet\lquote\rquote\ldblquote\rdblquote})"
                                        << QStringLiteral("—–•‘’“”");
    QTest::newRow("special spaces") << R"({\rtf1 a\enspace\emspace\qmspace b})" << QStringLiteral("a\u2002\u2003\u2005b");
    QTest::newRow("not rtf loads as characters") << "plain {text}\r\nline two" << "plain {text}\r\nline two";
    QTest::newRow("source line breaks ignored") << "{\\rtf1 a\r\nb}" << "ab";
    QTest::newRow("escaped CR is a paragraph") << R"({\rtf1 a\'0db})" << "a\r\nb";
    QTest::newRow("escaped CR LF is one paragraph") << R"({\rtf1 a\'0d\'0ab})" << "a\r\nb";
    QTest::newRow("escaped NUL shows nothing") << R"({\rtf1 a\'00b})" << "ab";
    QTest::newRow("CR by number is a paragraph") << R"({\rtf1\uc0 a\u13 b})" << "a\r\nb";
    QTest::newRow("control character by number shows nothing") << R"({\rtf1\uc0 a\u1 b})" << "ab";
    QTest::newRow("frame mark by number shows nothing") << R"({\rtf1\uc0 a\u64976 b\u64977 c})" << "abc";
    QTest::newRow("decoded frame mark shows nothing") << QStringLiteral("{\\rtf1 a\ufdd0b}") << "ab";
}

void TestRtf::readerFeatures()
{
    QFETCH(QString, source);
    QFETCH(QString, text);
    QCOMPARE(plain(source), text);
    // The document a control shows holds the same text.
    QTextDocument doc;
    RtfReader::read(source, &doc);
    QCOMPARE(RichTextPlain::plainText(doc), text);
}

void TestRtf::damagedSourceIsHarmless_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("contains");
    QTest::newRow("extra closing braces") << R"({\rtf1 a}}}b})" << "ab";
    QTest::newRow("truncated") << R"({\rtf1 {\b abc)" << "abc";
    QTest::newRow("truncated control word") << R"({\rtf1 abc\)" << "abc";
    QTest::newRow("truncated hex") << R"({\rtf1 abc\')" << "abc";
    QTest::newRow("huge parameters") << R"({\rtf1\fs99999999999999999999\li-99999999999999 a\u99999999999?b})"
                                     << QStringLiteral("a\ufffdb");
    QTest::newRow("huge skip count") << R"({\rtf1\uc99999999999 x})" << "x";
    QTest::newRow("huge binary length") << R"({\rtf1 a\bin999999999999 hidden})" << "a";
    QTest::newRow("deep nesting") << QStringLiteral("{\\rtf1 ") + QString(10000, QLatin1Char('{')) + QStringLiteral("deep")
                                         + QString(10000, QLatin1Char('}')) + QStringLiteral(" end}")
                                  << "deep end";
    QTest::newRow("deep nesting unclosed") << QStringLiteral("{\\rtf1 ") + QString(20000, QLatin1Char('{')) + QStringLiteral("x")
                                           << "x";
    QTest::newRow("colour index out of range") << R"({\rtf1{\colortbl;\red1\green2\blue3;}\cf99\highlight-4 ok})" << "ok";
    QTest::newRow("font table without names") << R"({\rtf1{\fonttbl{\f0}{\f1\fcharset99999}}\f1\'e9})" << "é";
}

void TestRtf::damagedSourceIsHarmless()
{
    QFETCH(QString, source);
    QFETCH(QString, contains);
    const QString text = plain(source);
    QVERIFY2(text.contains(contains), qPrintable(text));
    QVERIFY(text.size() <= source.size());
}

void TestRtf::randomBytesNeverCrash()
{
    QRandomGenerator rng(7);
    const QString sample = fixture(QStringLiteral("wordpad.rtf"));
    for (int round = 0; round < 400; ++round) {
        QString damaged = sample;
        for (int e = 0; e < 8; ++e) {
            const int at = int(rng.bounded(int(damaged.size())));
            damaged[at] = QChar(char16_t(rng.bounded(256)));
        }
        const QString text = plain(damaged);
        // Bounded by the source: a lone line feed becomes CR LF at most.
        QVERIFY(text.size() <= 2 * damaged.size());
    }
    QString noise(1 << 16, Qt::Uninitialized);
    for (QChar &c : noise)
        c = QChar(char16_t(rng.bounded(256)));
    (void)plain(QStringLiteral("{\\rtf1 ") + noise);
}

void TestRtf::writerRoundTrip()
{
    QTextDocument doc;
    QTextCursor c(&doc);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    centred.setLeftMargin(36);
    centred.setRightMargin(18);
    centred.setTextIndent(-9);
    c.setBlockFormat(centred);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    bold.setFontPointSize(14);
    bold.setFontFamilies({QStringLiteral("DejaVu Serif")});
    bold.setForeground(QColor(200, 10, 20));
    c.insertText(QStringLiteral("Bold {braces} \\ back"), bold);
    QTextCharFormat other;
    other.setFontItalic(true);
    other.setFontUnderline(true);
    other.setFontStrikeOut(true);
    other.setBackground(QColor(255, 255, 0));
    other.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    c.insertText(QStringLiteral(" Grüße € 日本 \U0001F600\tx"), other);
    QTextBlockFormat right;
    right.setAlignment(Qt::AlignRight);
    c.insertBlock(right, QTextCharFormat());
    c.insertText(QStringLiteral("second") + QChar(QChar::LineSeparator) + QStringLiteral("line"), QTextCharFormat());
    c.insertBlock(QTextBlockFormat(), QTextCharFormat());
    c.insertBlock(QTextBlockFormat(), QTextCharFormat());
    c.insertText(QStringLiteral("after empty"), QTextCharFormat());

    const QString rtf = RtfWriter::write(doc);
    QTextDocument back;
    RtfReader::read(rtf, &back);
    QCOMPARE(describe(back), describe(doc));
    QCOMPARE(RichTextPlain::plainText(back), RichTextPlain::plainText(doc));
}

void TestRtf::writerOutputIsPortable()
{
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("Grüße € 日本"));
    const QString rtf = RtfWriter::write(doc);
    QVERIFY(rtf.startsWith(QLatin1String("{\\rtf1\\ansi")));
    QVERIFY(rtf.contains(QLatin1String("\\u8364?")));
    QVERIFY(rtf.contains(QLatin1String("\\u26085?")));
    for (const QChar c : rtf)
        QVERIFY(c.unicode() < 0x80);
    QCOMPARE(rtf.count(QLatin1Char('{')), rtf.count(QLatin1Char('}')));
}

void TestRtf::plainReadingMatchesDocument_data()
{
    realDocumentsRoundTrip_data();
}

void TestRtf::plainReadingMatchesDocument()
{
    QFETCH(QString, file);
    QTextDocument doc;
    RtfReader::read(fixture(file), &doc);
    QCOMPARE(RtfReader::plainText(fixture(file)).text, RichTextPlain::plainText(doc));
}

void TestRtf::firstLineOnlyGivesTheSameAlias_data()
{
    QTest::addColumn<QString>("source");
    QTest::newRow("lines") << R"({\rtf1 first\par second\par third})";
    QTest::newRow("blank lines first") << R"({\rtf1\par   \par x\par})";
    QTest::newRow("one line with a break") << R"({\rtf1 only\par})";
    QTest::newRow("line break then a blank line") << R"({\rtf1 abc\line\line})";
    QTest::newRow("all blank") << R"({\rtf1   \par  \tab })";
    QTest::newRow("table") << R"({\rtf1\intbl a\cell b\cell\row c})";
    QTest::newRow("line break after a cell") << R"({\rtf1\intbl a\cell\line b})";
    QTest::newRow("real document") << fixture(QStringLiteral("libreoffice.rtf"));
}

void TestRtf::firstLineOnlyGivesTheSameAlias()
{
    QFETCH(QString, source);
    QCOMPARE(AliasDerivation::fromText(RtfReader::plainText(source, true).text),
             AliasDerivation::fromText(RtfReader::toPlainText(source)));
}

void TestRtf::lastBreakCanBeDropped_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("without");
    QTest::newRow("par") << R"({\rtf1 a\par b\par })" << "a\r\nb";
    QTest::newRow("pard after") << R"({\rtf1 a\par\pard})" << "a";
    QTest::newRow("line") << R"({\rtf1 a\line})" << "a";
    QTest::newRow("row") << R"({\rtf1\intbl a\cell b\cell\row})" << "a\tb";
    QTest::newRow("in a group") << R"({\rtf1 {\b a\par}})" << "a";
}

void TestRtf::lastBreakCanBeDropped()
{
    QFETCH(QString, source);
    QFETCH(QString, without);
    const RtfReader::PlainText read = RtfReader::plainText(source);
    QVERIFY(read.text.endsWith(QLatin1String("\r\n")));
    QString cut = source;
    cut.remove(read.lastBreakStart, read.lastBreakLength);
    QCOMPARE(RtfReader::toPlainText(cut), without);
}

void TestRtf::realDocumentsRoundTrip_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("LibreOffice Writer") << "libreoffice.rtf";
    QTest::newRow("AbiWord") << "abiword.rtf";
    QTest::newRow("WordPad") << "wordpad.rtf";
}

void TestRtf::realDocumentsRoundTrip()
{
    QFETCH(QString, file);
    QTextDocument first;
    RtfReader::read(fixture(file), &first);
    QTextDocument second;
    RtfReader::read(RtfWriter::write(first), &second);
    QCOMPARE(describe(second), describe(first));
}

QTEST_MAIN(TestRtf)
#include "tst_rtf.moc"
