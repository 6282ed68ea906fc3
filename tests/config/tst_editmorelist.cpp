#include "config/dialogs/editmorelist.h"
#include "config/dialogs/editmoresession.h"
#include "config/dialogs/itemeditor.h"
#include "config/dialogs/qttreedialogs.h"
#include "doubles/scriptedfiledialogs.h"
#include "doubles/scriptedmessageboxes.h"
#include "richtext/richedit.h"
#include "store/item.h"

#include <QCheckBox>
#include <QComboBox>
#include <QApplication>
#include <QFrame>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWindow>

#include "unnamedcontrols.h"

#include <memory>

using Mode = ItemEditor::Mode;

namespace {

const QStringList kMarkers = {"sText", "sAlias", "sAction", "sEE", "sCount", "sPaste"};

template <typename T>
T *control(const QWidget &window, const char *name)
{
    T *widget = window.findChild<T *>(QString::fromLatin1(name));
    if (!widget)
        qFatal("no control %s", name);
    return widget;
}

Item textItem(const QString &text)
{
    Item item;
    item.text = text;
    item.alias = text;
    item.category = QStringLiteral("Mail");
    item.created = QStringLiteral("1/1/2020 9:00:00 AM");
    return item;
}

// The items of one category, copies the editor works on, as the tree hands
// them over; entry 2 is a picture.
QList<Item> category(int count = 5)
{
    QList<Item> items;
    for (int i = 0; i < count; ++i)
        items.append(textItem(QStringLiteral("item %1").arg(i)));
    if (count > 2) {
        items[2].kind = ItemKind::Image;
        items[2].alias = QStringLiteral("Image: 4 x 4");
    }
    return items;
}

struct Fixture
{
    ScriptedMessageBoxes messages;
    ScriptedFileDialogs files;
    QList<Item> items;
    QList<Item *> records;
    std::unique_ptr<EditMoreSession> session;
    std::unique_ptr<ItemEditor> editor;

    explicit Fixture(int count = 5, int starting = 0)
        : items(category(count))
    {
        for (Item &item : items)
            records.append(&item);
        session = std::make_unique<EditMoreSession>(records, records[starting]);
        editor = std::make_unique<ItemEditor>(Mode::Edit, messages, files);
        editor->setFields(items[starting]);
        editor->setEditMore(*session, QStringLiteral("Mail"));
        editor->show();
    }

    QPushButton *editMore() const { return control<QPushButton>(*editor, "showptv"); }
    QListWidget *list() const { return control<QListWidget>(*editor->editMoreList(), "PList"); }
    RichEdit *text() const { return control<RichEdit>(*editor, "ItemText"); }
    QLineEdit *alias() const { return control<QLineEdit>(*editor, "alias"); }
    QComboBox *action() const { return control<QComboBox>(*editor, "actioncombo"); }
    QToolButton *notice() const { return control<QToolButton>(*editor, "redsb"); }

    void openList() const
    {
        editMore()->click();
        QVERIFY(editor->editMoreShowing());
    }
    // A click on an entry, with Ctrl to add it to the selection.
    void click(int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const
    {
        QListWidget *view = list();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, modifiers,
                          view->visualItemRect(view->item(row)).center());
    }
    void pickAction(int index) const
    {
        action()->setCurrentIndex(index);
        emit action()->activated(index);
    }
    QStringList markersShowing() const
    {
        QStringList showing;
        for (const QString &name : kMarkers) {
            if (editor->findChild<QFrame *>(name)->isVisibleTo(editor.get()))
                showing << name;
        }
        return showing;
    }
    QList<int> checkedEntries() const
    {
        QList<int> checked;
        for (int i = 0; i < list()->count(); ++i) {
            if (list()->item(i)->checkState() == Qt::Checked)
                checked << i;
        }
        return checked;
    }
    QList<int> okAndApply() const
    {
        control<QPushButton>(*editor, "OK")->click();
        return session->apply(false, QString());
    }
};

} // namespace

