#include "config/dialogs/itemeditor.h"
#include "common/errorhandler.h"
#include "doubles/scriptedfiledialogs.h"
#include "doubles/scriptedmessageboxes.h"
#include "richtext/richedit.h"
#include "richtext/rtfwriter.h"
#include "store/item.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QToolButton>

#include "testsupport.h"

#include <memory>

using Mode = ItemEditor::Mode;

namespace {

const QString kBoldRtf = QStringLiteral(R"({\rtf1\ansi{\fonttbl{\f0 Sans;}}\f0 plain {\b bold} tail})");

template <typename T>
T *control(const QWidget &dialog, const char *name)
{
    T *widget = dialog.findChild<T *>(QString::fromLatin1(name));
    if (!widget)
        qFatal("no control %s", name);
    return widget;
}

struct Fixture
{
    ScriptedMessageBoxes messages;
    ScriptedFileDialogs files;
    std::unique_ptr<ItemEditor> editor;

    explicit Fixture(Mode mode = Mode::Add)
        : editor(std::make_unique<ItemEditor>(mode, messages, files))
    {
        ErrorHandler::install(&messages);
    }
    ~Fixture() { ErrorHandler::install(nullptr); }

    RichEdit *text() const { return control<RichEdit>(*editor, "ItemText"); }
    QLineEdit *alias() const { return control<QLineEdit>(*editor, "alias"); }
    QComboBox *action() const { return control<QComboBox>(*editor, "actioncombo"); }
    QSpinBox *count() const { return control<QSpinBox>(*editor, "actionse"); }
    QLineEdit *extra() const { return control<QLineEdit>(*editor, "extraedit"); }

    void pickAction(int index) const
    {
        action()->setCurrentIndex(index);
        emit action()->activated(index);
    }
    Item okAndRead() const
    {
        control<QPushButton>(*editor, "OK")->click();
        Item item;
        editor->writeFields(item);
        return item;
    }
};

// Whether the text at `position` of the box is bold.
bool boldAt(const RichEdit *edit, const QString &word)
{
    const int at = edit->toPlainText().indexOf(word);
    if (at < 0)
        return false;
    QTextCursor cursor(edit->document());
    cursor.setPosition(at + 1);
    return cursor.charFormat().fontWeight() >= QFont::Bold;
}

// Whether the text at `word` is bold, italic or underlined, by the style's name.
bool styledAt(const QTextEdit *edit, const QString &word, const QString &style)
{
    const int at = edit->toPlainText().indexOf(word);
    if (at < 0)
        return false;
    QTextCursor cursor(edit->document());
    cursor.setPosition(at + 1);
    const QTextCharFormat format = cursor.charFormat();
    if (style == QLatin1String("bold"))
        return format.fontWeight() >= QFont::Bold;
    if (style == QLatin1String("italic"))
        return format.fontItalic();
    return format.fontUnderline();
}

// Types into the text box as a user does; "\n" is the Enter key.
void typeInto(QWidget *widget, const QString &typed)
{
    const QStringList lines = typed.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        if (i > 0)
            QTest::keyClick(widget, Qt::Key_Return);
        QTest::keyClicks(widget, lines[i]);
    }
}

} // namespace

class TestItemEditor : public QObject
{
    Q_OBJECT
private slots:
    void itemsPastTheSizeAreNotOpened_data();
    void itemsPastTheSizeAreNotOpened();
    void checkBoxesPerMode_data();
    void checkBoxesPerMode();
    void newItemDefaults();
    void updateDateCreated_data();
    void updateDateCreated();
    void countFollowsActionPick_data();
    void countFollowsActionPick();
    void extraTextBoxIsSilverUnlessExtraText_data();
    void extraTextBoxIsSilverUnlessExtraText();
    void aliasFollowsTyping_data();
    void aliasFollowsTyping();
    void plainButtonDropsAllFormatting();
    void richButtonMakesRichItem();
    void okCompletesRecord_data();
    void okCompletesRecord();
    void richItemRoundTripKeepsTextAndBold();
    void enterInBoxesActsAsOk_data();
    void enterInBoxesActsAsOk();
    void enterInTextIsANewLine();
    void pasteMethodHelpText();
    void helpTopic();
    void loadSetsModeByExtension_data();
    void loadSetsModeByExtension();
    void loadPresetsFilterByMode();
    void badFilesAreRefusedAndTextKept_data();
    void badFilesAreRefusedAndTextKept();
    void binaryFileLoadsAsText();
    void saveWritesModeContent_data();
    void saveWritesModeContent();
    void saveFailureIsReported();
    void contextMenuEnabling_data();
    void contextMenuEnabling();
    void cutAndCopyDisarmCapture_data();
    void cutAndCopyDisarmCapture();
    void propertiesCounts();
    void everyControlIsNamed();
    void formattingOnlyInRichMode_data();
    void formattingOnlyInRichMode();
    void boldOnASelectedWordIsStored();
    void styleKeysFollowTheMode_data();
    void styleKeysFollowTheMode();
    void formatWithoutSelectionGoesToNewTyping_data();
    void formatWithoutSelectionGoesToNewTyping();
};

