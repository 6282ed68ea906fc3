#include "config/dialogs/formatbar.h"
#include "richtext/richedit.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// A format bar over a rich-text control, as the windows lay them out.
struct BarAndEdit
{
    QWidget window;
    FormatBar *bar = new FormatBar(&window);
    RichEdit *edit = new RichEdit(&window);

    BarAndEdit()
    {
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(bar);
        layout->addWidget(edit);
        edit->setPlainTextMode(false);
        edit->setPlainText(QStringLiteral("hello world"));
        bar->attach(edit);
        window.show();
    }

    void select(int from, int to)
    {
        QTextCursor cursor(edit->document());
        cursor.setPosition(from);
        cursor.setPosition(to, QTextCursor::KeepAnchor);
        edit->setTextCursor(cursor);
    }

    QTextCharFormat formatAt(int position) const
    {
        QTextCursor cursor(edit->document());
        cursor.setPosition(position + 1);  // the format of the character before the cursor
        return cursor.charFormat();
    }

    QColor red() const
    {
        return QColor(255, 0, 0);
    }

    // Uses one control of the bar as a user would.
    void choose(const QString &control)
    {
        if (control == QLatin1String("bold"))
            QTest::mouseClick(bar->boldButton(), Qt::LeftButton);
        else if (control == QLatin1String("italic"))
            QTest::mouseClick(bar->italicButton(), Qt::LeftButton);
        else if (control == QLatin1String("underline"))
            QTest::mouseClick(bar->underlineButton(), Qt::LeftButton);
        else if (control == QLatin1String("size"))
            bar->sizeSpin()->setValue(23);
        else if (control == QLatin1String("colour"))
            bar->colorCombo()->setCurrentIndex(bar->colorCombo()->findData(red()));
        else if (control == QLatin1String("font")) {
            bar->fontCombo()->lineEdit()->selectAll();
            QTest::keyClicks(bar->fontCombo()->lineEdit(), otherFamily());
            QTest::keyClick(bar->fontCombo()->lineEdit(), Qt::Key_Return);
        }
    }

    // A family from the list that the text does not have yet.
    QString otherFamily() const
    {
        const QString current = bar->fontCombo()->currentText();
        for (int i = bar->fontCombo()->count() - 1; i >= 0; --i) {
            if (bar->fontCombo()->itemText(i) != current)
                return bar->fontCombo()->itemText(i);
        }
        return {};
    }

    bool hasChoice(const QString &control, const QTextCharFormat &format, const QString &family) const
    {
        if (control == QLatin1String("bold"))
            return format.fontWeight() == QFont::Bold;
        if (control == QLatin1String("italic"))
            return format.fontItalic();
        if (control == QLatin1String("underline"))
            return format.fontUnderline();
        if (control == QLatin1String("size"))
            return format.fontPointSize() == 23;
        if (control == QLatin1String("colour"))
            return format.foreground().style() != Qt::NoBrush && format.foreground().color() == red();
        if (control == QLatin1String("font"))
            return format.fontFamilies().toStringList().value(0) == family;
        return false;
    }
};