class TestEditMoreList : public QObject
{
    Q_OBJECT
private slots:
    void listShowsTheCategoryBesideTheEditor();
    void listHeightFollowsItsEntries_data();
    void listHeightFollowsItsEntries();
    void longEntriesShowWhole();
    void changeGoesToEverySelectedItem();
    void textForSeveralShowsItsMarker();
    void pickingOneLoadsItsPendingCopy();
    void uncheckedEntryIsLeftAlone();
    void hidingTheListForgetsItsEdits_data();
    void hidingTheListForgetsItsEdits();
    void pictureEntryCannotBeEdited();
    void editsMadeBeforeTheListOpensCount();
    void optionsMenu();
    void multiEditNotice();
    void noEntrySelectedRecordsNothing();
    void treeDialogsReturnWhatChanged();
    void everyControlIsNamed();
};

void TestEditMoreList::listShowsTheCategoryBesideTheEditor()
{
    Fixture f(5, 1);
    QVERIFY(f.editMore()->isVisible());
    QCOMPARE(f.editMore()->text(), QStringLiteral("<< Edit More"));
    QVERIFY(!f.editor->editMoreList()->isVisible());

    f.editor->move(300, 40);
    f.openList();
    EditMoreList *list = f.editor->editMoreList();
    QVERIFY(list->isVisible());
    QCOMPARE(f.editMore()->text(), QStringLiteral(">> Cancel"));
    QCOMPARE(list->windowTitle(), QStringLiteral("Mail"));
    QCOMPARE(f.list()->count(), 5);
    QCOMPARE(f.list()->item(3)->text(), QStringLiteral("item 3"));
    QVERIFY(!(f.list()->item(2)->flags() & Qt::ItemIsUserCheckable));  // the picture
    QCOMPARE(f.list()->currentRow(), 1);
    QVERIFY(f.list()->item(1)->isSelected());
    QCOMPARE(list->frameGeometry().right() + 1, f.editor->frameGeometry().left());
    QCOMPARE(list->frameGeometry().top(), f.editor->frameGeometry().top());
    // Not blocked by the modal editor it stands beside.
    QVERIFY(list->testAttribute(Qt::WA_WState_Visible) && list->isEnabled());
    QCOMPARE(list->parentWidget(), f.editor.get());

    f.editMore()->click();
    QVERIFY(!list->isVisible());
    QCOMPARE(f.editMore()->text(), QStringLiteral("<< Edit More"));

    // No room on the left of the screen: it stands on the right instead.
    f.editor->move(0, 40);
    f.openList();
    QCOMPARE(list->frameGeometry().left(), f.editor->frameGeometry().right() + 1);
}

void TestEditMoreList::listHeightFollowsItsEntries_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("asTallAsTheEditor");
    QTest::newRow("3 items") << 3 << false;
    QTest::newRow("40 items") << 40 << true;
}

void TestEditMoreList::listHeightFollowsItsEntries()
{
    QFETCH(int, count);
    QFETCH(bool, asTallAsTheEditor);
    Fixture f(count);
    f.openList();
    EditMoreList *list = f.editor->editMoreList();
    if (asTallAsTheEditor) {
        // The screen may hold it shorter, never taller.
        QVERIFY(list->height() <= f.editor->height());
        QVERIFY(list->height() > f.editor->height() / 2);
    } else {
        QVERIFY(list->height() < f.editor->height());
        // Every entry shows without scrolling.
        QVERIFY(f.list()->visualItemRect(f.list()->item(count - 1)).bottom() < f.list()->viewport()->height());
    }
}

void TestEditMoreList::changeGoesToEverySelectedItem()
{
    Fixture f;
    f.items[3].action = AfterPasteAction::PressEnter;
    f.items[3].actionCount = 4;
    f.openList();
    f.click(0);
    f.click(1, Qt::ControlModifier);
    f.click(3, Qt::ControlModifier);
    QVERIFY(f.notice()->isVisible());
    QVERIFY(f.markersShowing().isEmpty());

    f.pickAction(int(AfterPasteAction::PressTab));
    QCOMPARE(f.markersShowing(), QStringList{"sAction"});
    QCOMPARE(f.checkedEntries(), (QList<int>{0, 1, 3}));
    const QList<int> written = f.okAndApply();
    QCOMPARE(written, (QList<int>{0, 1, 3}));
    for (int i : written) {
        QCOMPARE(f.items[i].action, AfterPasteAction::PressTab);
        QCOMPARE(f.items[i].text, QStringLiteral("item %1").arg(i));  // the rest stays their own
        QCOMPARE(f.items[i].alias, QStringLiteral("item %1").arg(i));
    }
    QCOMPARE(f.items[3].actionCount, 4);  // the count shown was not changed
    QCOMPARE(f.items[4].action, AfterPasteAction::None);
}