void TestItemEditor::checkBoxesPerMode_data()
{
    QTest::addColumn<Mode>("mode");
    QTest::addColumn<bool>("every");
    QTest::addColumn<bool>("updateTime");
    QTest::newRow("add") << Mode::Add << true << false;
    QTest::newRow("edit from the tree") << Mode::Edit << false << true;
    QTest::newRow("edit from the list") << Mode::EditFromList << false << false;
}

void TestItemEditor::checkBoxesPerMode()
{
    QFETCH(Mode, mode);
    QFETCH(bool, every);
    QFETCH(bool, updateTime);
    Fixture f(mode);
    f.editor->show();
    QCOMPARE(f.editor->windowTitle(), QStringLiteral("List box item"));
    QCOMPARE(control<QCheckBox>(*f.editor, "everycb")->isVisible(), every);
    QCOMPARE(control<QCheckBox>(*f.editor, "cbupdatetime")->isVisible(), updateTime);
    QVERIFY(!control<QPushButton>(*f.editor, "showptv")->isVisible());
    // "Update date created" starts checked, and only the tree's edit reports it.
    QCOMPARE(f.editor->updateCreated(), updateTime);
    control<QCheckBox>(*f.editor, "cbupdatetime")->setChecked(false);
    QVERIFY(!f.editor->updateCreated());
}

void TestItemEditor::newItemDefaults()
{
    Fixture f;
    f.editor->show();
    QCOMPARE(f.action()->currentIndex(), 0);
    QCOMPARE(f.count()->value(), 1);
    QVERIFY(!f.count()->isEnabled());
    QVERIFY(control<QRadioButton>(*f.editor, "pasterg0")->isChecked());
    QVERIFY(control<QToolButton>(*f.editor, "sbreg")->isChecked());
    QVERIFY(!f.editor->richTextMode());
    QVERIFY(f.text()->hasFocus() || QApplication::focusWidget() == nullptr);
    QVERIFY(control<QLineEdit>(*f.editor, "dateedit")->text().isEmpty());
}

void TestItemEditor::updateDateCreated_data()
{
    QTest::addColumn<Mode>("mode");
    QTest::addColumn<bool>("checked");
    QTest::addColumn<bool>("renewed");
    QTest::newRow("tree, checked") << Mode::Edit << true << true;
    QTest::newRow("tree, unchecked") << Mode::Edit << false << false;
    QTest::newRow("pop-up list") << Mode::EditFromList << true << false;
}

void TestItemEditor::updateDateCreated()
{
    QFETCH(Mode, mode);
    QFETCH(bool, checked);
    QFETCH(bool, renewed);
    Fixture f(mode);
    const Item old = TestSupport::textItem(QStringLiteral("x"));
    f.editor->setFields(old);
    f.editor->show();
    control<QCheckBox>(*f.editor, "cbupdatetime")->setChecked(checked);
    Item stored = old;
    control<QPushButton>(*f.editor, "OK")->click();
    f.editor->writeFields(stored);
    // The old stamp is from 2001, so a renewed one always differs.
    QCOMPARE(stored.created != old.created, renewed);
    if (renewed)
        QVERIFY(stored.created.contains(QString::number(QDate::currentDate().year())));
}

void TestItemEditor::countFollowsActionPick_data()
{
    QTest::addColumn<int>("picked");
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("countEnabled");
    QTest::newRow("Press Enter key resets") << 2 << 1 << true;
    QTest::newRow("Specify extra text keeps") << 5 << 3 << true;
    QTest::newRow("None resets and disables") << 0 << 1 << false;
}

void TestItemEditor::countFollowsActionPick()
{
    QFETCH(int, picked);
    QFETCH(int, count);
    QFETCH(bool, countEnabled);
    Fixture f(Mode::Edit);
    Item item = TestSupport::textItem(QStringLiteral("x"));
    item.action = AfterPasteAction::PressTab;
    item.actionCount = 3;
    f.editor->setFields(item);
    f.editor->show();
    QCOMPARE(f.count()->value(), 3);
    QVERIFY(f.count()->isEnabled());
    f.pickAction(picked);
    QCOMPARE(f.count()->value(), count);
    QCOMPARE(f.count()->isEnabled(), countEnabled);
}