void controls()
{
    QTest::addColumn<QString>("control");
    for (const char *name : {"bold", "italic", "underline", "size", "colour", "font"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

} // namespace

class TestFormatBar : public QObject
{
    Q_OBJECT
private slots:
    void choiceChangesOnlyTheSelection_data() { controls(); }
    void choiceChangesOnlyTheSelection();
    void choiceWithoutSelectionChangesOnlyNewTyping_data() { controls(); }
    void choiceWithoutSelectionChangesOnlyNewTyping();
    void styleButtonKeepsTheOtherStyles();
    void barFollowsTheSelectionWithoutApplying();
    void paletteColourShowsBlack();
    void hookRunsBeforeTheFormatIsApplied();
    void fontListIsSortedAndEditable();
};

void TestFormatBar::choiceChangesOnlyTheSelection()
{
    QFETCH(QString, control);
    BarAndEdit w;
    const QString family = w.otherFamily();
    if (control == QLatin1String("font") && family.isEmpty())
        QSKIP("no second font family installed");
    QSignalSpy applied(w.bar, &FormatBar::formatApplied);
    w.select(0, 5);
    w.choose(control);
    QVERIFY(applied.count() >= 1);
    for (int i = 0; i < 5; ++i)
        QVERIFY2(w.hasChoice(control, w.formatAt(i), family), qPrintable(QString::number(i)));
    for (int i = 5; i < 11; ++i)
        QVERIFY2(!w.hasChoice(control, w.formatAt(i), family), qPrintable(QString::number(i)));
    QCOMPARE(w.edit->toPlainText(), QStringLiteral("hello world"));
}

void TestFormatBar::choiceWithoutSelectionChangesOnlyNewTyping()
{
    QFETCH(QString, control);
    BarAndEdit w;
    const QString family = w.otherFamily();
    if (control == QLatin1String("font") && family.isEmpty())
        QSKIP("no second font family installed");
    w.select(11, 11);
    w.choose(control);
    for (int i = 0; i < 11; ++i)
        QVERIFY2(!w.hasChoice(control, w.formatAt(i), family), qPrintable(QString::number(i)));
    w.edit->setFocus();
    w.edit->textCursor().insertText(QStringLiteral("!"), w.edit->currentCharFormat());
    QVERIFY(w.hasChoice(control, w.formatAt(11), family));
}

void TestFormatBar::styleButtonKeepsTheOtherStyles()
{
    BarAndEdit w;
    w.select(0, 5);
    QTest::mouseClick(w.bar->italicButton(), Qt::LeftButton);
    QTest::mouseClick(w.bar->boldButton(), Qt::LeftButton);
    QVERIFY(w.formatAt(2).fontItalic());
    QCOMPARE(w.formatAt(2).fontWeight(), int(QFont::Bold));
    // Up again removes its own style only.
    QTest::mouseClick(w.bar->boldButton(), Qt::LeftButton);
    QVERIFY(w.formatAt(2).fontItalic());
    QCOMPARE(w.formatAt(2).fontWeight(), int(QFont::Normal));
}

void TestFormatBar::barFollowsTheSelectionWithoutApplying()
{
    BarAndEdit w;
    loadRichText(w.edit, QStringLiteral(R"({\rtf1{\fonttbl{\f0 Courier New;}{\f1 Serif Test;}})"
                                        R"({\colortbl;\red0\green0\blue128;})"
                                        R"(\f0\fs20 plain \f1\b\i\ul\cf1\fs36 marked\plain\par})"));
    const QString before = w.edit->document()->toHtml();
    QSignalSpy applied(w.bar, &FormatBar::formatApplied);
    int hookCalls = 0;
    w.bar->setBeforeApply([&] { ++hookCalls; });

    w.select(7, 12);
    QVERIFY(w.bar->boldButton()->isChecked());
    QVERIFY(w.bar->italicButton()->isChecked());
    QVERIFY(w.bar->underlineButton()->isChecked());
    QCOMPARE(w.bar->sizeSpin()->value(), 18);
    QCOMPARE(w.bar->colorCombo()->currentData().value<QColor>(), QColor(0, 0, 128));
    QCOMPARE(w.bar->fontCombo()->currentText(), QStringLiteral("Serif Test"));

    w.select(1, 3);
    QVERIFY(!w.bar->boldButton()->isChecked());
    QVERIFY(!w.bar->italicButton()->isChecked());
    QVERIFY(!w.bar->underlineButton()->isChecked());
    QCOMPARE(w.bar->sizeSpin()->value(), 10);
    QCOMPARE(w.bar->fontCombo()->currentText(), QStringLiteral("Courier New"));

    // Selected backwards (shift+ctrl+Left): the word still shows its own format.
    w.select(12, 6);
    QVERIFY(w.bar->boldButton()->isChecked());
    QCOMPARE(w.bar->colorCombo()->currentData().value<QColor>(), QColor(0, 0, 128));

    QCOMPARE(applied.count(), 0);
    QCOMPARE(hookCalls, 0);
    QCOMPARE(w.edit->document()->toHtml(), before);
}

void TestFormatBar::paletteColourShowsBlack()
{
    BarAndEdit w;
    w.select(0, 5);
    w.choose(QStringLiteral("colour"));
    QCOMPARE(w.bar->colorCombo()->currentData().value<QColor>(), w.red());
    w.select(7, 10);  // "world" has no colour of its own
    QCOMPARE(w.edit->currentCharFormat().foreground().style(), Qt::NoBrush);
    QCOMPARE(w.bar->colorCombo()->currentData().value<QColor>(), QColor(Qt::black));
}

void TestFormatBar::hookRunsBeforeTheFormatIsApplied()
{
    BarAndEdit w;
    w.select(0, 5);
    QList<bool> boldWhenHookRan;
    w.bar->setBeforeApply([&] { boldWhenHookRan << (w.formatAt(0).fontWeight() == QFont::Bold); });
    QSignalSpy applied(w.bar, &FormatBar::formatApplied);
    QTest::mouseClick(w.bar->boldButton(), Qt::LeftButton);
    QCOMPARE(boldWhenHookRan, QList<bool>{false});
    QCOMPARE(applied.count(), 1);
    QCOMPARE(w.formatAt(0).fontWeight(), int(QFont::Bold));
}

void TestFormatBar::fontListIsSortedAndEditable()
{
    BarAndEdit w;
    QComboBox *fonts = w.bar->fontCombo();
    QVERIFY(fonts->isEditable());
    QStringList names;
    for (int i = 0; i < fonts->count(); ++i)
        names << fonts->itemText(i);
    QStringList sorted = names;
    std::sort(sorted.begin(), sorted.end(),
              [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    QCOMPARE(names, sorted);
    QCOMPARE(w.bar->sizeSpin()->minimum(), 1);
    QCOMPARE(w.bar->sizeSpin()->maximum(), 100);
}

QTEST_MAIN(TestFormatBar)
#include "tst_formatbar.moc"