void TestEditMoreList::textForSeveralShowsItsMarker()
{
    Fixture f;
    f.openList();
    f.click(0);
    f.click(4, Qt::ControlModifier);
    f.text()->selectAll();
    QTest::keyClicks(f.text(), QStringLiteral("same"));
    QVERIFY(f.markersShowing().contains(QStringLiteral("sText")));
    // The alias does not follow one text into several items.
    QCOMPARE(f.alias()->text(), QStringLiteral("item 0"));
    f.okAndApply();
    QCOMPARE(f.items[0].text, QStringLiteral("same"));
    QCOMPARE(f.items[4].text, QStringLiteral("same"));
    QCOMPARE(f.items[1].text, QStringLiteral("item 1"));
}

void TestEditMoreList::pickingOneLoadsItsPendingCopy()
{
    Fixture f;
    f.openList();
    f.click(1);
    QCOMPARE(f.text()->toPlainText(), QStringLiteral("item 1"));
    f.alias()->setText(QStringLiteral("renamed"));
    QCOMPARE(f.checkedEntries(), QList<int>{1});
    QVERIFY(f.markersShowing().isEmpty());  // one item: nothing to mark
    f.click(3);
    QCOMPARE(f.alias()->text(), QStringLiteral("item 3"));
    f.click(1);
    QCOMPARE(f.alias()->text(), QStringLiteral("renamed"));
    QCOMPARE(f.okAndApply(), QList<int>{1});
    QCOMPARE(f.items[1].alias, QStringLiteral("renamed"));
}

void TestEditMoreList::uncheckedEntryIsLeftAlone()
{
    Fixture f;
    f.openList();
    f.click(1);
    f.click(3, Qt::ControlModifier);
    f.pickAction(int(AfterPasteAction::PressSpace));
    f.list()->item(3)->setCheckState(Qt::Unchecked);
    QCOMPARE(f.okAndApply(), QList<int>{1});
    QCOMPARE(f.items[1].action, AfterPasteAction::PressSpace);
    QCOMPARE(f.items[3].action, AfterPasteAction::None);
}

void TestEditMoreList::hidingTheListForgetsItsEdits_data()
{
    QTest::addColumn<bool>("closeBox");
    QTest::newRow(">> Cancel") << false;
    QTest::newRow("the list's close box") << true;
}

void TestEditMoreList::hidingTheListForgetsItsEdits()
{
    QFETCH(bool, closeBox);
    Fixture f(5, 3);
    f.openList();
    f.click(0);
    f.alias()->setText(QStringLiteral("changed"));
    f.click(1, Qt::ControlModifier);
    f.pickAction(int(AfterPasteAction::PressTab));
    QVERIFY(!f.markersShowing().isEmpty());
    EditMoreList *list = f.editor->editMoreList();
    if (closeBox)
        list->windowHandle()->close();  // as the window manager's close box asks
    else
        f.editMore()->click();
    QVERIFY(!list->isVisible());
    QVERIFY(!f.editor->editMoreShowing());
    QCOMPARE(f.editMore()->text(), QStringLiteral("<< Edit More"));
    QCOMPARE(f.alias()->text(), QStringLiteral("item 3"));  // the item it was opened on
    QVERIFY(f.markersShowing().isEmpty());
    QVERIFY(!f.notice()->isVisible());
    f.openList();
    QVERIFY(f.checkedEntries().isEmpty());
    QCOMPARE(f.list()->selectedItems(), QList<QListWidgetItem *>{f.list()->item(3)});
    QVERIFY(f.okAndApply().isEmpty());
    QCOMPARE(f.items[0].alias, QStringLiteral("item 0"));
    QCOMPARE(f.items[1].action, AfterPasteAction::None);
}