void TestItemEditor::extraTextBoxIsSilverUnlessExtraText_data()
{
    QTest::addColumn<int>("action");
    QTest::addColumn<bool>("enabled");
    for (int action = 0; action <= 5; ++action)
        QTest::addRow("action %d", action) << action << (action == 5);
}

void TestItemEditor::extraTextBoxIsSilverUnlessExtraText()
{
    QFETCH(int, action);
    QFETCH(bool, enabled);
    Fixture f(Mode::Edit);
    Item item = TestSupport::textItem(QStringLiteral("x"));
    item.action = AfterPasteAction(action);
    item.extraText = QStringLiteral("more");
    item.actionCount = 2;
    f.editor->setFields(item);
    f.editor->show();
    QCOMPARE(f.extra()->isEnabled(), enabled);
    const QColor silver(192, 192, 192);
    QCOMPARE(f.extra()->palette().color(QPalette::Disabled, QPalette::Base) == silver, !enabled);
    QCOMPARE(f.extra()->text(), enabled ? QStringLiteral("more") : QString());
    // A user's pick follows the same rule.
    f.pickAction(enabled ? 1 : 5);
    QCOMPARE(f.extra()->isEnabled(), !enabled);
}

void TestItemEditor::aliasFollowsTyping_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("typedInAlias");
    QTest::addColumn<QString>("typedAfter");
    QTest::addColumn<QString>("alias");
    QTest::newRow("same text") << QStringLiteral("hello") << QString() << QString() << QStringLiteral("hello");
    QTest::newRow("up to 100 characters") << QString(105, u'x') << QString() << QString() << QString(100, u'x');
    QTest::newRow("a second line stops it")
        << QStringLiteral("ab\ncd") << QString() << QString() << QStringLiteral("ab");
    QTest::newRow("an alias edited by hand stays")
        << QStringLiteral("ab") << QStringLiteral("Z") << QStringLiteral("cd") << QStringLiteral("abZ");
}

void TestItemEditor::aliasFollowsTyping()
{
    QFETCH(QString, typed);
    QFETCH(QString, typedInAlias);
    QFETCH(QString, typedAfter);
    QFETCH(QString, alias);
    Fixture f;
    f.editor->show();
    typeInto(f.text(), typed);
    if (!typedInAlias.isEmpty()) {
        f.alias()->end(false);
        QTest::keyClicks(f.alias(), typedInAlias);
    }
    typeInto(f.text(), typedAfter);
    QCOMPARE(f.alias()->text(), alias);
}

void TestItemEditor::plainButtonDropsAllFormatting()
{
    Fixture f(Mode::Edit);
    Item item = TestSupport::textItem(kBoldRtf);
    item.kind = ItemKind::RichText;
    f.editor->setFields(item);
    f.editor->show();
    QVERIFY(f.editor->richTextMode());
    QVERIFY(control<QToolButton>(*f.editor, "sbrtf")->isChecked());
    QVERIFY(boldAt(f.text(), QStringLiteral("bold")));
    control<QToolButton>(*f.editor, "sbreg")->click();
    QVERIFY(!f.editor->richTextMode());
    QVERIFY(!boldAt(f.text(), QStringLiteral("bold")));
    const Item stored = f.okAndRead();
    QCOMPARE(stored.kind, ItemKind::PlainText);
    QCOMPARE(stored.text, QStringLiteral("plain bold tail"));
}

void TestItemEditor::richButtonMakesRichItem()
{
    Fixture f;
    f.editor->show();
    typeInto(f.text(), QStringLiteral("word"));
    control<QToolButton>(*f.editor, "sbrtf")->click();
    QVERIFY(f.editor->richTextMode());
    const Item stored = f.okAndRead();
    QCOMPARE(stored.kind, ItemKind::RichText);
    QVERIFY(stored.text.startsWith(QLatin1String("{\\rtf")));
    QCOMPARE(stored.alias, QStringLiteral("word"));
}

void TestItemEditor::okCompletesRecord_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("typedAlias");
    QTest::addColumn<int>("action");
    QTest::addColumn<QString>("extraText");
    QTest::addColumn<QString>("alias");
    QTest::addColumn<int>("storedAction");
    QTest::newRow("empty text, typed alias") << QString() << QStringLiteral("mine") << 0 << QString()
                                             << QStringLiteral("<blank>") << 0;
    QTest::newRow("blank alias derived") << QStringLiteral("first\nsecond") << QString() << 1 << QString()
                                         << QStringLiteral("first...") << 1;
    QTest::newRow("extra text missing") << QStringLiteral("x") << QStringLiteral("a") << 5 << QString()
                                        << QStringLiteral("a") << 0;
    QTest::newRow("extra text given") << QStringLiteral("x") << QStringLiteral("a") << 5 << QStringLiteral("!")
                                      << QStringLiteral("a") << 5;
}

void TestItemEditor::okCompletesRecord()
{
    QFETCH(QString, text);
    QFETCH(QString, typedAlias);
    QFETCH(int, action);
    QFETCH(QString, extraText);
    QFETCH(QString, alias);
    QFETCH(int, storedAction);
    Fixture f;
    f.editor->show();
    f.text()->setPlainText(text);
    f.alias()->setText(typedAlias);
    f.pickAction(action);
    f.extra()->setText(extraText);
    control<QRadioButton>(*f.editor, "pasterg2")->setChecked(true);
    const Item stored = f.okAndRead();
    QCOMPARE(f.editor->result(), int(QDialog::Accepted));
    QCOMPARE(stored.alias, alias);
    QCOMPARE(f.alias()->text(), alias);
    QCOMPARE(int(stored.action), storedAction);
    QCOMPARE(stored.text, text);
    QCOMPARE(stored.kind, ItemKind::PlainText);
    QCOMPARE(stored.pasteMethod, PasteMethod::InsertAtCursor);
}

void TestItemEditor::richItemRoundTripKeepsTextAndBold()
{
    Item item = TestSupport::textItem(kBoldRtf);
    item.kind = ItemKind::RichText;
    item.alias = QString();
    Fixture first(Mode::Edit);
    first.editor->setFields(item);
    first.editor->show();
    const QString shown = first.text()->toPlainText();
    const Item stored = first.okAndRead();
    QCOMPARE(stored.kind, ItemKind::RichText);
    QVERIFY(stored.text.startsWith(QLatin1String("{\\rtf")));
    QVERIFY(stored.text.contains(QLatin1String("\\b")));
    // The alias comes from the plain text, not from the source.
    QCOMPARE(stored.alias, QStringLiteral("plain bold tail"));

    Fixture second(Mode::Edit);
    second.editor->setFields(stored);
    QCOMPARE(second.text()->toPlainText(), shown);
    QVERIFY(boldAt(second.text(), QStringLiteral("bold")));
    QVERIFY(!boldAt(second.text(), QStringLiteral("tail")));
}

void TestItemEditor::enterInBoxesActsAsOk_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("key");
    for (const char *box : {"alias", "actioncombo", "extraedit"}) {
        QTest::addRow("%s Return", box) << QString::fromLatin1(box) << int(Qt::Key_Return);
        QTest::addRow("%s Enter", box) << QString::fromLatin1(box) << int(Qt::Key_Enter);
    }
}

void TestItemEditor::enterInBoxesActsAsOk()
{
    QFETCH(QString, box);
    QFETCH(int, key);
    Fixture f;
    f.editor->show();
    f.pickAction(5);
    f.text()->setPlainText(QStringLiteral("text"));
    QSignalSpy accepted(f.editor.get(), &QDialog::accepted);
    QTest::keyClick(f.editor->findChild<QWidget *>(box), Qt::Key(key));
    QCOMPARE(accepted.count(), 1);
    // OK's completion ran: no extra text, so no action; the alias derived.
    QCOMPARE(f.action()->currentIndex(), 0);
    QCOMPARE(f.alias()->text(), QStringLiteral("text"));
}

void TestItemEditor::enterInTextIsANewLine()
{
    Fixture f;
    f.editor->show();
    QSignalSpy accepted(f.editor.get(), &QDialog::accepted);
    typeInto(f.text(), QStringLiteral("a\nb"));
    QCOMPARE(accepted.count(), 0);
    QCOMPARE(f.text()->toPlainText(), QStringLiteral("a\nb"));
}

void TestItemEditor::pasteMethodHelpText()
{
    Fixture f;
    control<QToolButton>(*f.editor, "hlpsp")->click();
    QCOMPARE(f.messages.shown().size(), 1);
    const QString text = f.messages.shown().constFirst().text;
    QVERIFY(text.startsWith(QLatin1String("Simulate Ctrl-V:\r\nThis option should be set for general application use.")));
    QVERIFY(text.contains(QLatin1String("this option is best. \r\n\r\nEnter keystrokes:\r\n")));
    QVERIFY(text.contains(QLatin1String("sent directly. \r\n\r\nInsert at cursor:\r\n")));
    QVERIFY(text.contains(QLatin1String("does not support \"standard\" Ctrl-V pasting.  For example")));
    QVERIFY(text.endsWith(QLatin1String("this method will directly place the text in it.")));
}