void TestEditMoreList::pictureEntryCannotBeEdited()
{
    Fixture f;
    f.openList();
    QVERIFY(!(f.list()->item(2)->flags() & Qt::ItemIsUserCheckable));
    f.click(2);  // the picture, picked alone
    QCOMPARE(f.list()->selectedItems(), QList<QListWidgetItem *>{f.list()->item(2)});
    QCOMPARE(f.text()->toPlainText(), ItemEditor::ImageCannotEdit);
    QCOMPARE(f.alias()->text(), ItemEditor::ImageCannotEdit);
    const char *const editable[] = {"ItemText", "alias", "actioncombo", "loadbtn", "savebtn", "pasterg", "sbreg", "sbrtf"};
    for (const char *name : editable)
        QVERIFY2(!f.editor->findChild<QWidget *>(QLatin1String(name))->isEnabled(), name);
    QVERIFY(!f.notice()->isVisible());
    QVERIFY(f.checkedEntries().isEmpty());  // showing the notice changed nothing

    // Among several it takes none of their changes.
    f.click(0);
    f.click(2, Qt::ControlModifier);
    QVERIFY(f.notice()->isVisible());
    f.pickAction(int(AfterPasteAction::PressEnter));
    QCOMPARE(f.checkedEntries(), QList<int>{0});

    f.click(1);
    QCOMPARE(f.text()->toPlainText(), QStringLiteral("item 1"));
    for (const char *name : editable)
        QVERIFY2(f.editor->findChild<QWidget *>(QLatin1String(name))->isEnabled(), name);
    QCOMPARE(f.okAndApply(), QList<int>{0});
    QCOMPARE(f.items[2].text, QStringLiteral("item 2"));
    QCOMPARE(f.items[2].action, AfterPasteAction::None);
}

void TestEditMoreList::editsMadeBeforeTheListOpensCount()
{
    Fixture f(5, 4);
    f.alias()->setText(QStringLiteral("first"));
    f.openList();
    QCOMPARE(f.checkedEntries(), QList<int>{4});
    QCOMPARE(f.okAndApply(), QList<int>{4});
    QCOMPARE(f.items[4].alias, QStringLiteral("first"));
}

void TestEditMoreList::optionsMenu()
{
    Fixture f(5, 1);
    f.openList();
    QMenu *menu = f.editor->editMoreList()->optionsMenu();
    QCOMPARE(control<QToolButton>(*f.editor->editMoreList(), "optionsbtn")->menu(), menu);
    QStringList texts;
    for (QAction *action : menu->actions())
        texts << action->text();
    QCOMPARE(texts, (QStringList{"&Select All", "&Invert Selection", QString(), "&Help"}));

    control<QAction>(*menu, "SelectAll1")->trigger();
    QCOMPARE(f.list()->selectedItems().size(), 4);  // not the picture
    QVERIFY(!f.list()->item(2)->isSelected());
    QVERIFY(f.notice()->isVisible());

    control<QAction>(*menu, "InvertSelection1")->trigger();  // nothing left: the first entry
    QCOMPARE(f.list()->selectedItems(), QList<QListWidgetItem *>{f.list()->item(0)});
    QCOMPARE(f.text()->toPlainText(), QStringLiteral("item 0"));
    QVERIFY(!f.notice()->isVisible());

    QSignalSpy help(f.editor.get(), &ItemEditor::helpRequested);
    control<QAction>(*menu, "Help1")->trigger();
    QCOMPARE(help.size(), 1);
    QCOMPARE(help.first().first().toString(), QStringLiteral("Edit_More"));
}

void TestEditMoreList::multiEditNotice()
{
    Fixture f;
    f.openList();
    f.click(0);
    f.click(1, Qt::ControlModifier);
    f.notice()->click();
    QCOMPARE(f.messages.shown().size(), 1);
    QVERIFY(f.messages.shown().first().text.startsWith(QStringLiteral("You have selected multiple items.  Only")));
    QVERIFY(f.messages.shown().first().text.contains(QStringLiteral("\r\n\r\nWhen you change a property below")));
}