void TestItemEditor::helpTopic()
{
    Fixture f;
    QSignalSpy help(f.editor.get(), &ItemEditor::helpRequested);
    control<QPushButton>(*f.editor, "helpbtn")->click();
    QCOMPARE(help.count(), 1);
    QCOMPARE(help.constFirst().constFirst().toString(), QStringLiteral("List_box_item_window"));
}

void TestItemEditor::loadSetsModeByExtension_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("rich");
    QTest::newRow("rtf") << QStringLiteral("a.rtf") << true;
    QTest::newRow("RTF") << QStringLiteral("a.RTF") << true;
    QTest::newRow("Rtf") << QStringLiteral("a.Rtf") << true;
    QTest::newRow("txt") << QStringLiteral("a.txt") << false;
    QTest::newRow("no extension") << QStringLiteral("a") << false;
    QTest::newRow("rtf inside the name") << QStringLiteral("a.rtf.txt") << false;
}

void TestItemEditor::loadSetsModeByExtension()
{
    QFETCH(QString, name);
    QFETCH(bool, rich);
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    TestSupport::writeFile(path, kBoldRtf.toUtf8());
    Fixture f;
    f.editor->show();
    f.files.answers << path;
    control<QPushButton>(*f.editor, "loadbtn")->click();
    QVERIFY(f.messages.shown().isEmpty());
    QCOMPARE(f.editor->richTextMode(), rich);
    QCOMPARE(control<QToolButton>(*f.editor, "sbrtf")->isChecked(), rich);
    QCOMPARE(f.text()->toPlainText(), rich ? QStringLiteral("plain bold tail") : kBoldRtf);
    QCOMPARE(boldAt(f.text(), QStringLiteral("bold")), rich);
}

void TestItemEditor::loadPresetsFilterByMode()
{
    Fixture f;
    f.editor->loadFile();
    f.editor->saveFile();
    control<QToolButton>(*f.editor, "sbrtf")->click();
    f.editor->loadFile();
    QCOMPARE(f.files.selectedFilters, (QStringList{QStringLiteral("Text file (*.txt)"), QStringLiteral("Text file (*.txt)"),
                                                  QStringLiteral("Rich Text Format (*.rtf)")}));
}

void TestItemEditor::badFilesAreRefusedAndTextKept_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("over the size bound") << QStringLiteral("huge");
    QTest::newRow("missing") << QStringLiteral("missing");
    QTest::newRow("a folder") << QStringLiteral("folder");
}

void TestItemEditor::badFilesAreRefusedAndTextKept()
{
    QFETCH(QString, kind);
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("bad.txt"));
    if (kind == QLatin1String("huge")) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.resize(ItemEditor::MaxFileSize + 1));
    } else if (kind == QLatin1String("folder")) {
        path = dir.path();
    }
    Fixture f(Mode::Edit);
    Item item = TestSupport::textItem(kBoldRtf);
    item.kind = ItemKind::RichText;
    f.editor->setFields(item);
    f.editor->show();
    f.files.answers << path;
    f.editor->loadFile();
    QCOMPARE(f.messages.shown().size(), 1);
    QVERIFY(f.messages.shown().constFirst().text.contains(QDir::toNativeSeparators(path)));
    QVERIFY(f.editor->richTextMode());
    QCOMPARE(f.text()->toPlainText(), QStringLiteral("plain bold tail"));
    QVERIFY(boldAt(f.text(), QStringLiteral("bold")));
}

void TestItemEditor::binaryFileLoadsAsText()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("blob.bin"));
    TestSupport::writeFile(path, QByteArray("ab\0c\xff\xfe", 6));
    Fixture f;
    f.files.answers << path;
    f.editor->loadFile();
    QVERIFY(f.messages.shown().isEmpty());
    QVERIFY(!f.editor->richTextMode());
    const QString text = f.text()->toPlainText();
    QVERIFY(!text.contains(QChar(0)));
    QVERIFY(text.startsWith(QLatin1String("abc")));
    QCOMPARE(text.size(), 5);
}

void TestItemEditor::saveWritesModeContent_data()
{
    QTest::addColumn<bool>("rich");
    QTest::newRow("plain") << false;
    QTest::newRow("rich") << true;
}

void TestItemEditor::saveWritesModeContent()
{
    QFETCH(bool, rich);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.txt"));
    Fixture f(Mode::Edit);
    Item item = TestSupport::textItem(rich ? kBoldRtf : QStringLiteral("line one\nline two"));
    item.kind = rich ? ItemKind::RichText : ItemKind::PlainText;
    f.editor->setFields(item);
    f.files.answers << path;
    control<QPushButton>(*f.editor, "savebtn")->click();
    QVERIFY(f.messages.shown().isEmpty());
    const QString written = QString::fromUtf8(TestSupport::readFile(path));
    if (rich) {
        QVERIFY(written.startsWith(QLatin1String("{\\rtf")));
        QVERIFY(written.contains(QLatin1String("\\b")));
    } else {
        QCOMPARE(written, QStringLiteral("line one\nline two"));
    }
}

void TestItemEditor::saveFailureIsReported()
{
    QTemporaryDir dir;
    Fixture f;
    f.text()->setPlainText(QStringLiteral("kept"));
    f.files.answers << dir.filePath(QStringLiteral("no/such/folder/out.txt"));
    f.editor->saveFile();
    QCOMPARE(f.messages.shown().size(), 1);
    QCOMPARE(f.text()->toPlainText(), QStringLiteral("kept"));
}

void TestItemEditor::contextMenuEnabling_data()
{
    QTest::addColumn<int>("selectFrom");
    QTest::addColumn<int>("selectTo");
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<bool>("cutCopyDelete");
    QTest::addColumn<bool>("paste");
    QTest::addColumn<bool>("selectAll");
    QTest::newRow("caret only, text on the clipboard") << 2 << 2 << QStringLiteral("clip") << false << true << true;
    QTest::newRow("part selected, empty clipboard") << 1 << 3 << QString() << true << false << true;
    QTest::newRow("everything selected") << 0 << 5 << QStringLiteral("clip") << true << true << false;
}

void TestItemEditor::contextMenuEnabling()
{
    QFETCH(int, selectFrom);
    QFETCH(int, selectTo);
    QFETCH(QString, clipboard);
    QFETCH(bool, cutCopyDelete);
    QFETCH(bool, paste);
    QFETCH(bool, selectAll);
    if (clipboard.isEmpty())
        QGuiApplication::clipboard()->setMimeData(new QMimeData);
    else
        QGuiApplication::clipboard()->setText(clipboard);
    Fixture f;
    f.text()->setPlainText(QStringLiteral("hello"));
    QTextCursor cursor(f.text()->document());
    cursor.setPosition(selectFrom);
    cursor.setPosition(selectTo, QTextCursor::KeepAnchor);
    f.text()->setTextCursor(cursor);
    QMenu *menu = f.editor->contextMenu();
    QCOMPARE(menu->objectName(), QStringLiteral("repm"));
    const auto enabled = [menu](const char *name) {
        return menu->findChild<QAction *>(QLatin1String(name))->isEnabled();
    };
    QVERIFY(!enabled("repmUndo"));  // nothing typed yet
    QCOMPARE(enabled("repmCut"), cutCopyDelete);
    QCOMPARE(enabled("repmCopy"), cutCopyDelete);
    QCOMPARE(enabled("repmDelete"), cutCopyDelete);
    QCOMPARE(enabled("repmPaste"), paste);
    QCOMPARE(enabled("repmSelectAll"), selectAll);
    QStringList texts;
    for (QAction *action : menu->actions())
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    QCOMPARE(texts, (QStringList{QStringLiteral("&Undo"), QStringLiteral("-"), QStringLiteral("Cu&t"),
                                 QStringLiteral("&Copy"), QStringLiteral("&Paste"), QStringLiteral("&Delete"),
                                 QStringLiteral("-"), QStringLiteral("Select &All"), QStringLiteral("-"),
                                 QStringLiteral("Load..."), QStringLiteral("Save...")}));
}

void TestItemEditor::cutAndCopyDisarmCapture_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("left");
    QTest::newRow("cut") << QStringLiteral("repmCut") << QStringLiteral("lo");
    QTest::newRow("copy") << QStringLiteral("repmCopy") << QStringLiteral("hello");
}

void TestItemEditor::cutAndCopyDisarmCapture()
{
    QFETCH(QString, entry);
    QFETCH(QString, left);
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    Fixture f;
    QStringList order;
    f.editor->setClipboardGuard([&order] { order << QGuiApplication::clipboard()->text(); });
    QObject::connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, f.editor.get(),
                     [&order] { order << QStringLiteral("changed"); });
    f.text()->setPlainText(QStringLiteral("hello"));
    QTextCursor cursor(f.text()->document());
    cursor.setPosition(3, QTextCursor::KeepAnchor);
    f.text()->setTextCursor(cursor);
    f.editor->contextMenu()->findChild<QAction *>(entry)->trigger();
    // The guard ran while the old text was still there, before the change.
    QVERIFY(!order.isEmpty());
    QCOMPARE(order.constFirst(), QStringLiteral("before"));
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("hel"));
    QCOMPARE(f.text()->toPlainText(), left);
}