void TestEditMoreList::noEntrySelectedRecordsNothing()
{
    Fixture f;
    f.openList();
    f.list()->clearSelection();
    f.pickAction(int(AfterPasteAction::PressTab));
    QVERIFY(f.checkedEntries().isEmpty());
    QVERIFY(f.okAndApply().isEmpty());
}

void TestEditMoreList::treeDialogsReturnWhatChanged()
{
    ScriptedMessageBoxes messages;
    ScriptedFileDialogs files;
    QtTreeDialogs dialogs(messages, files);
    const auto editorShown = [](const std::function<void(ItemEditor &)> &act) {
        QTimer::singleShot(0, [act] {
            auto *editor = qobject_cast<ItemEditor *>(QApplication::activeModalWidget());
            QVERIFY(editor);
            act(*editor);
        });
    };

    // Alone: only the item opened, with a new creation date.
    QList<Item> items = category(4);
    editorShown([](ItemEditor &editor) {
        control<QLineEdit>(editor, "alias")->setText(QStringLiteral("single"));
        control<QPushButton>(editor, "OK")->click();
    });
    QCOMPARE(dialogs.editItems(items, 1, QStringLiteral("Mail")), QList<int>{1});
    QCOMPARE(items[1].alias, QStringLiteral("single"));
    QVERIFY(items[1].created != QStringLiteral("1/1/2020 9:00:00 AM"));

    // Through the list: every checked copy, the creation dates kept as asked.
    items = category(4);
    editorShown([](ItemEditor &editor) {
        control<QPushButton>(editor, "showptv")->click();
        control<QAction>(*editor.editMoreList()->optionsMenu(), "SelectAll1")->trigger();
        control<QRadioButton>(editor, "pasterg1")->click();
        control<QCheckBox>(editor, "cbupdatetime")->setChecked(false);
        control<QPushButton>(editor, "OK")->click();
    });
    QCOMPARE(dialogs.editItems(items, 0, QStringLiteral("Mail")), (QList<int>{0, 1, 3}));
    for (int i : {0, 1, 3}) {
        QCOMPARE(items[i].pasteMethod, PasteMethod::EnterKeystrokes);
        QCOMPARE(items[i].created, QStringLiteral("1/1/2020 9:00:00 AM"));
    }

    // Cancel: nothing.
    items = category(4);
    editorShown([](ItemEditor &editor) {
        control<QLineEdit>(editor, "alias")->setText(QStringLiteral("lost"));
        control<QPushButton>(editor, "Cancel")->click();
    });
    QVERIFY(dialogs.editItems(items, 0, QStringLiteral("Mail")).isEmpty());
    QCOMPARE(items[0].alias, QStringLiteral("item 0"));
}

void TestEditMoreList::everyControlIsNamed()
{
    Fixture f;
    f.openList();
    QCOMPARE(unnamedControls(f.editor->editMoreList()), QStringList());
}

void TestEditMoreList::longEntriesShowWhole()
{
    Fixture f(3);
    f.items[1].alias = QStringLiteral("A rather long alias that a captured sentence gives");
    f.session = std::make_unique<EditMoreSession>(f.records, f.records[0]);
    f.editor->setEditMore(*f.session, QStringLiteral("Mail"));
    f.openList();
    QListWidget *view = f.list();
    QCoreApplication::processEvents();
    // No row is cut and no horizontal scroll bar takes a row's room.
    QVERIFY(view->isVisible());
    QVERIFY(!view->horizontalScrollBar()->isVisible());
    QVERIFY(view->viewport()->width() >= view->sizeHintForColumn(0));
    for (int row = 0; row < view->count(); ++row)
        QVERIFY2(view->viewport()->rect().contains(view->visualItemRect(view->item(row))),
                 qPrintable(view->item(row)->text()));
}

QTEST_MAIN(TestEditMoreList)
#include "tst_editmorelist.moc"