void TestItemEditor::propertiesCounts()
{
    Fixture f(Mode::Edit);
    Item item = TestSupport::textItem(QStringLiteral("a  b\n\nc"));
    item.alias = QStringLiteral("four");
    f.editor->setFields(item);
    f.editor->show();
    control<QTabWidget>(*f.editor, "textPC")->setCurrentIndex(1);
    QCOMPARE(control<QLineEdit>(*f.editor, "wc")->text(), QStringLiteral("4"));
    QCOMPARE(control<QLineEdit>(*f.editor, "lc")->text(), QStringLiteral("3"));
    QCOMPARE(control<QLineEdit>(*f.editor, "cc")->text(), QStringLiteral("9"));
    QCOMPARE(control<QLineEdit>(*f.editor, "al")->text(), QStringLiteral("4"));
    QCOMPARE(control<QLineEdit>(*f.editor, "dateedit")->text(), TestSupport::kStamp);
    QVERIFY(control<QLineEdit>(*f.editor, "wc")->isReadOnly());
}

void TestItemEditor::everyControlIsNamed()
{
    Fixture f(Mode::Edit);
    f.editor->show();
    const QList<QWidget *> widgets = f.editor->findChildren<QWidget *>();
    int checked = 0;
    for (QWidget *widget : widgets) {
        if (!widget->focusPolicy() || widget->objectName().isEmpty() || widget->objectName().startsWith(QLatin1String("qt_")))
            continue;
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(widget);
        QVERIFY2(accessible && !accessible->text(QAccessible::Name).isEmpty(), qPrintable(widget->objectName()));
        ++checked;
    }
    QVERIFY(checked > 0);
}

void TestItemEditor::formattingOnlyInRichMode_data()
{
    QTest::addColumn<bool>("rich");
    QTest::newRow("plain") << false;
    QTest::newRow("rich") << true;
}

void TestItemEditor::formattingOnlyInRichMode()
{
    QFETCH(bool, rich);
    Fixture f;
    f.editor->show();
    control<QToolButton>(*f.editor, rich ? "sbrtf" : "sbreg")->click();
    for (const char *name : {"comboFont", "seSize", "sbbold", "sbital", "sbunder", "comboColor"})
        QVERIFY2(control<QWidget>(*f.editor, name)->isEnabled() == rich, name);
    // Back to plain text takes the formatting controls away again.
    control<QToolButton>(*f.editor, "sbreg")->click();
    QVERIFY(!control<QWidget>(*f.editor, "sbbold")->isEnabled());
}

void TestItemEditor::boldOnASelectedWordIsStored()
{
    Fixture f;
    f.editor->show();
    typeInto(f.text(), QStringLiteral("one two"));
    control<QToolButton>(*f.editor, "sbrtf")->click();
    QTextCursor cursor(f.text()->document());
    cursor.setPosition(4);
    cursor.setPosition(7, QTextCursor::KeepAnchor);
    f.text()->setTextCursor(cursor);
    control<QToolButton>(*f.editor, "sbbold")->click();
    const Item stored = f.okAndRead();
    QCOMPARE(stored.kind, ItemKind::RichText);
    QCOMPARE(stored.alias, QStringLiteral("one two"));
    Fixture again(Mode::Edit);
    again.editor->setFields(stored);
    QCOMPARE(again.text()->toPlainText(), QStringLiteral("one two"));
    QVERIFY(boldAt(again.text(), QStringLiteral("two")));
    QVERIFY(!boldAt(again.text(), QStringLiteral("one")));
}

void TestItemEditor::styleKeysFollowTheMode_data()
{
    QTest::addColumn<bool>("rich");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("style");
    QTest::newRow("rich Ctrl+B") << true << int(Qt::Key_B) << QStringLiteral("bold");
    QTest::newRow("rich Ctrl+I") << true << int(Qt::Key_I) << QStringLiteral("italic");
    QTest::newRow("rich Ctrl+U") << true << int(Qt::Key_U) << QStringLiteral("underline");
    QTest::newRow("plain Ctrl+B") << false << int(Qt::Key_B) << QStringLiteral("bold");
    QTest::newRow("plain Ctrl+U") << false << int(Qt::Key_U) << QStringLiteral("underline");
}

void TestItemEditor::styleKeysFollowTheMode()
{
    QFETCH(bool, rich);
    QFETCH(int, key);
    QFETCH(QString, style);
    Fixture f;
    f.editor->show();
    f.editor->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.editor.get()));
    typeInto(f.text(), QStringLiteral("one two"));
    control<QToolButton>(*f.editor, rich ? "sbrtf" : "sbreg")->click();
    f.text()->setFocus();
    QTextCursor cursor(f.text()->document());
    cursor.setPosition(4);
    cursor.setPosition(7, QTextCursor::KeepAnchor);
    f.text()->setTextCursor(cursor);

    QTest::keyClick(f.text(), Qt::Key(key), Qt::ControlModifier);
    QCOMPARE(styledAt(f.text(), QStringLiteral("two"), style), rich);
    QVERIFY(!styledAt(f.text(), QStringLiteral("one"), style));
    QCOMPARE(f.text()->plainTextMode(), !rich);
    QCOMPARE(f.text()->toPlainText(), QStringLiteral("one two"));
    // The key toggles, as the button it stands for.
    QTest::keyClick(f.text(), Qt::Key(key), Qt::ControlModifier);
    QVERIFY(!styledAt(f.text(), QStringLiteral("two"), style));
}

void TestItemEditor::formatWithoutSelectionGoesToNewTyping_data()
{
    QTest::addColumn<QString>("format");
    QTest::newRow("bold") << QStringLiteral("sbbold");
    QTest::newRow("italic") << QStringLiteral("sbital");
    QTest::newRow("underline") << QStringLiteral("sbunder");
    QTest::newRow("size") << QStringLiteral("seSize");
    QTest::newRow("colour") << QStringLiteral("comboColor");
}

void TestItemEditor::formatWithoutSelectionGoesToNewTyping()
{
    QFETCH(QString, format);
    Fixture f;
    f.editor->show();
    typeInto(f.text(), QStringLiteral("old "));
    control<QToolButton>(*f.editor, "sbrtf")->click();
    f.text()->moveCursor(QTextCursor::End);
    QWidget *chosen = f.editor->findChild<QWidget *>(format);
    if (auto *button = qobject_cast<QToolButton *>(chosen))
        button->click();
    else if (auto *spin = qobject_cast<QSpinBox *>(chosen))
        spin->setValue(spin->value() + 10);
    else if (auto *combo = qobject_cast<QComboBox *>(chosen))
        combo->setCurrentIndex((combo->currentIndex() + 1) % combo->count());
    typeInto(f.text(), QStringLiteral("new"));
    QTextCursor atOld(f.text()->document());
    atOld.setPosition(1);
    QTextCursor atNew(f.text()->document());
    atNew.setPosition(6);
    QVERIFY(atOld.charFormat() != atNew.charFormat());
    // The characters already there keep their look.
    QTextCursor atSpace(f.text()->document());
    atSpace.setPosition(4);
    QCOMPARE(atSpace.charFormat(), atOld.charFormat());
}

void TestItemEditor::itemsPastTheSizeAreNotOpened_data()
{
    QTest::addColumn<ItemKind>("kind");
    QTest::addColumn<qsizetype>("size");
    QTest::addColumn<bool>("refused");
    QTest::newRow("rich at the bound") << ItemKind::RichText << ItemEditor::MaxItemText << false;
    QTest::newRow("rich past the bound") << ItemKind::RichText << ItemEditor::MaxItemText + 1 << true;
    QTest::newRow("plain past the bound") << ItemKind::PlainText << ItemEditor::MaxItemText + 1 << true;
    QTest::newRow("small plain") << ItemKind::PlainText << qsizetype(10) << false;
}

void TestItemEditor::itemsPastTheSizeAreNotOpened()
{
    QFETCH(ItemKind, kind);
    QFETCH(qsizetype, size);
    QFETCH(bool, refused);
    Item item;
    item.kind = kind;
    item.alias = QStringLiteral("big one");
    item.text = (kind == ItemKind::RichText ? QStringLiteral("{\\rtf1 ") : QString()).leftJustified(size, QLatin1Char('x'));
    ScriptedMessageBoxes messages;
    messages.setAutoAcknowledge(true);
    QCOMPARE(ItemEditor::reportTooLarge(item, messages), refused);
    QCOMPARE(messages.shown().size(), refused ? 1 : 0);
    if (refused) {
        QCOMPARE(messages.shown().first().title, QStringLiteral("Error"));
        QVERIFY(messages.shown().first().text.contains(QLatin1String("\"big one\" is too large to be edited")));
        // Picked in the Edit More list all the same: shown as a notice, never laid out.
        Fixture f(Mode::Edit);
        f.editor->setFields(item);
        QCOMPARE(f.text()->toPlainText(), ItemEditor::TooLargeToEdit);
        QVERIFY(!f.text()->isEnabled());
        QVERIFY(!f.alias()->isEnabled());
    }
}

QTEST_MAIN(TestItemEditor)
#include "tst_itemeditor.moc"
