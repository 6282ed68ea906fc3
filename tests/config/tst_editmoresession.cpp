#include "config/dialogs/editmoresession.h"
#include "store/item.h"

#include <QTest>

#include <vector>

using Field = EditMoreSession::Field;
using Fields = EditMoreSession::Fields;

namespace {

const QString RichSource = QStringLiteral(R"({\rtf1 {\b Bold} word\par second})");
const QString Stamp = QStringLiteral("12/10/2026 4:00:00 PM");

Item makeItem(ItemKind kind, const QString &text, const QString &alias)
{
    Item item;
    item.kind = kind;
    item.text = text;
    item.alias = alias;
    item.category = QStringLiteral("Snippets");
    item.created = QStringLiteral("1/1/2020 9:00:00 AM");
    item.action = AfterPasteAction::PressTab;
    item.actionCount = 2;
    item.pasteMethod = PasteMethod::EnterKeystrokes;
    item.extraText = QStringLiteral("own extra");
    return item;
}

// A category in tree order: two plain items around an image, a rich item
// and one more plain item.
struct Category
{
    Category()
    {
        items = {
            makeItem(ItemKind::PlainText, QStringLiteral("alpha"), QStringLiteral("alpha")),
            makeItem(ItemKind::Image, QStringLiteral("img.bmp"), QStringLiteral("Image: 4 x 4")),
            makeItem(ItemKind::PlainText, QStringLiteral("gamma"), QStringLiteral("gamma")),
            makeItem(ItemKind::RichText, RichSource, QStringLiteral("Bold word...")),
            makeItem(ItemKind::PlainText, QStringLiteral("epsilon"), QStringLiteral("epsilon")),
        };
        originals = items;
        for (Item &item : items)
            pointers.append(&item);
    }

    std::vector<Item> items;
    std::vector<Item> originals;
    QList<Item *> pointers;
};

EditMoreSession::EditorState editorState(bool listShowing = true)
{
    EditMoreSession::EditorState state;
    state.alias = QStringLiteral("Shared alias");
    state.action = AfterPasteAction::PressEnter;
    state.extraText = QStringLiteral("shared extra");
    state.pasteMethod = PasteMethod::InsertAtCursor;
    state.count = 7;
    state.plainText = QStringLiteral("shared text");
    state.richSource = QStringLiteral(R"({\rtf1 shared text})");
    state.richMode = false;
    state.listShowing = listShowing;
    return state;
}

// The record as it should read after OK when only `field` was changed to
// what `state` shows.
Item withField(Item item, Field field, const EditMoreSession::EditorState &state)
{
    switch (field) {
    case Field::Alias:
        item.alias = state.alias;
        break;
    case Field::Action:
        item.action = state.action;
        break;
    case Field::ExtraText:
        item.extraText = state.extraText;
        break;
    case Field::PasteMethod:
        item.pasteMethod = state.pasteMethod;
        break;
    case Field::Text:
        item.text = state.plainText;
        break;
    case Field::Count:
        item.actionCount = std::int8_t(state.count);
        break;
    }
    return item;
}

void compareItems(const Item &actual, const Item &expected)
{
    QCOMPARE(actual.alias, expected.alias);
    QCOMPARE(actual.kind, expected.kind);
    QCOMPARE(actual.text, expected.text);
    QCOMPARE(actual.action, expected.action);
    QCOMPARE(actual.actionCount, expected.actionCount);
    QCOMPARE(actual.pasteMethod, expected.pasteMethod);
    QCOMPARE(actual.extraText, expected.extraText);
    QCOMPARE(actual.created, expected.created);
    QCOMPARE(actual.category, expected.category);
}

void finish(EditMoreSession &session, bool updateCreated = false)
{
    session.complete();
    session.apply(updateCreated, Stamp);
}

} // namespace

class TestEditMoreSession : public QObject
{
    Q_OBJECT
private slots:
    void startsOnTheOpenedItem();
    void severalSelectedChangeOnlyTheirField_data();
    void severalSelectedChangeOnlyTheirField();
    void textGoesToEverySelectedItem_data();
    void textGoesToEverySelectedItem();
    void untickedEntryStaysUnchanged();
    void discardForgetsEdits();
    void invertSelection_data();
    void invertSelection();
    void selectAllKeepsImagesOut();
    void noSelectionRecordsNothing_data();
    void noSelectionRecordsNothing();
    void imageEntriesNeverTouched_data();
    void imageEntriesNeverTouched();
    void oneSelectedTextTakesEditorMode_data();
    void oneSelectedTextTakesEditorMode();
    void aliasChange_data();
    void aliasChange();
    void pickingLoadsCopyOnlyWhenChecked();
    void completion_data();
    void completion();
    void completedCountIsWhatTheCountBoxHolds_data();
    void completedCountIsWhatTheCountBoxHolds();
};

void TestEditMoreSession::startsOnTheOpenedItem()
{
    Category category;
    EditMoreSession session(category.pointers, &category.items[2]);
    QCOMPARE(session.count(), 5);
    QCOMPARE(session.startingEntry(), 2);
    QCOMPARE(session.current(), 2);
    QCOMPARE(session.selectedEntries(), QList<int>{2});
    QVERIFY(!session.isEnabled(1));
    for (int i = 0; i < session.count(); ++i) {
        QVERIFY(!session.isChecked(i));
        QVERIFY(!session.pendingCopy(i));
    }
}

void TestEditMoreSession::severalSelectedChangeOnlyTheirField_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<bool>("updateCreated");
    QTest::newRow("action") << int(Field::Action) << false;
    QTest::newRow("action, date renewed") << int(Field::Action) << true;
    QTest::newRow("extra text") << int(Field::ExtraText) << false;
    QTest::newRow("paste method") << int(Field::PasteMethod) << false;
    QTest::newRow("count") << int(Field::Count) << false;
    QTest::newRow("alias") << int(Field::Alias) << false;
}

void TestEditMoreSession::severalSelectedChangeOnlyTheirField()
{
    QFETCH(int, field);
    QFETCH(bool, updateCreated);
    Category category;
    EditMoreSession session(category.pointers, &category.items[0]);
    const QList<int> chosen{0, 2, 4};
    QVERIFY(!session.select(chosen, 0));
    const auto state = editorState();

    QCOMPARE(session.recordChange(Field(field), state), Fields(Field(field)));
    for (int i : chosen)
        QVERIFY(session.isChecked(i));
    finish(session, updateCreated);

    for (int i = 0; i < session.count(); ++i) {
        Item expected = category.originals[i];
        if (chosen.contains(i)) {
            expected = withField(expected, Field(field), state);
            if (updateCreated)
                expected.created = Stamp;
        }
        compareItems(category.items[i], expected);
    }
}

void TestEditMoreSession::textGoesToEverySelectedItem_data()
{
    QTest::addColumn<bool>("richMode");
    QTest::addColumn<bool>("aliasFirst");
    QTest::newRow("plain-text mode") << false << false;
    QTest::newRow("rich-text mode") << true << false;
    // Copies made before the text changed keep their own kind.
    QTest::newRow("alias first, rich-text mode") << true << true;
    QTest::newRow("alias first, plain-text mode") << false << true;
}

void TestEditMoreSession::textGoesToEverySelectedItem()
{
    QFETCH(bool, richMode);
    QFETCH(bool, aliasFirst);
    Category category;
    EditMoreSession session(category.pointers, &category.items[0]);
    const QList<int> chosen{0, 3, 4};
    session.select(chosen, 3);
    auto state = editorState();
    state.richMode = richMode;
    Fields markers = Field::Text;
    if (aliasFirst) {
        session.recordChange(Field::Alias, state);
        markers |= Field::Alias;
    }

    QCOMPARE(session.recordChange(Field::Text, state), markers);
    QCOMPARE(session.markers(), markers);
    finish(session);

    for (int i = 0; i < session.count(); ++i) {
        Item expected = category.originals[i];
        if (chosen.contains(i)) {
            if (aliasFirst)
                expected.alias = state.alias;
            else
                expected.kind = richMode ? ItemKind::RichText : ItemKind::PlainText;
            expected.text = expected.kind != ItemKind::PlainText ? state.richSource : state.plainText;
        }
        compareItems(category.items[i], expected);
    }
}

void TestEditMoreSession::untickedEntryStaysUnchanged()
{
    Category category;
    EditMoreSession session(category.pointers, &category.items[0]);
    session.select({0, 2}, 0);
    const auto state = editorState();
    session.recordChange(Field::Action, state);
    session.recordChange(Field::Text, state);
    session.setChecked(2, false);
    finish(session, true);

    Item changed = withField(withField(category.originals[0], Field::Action, state), Field::Text, state);
    changed.created = Stamp;
    compareItems(category.items[0], changed);
    compareItems(category.items[2], category.originals[2]);
}

void TestEditMoreSession::discardForgetsEdits()
{
    Category category;
    EditMoreSession session(category.pointers, &category.items[2]);
    session.select({0, 2, 4}, 4);
    session.recordChange(Field::Text, editorState());

    const Item reloaded = session.discard();
    compareItems(reloaded, category.originals[2]);
    QCOMPARE(session.selectedEntries(), QList<int>{2});
    QCOMPARE(session.current(), 2);
    QCOMPARE(session.markers(), Fields());
    for (int i = 0; i < session.count(); ++i) {
        QVERIFY(!session.isChecked(i));
        QVERIFY(!session.pendingCopy(i));
    }
    finish(session);
    for (int i = 0; i < session.count(); ++i)
        compareItems(category.items[i], category.originals[i]);
}

void TestEditMoreSession::invertSelection_data()
{
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<int>("current");
    QTest::addColumn<QList<int>>("expectedSelected");
    QTest::addColumn<int>("expectedCurrent");
    QTest::newRow("every enabled entry selected") << QList<int>{0, 2, 3, 4} << 3 << QList<int>{0} << 0;
    QTest::newRow("one selected") << QList<int>{2} << 2 << QList<int>{0, 3, 4} << 2;
    QTest::newRow("image selected stays selected") << QList<int>{1, 2} << 2 << QList<int>{0, 1, 3, 4} << 2;
}

void TestEditMoreSession::invertSelection()
{
    QFETCH(QList<int>, selected);
    QFETCH(int, current);
    QFETCH(QList<int>, expectedSelected);
    QFETCH(int, expectedCurrent);
    Category category;
    EditMoreSession session(category.pointers, &category.items[0]);
    session.select(selected, current);
    session.recordChange(Field::Action, editorState());

    const Item loaded = session.invertSelection();
    QCOMPARE(session.selectedEntries(), expectedSelected);
    QCOMPARE(session.current(), expectedCurrent);
    QCOMPARE(session.markers(), Fields());
    compareItems(loaded, session.recordFor(expectedCurrent));
}

void TestEditMoreSession::selectAllKeepsImagesOut()
{
    Category category;
    EditMoreSession session(category.pointers, &category.items[2]);
    session.select({0, 3}, 3);
    session.recordChange(Field::Count, editorState());
    session.selectAll();
    QCOMPARE(session.selectedEntries(), (QList<int>{0, 2, 3, 4}));
    QCOMPARE(session.current(), 3);
    QCOMPARE(session.markers(), Fields());
}

void TestEditMoreSession::noSelectionRecordsNothing_data()
{
    QTest::addColumn<int>("field");
    QTest::newRow("alias") << int(Field::Alias);
    QTest::newRow("action") << int(Field::Action);
    QTest::newRow("extra text") << int(Field::ExtraText);
    QTest::newRow("paste method") << int(Field::PasteMethod);
    QTest::newRow("text") << int(Field::Text);
    QTest::newRow("count") << int(Field::Count);
}

void TestEditMoreSession::noSelectionRecordsNothing()
{
    QFETCH(int, field);
    Category category;
    EditMoreSession session(category.pointers, &category.items[2]);
    session.select({}, 2);
    QCOMPARE(session.recordChange(Field(field), editorState()), Fields());
    for (int i = 0; i < session.count(); ++i) {
        QVERIFY(!session.isChecked(i));
        QVERIFY(!session.pendingCopy(i));
    }
    finish(session);
    for (int i = 0; i < session.count(); ++i)
        compareItems(category.items[i], category.originals[i]);
}

void TestEditMoreSession::imageEntriesNeverTouched_data()
{
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<int>("current");
    QTest::newRow("image among several") << QList<int>{0, 1, 2} << 1;
    QTest::newRow("image alone") << QList<int>{1} << 1;
    QTest::newRow("only images among several") << QList<int>{1} << 0;
}

void TestEditMoreSession::imageEntriesNeverTouched()
{
    QFETCH(QList<int>, selected);
    QFETCH(int, current);
    Category category;
    EditMoreSession session(category.pointers, &category.items[1]);
    session.select(selected, current);
    session.setChecked(1, true);
    auto state = editorState();
    state.richMode = true;
    for (Field field : {Field::Alias, Field::Action, Field::ExtraText, Field::PasteMethod, Field::Text, Field::Count})
        session.recordChange(field, state);

    QVERIFY(!session.isChecked(1));
    QVERIFY(!session.pendingCopy(1));
    finish(session, true);
    compareItems(category.items[1], category.originals[1]);
}

void TestEditMoreSession::oneSelectedTextTakesEditorMode_data()
{
    QTest::addColumn<int>("entry");
    QTest::addColumn<bool>("richMode");
    QTest::addColumn<bool>("listShowing");
    QTest::newRow("plain item turned rich") << 0 << true << true;
    QTest::newRow("rich item turned plain") << 3 << false << true;
    QTest::newRow("plain item stays plain") << 4 << false << true;
    QTest::newRow("list hidden: kept but not checked") << 0 << true << false;
}

void TestEditMoreSession::oneSelectedTextTakesEditorMode()
{
    QFETCH(int, entry);
    QFETCH(bool, richMode);
    QFETCH(bool, listShowing);
    Category category;
    EditMoreSession session(category.pointers, &category.items[entry]);
    auto state = editorState(listShowing);
    state.richMode = richMode;

    QCOMPARE(session.recordChange(Field::Text, state), Fields());
    QCOMPARE(session.isChecked(entry), listShowing);
    const Item *copy = session.pendingCopy(entry);
    QVERIFY(copy);
    QCOMPARE(copy->kind, richMode ? ItemKind::RichText : ItemKind::PlainText);
    QCOMPARE(copy->text, richMode ? state.richSource : state.plainText);
    QCOMPARE(copy->alias, category.originals[entry].alias);
    QCOMPARE(copy->action, category.originals[entry].action);
    QVERIFY(copy->created.isEmpty());
    QVERIFY(copy->category.isEmpty());

    finish(session);
    Item expected = category.originals[entry];
    if (listShowing) {
        expected.kind = copy->kind;
        expected.text = copy->text;
    }
    compareItems(category.items[entry], expected);
}

void TestEditMoreSession::aliasChange_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("alias");
    QTest::newRow("typed alias") << QStringLiteral(" mine ") << QStringLiteral("text") << QStringLiteral(" mine ");
    QTest::newRow("blank alias takes the first non-blank line as it stands")
        << QStringLiteral("  ") << QStringLiteral(" \r\n  first \r\nsecond") << QStringLiteral("  first ");
    QTest::newRow("blank text keeps the alias box") << QStringLiteral("  ") << QStringLiteral(" \n ")
                                                    << QStringLiteral("  ");
    QTest::newRow("cut to 100 characters") << QString(120, u'a') << QStringLiteral("text") << QString(100, u'a');
}

void TestEditMoreSession::aliasChange()
{
    QFETCH(QString, typed);
    QFETCH(QString, text);
    QFETCH(QString, alias);
    Category category;
    EditMoreSession session(category.pointers, &category.items[0]);
    auto state = editorState();
    state.alias = typed;
    state.plainText = text;
    session.recordChange(Field::Alias, state);
    QVERIFY(session.pendingCopy(0));
    QCOMPARE(session.pendingCopy(0)->alias, alias);
    QCOMPARE(session.pendingCopy(0)->text, category.originals[0].text);
}

void TestEditMoreSession::pickingLoadsCopyOnlyWhenChecked()
{
    Category category;
    EditMoreSession session(category.pointers, &category.items[0]);
    session.select({0, 2}, 2);
    const auto state = editorState();
    session.recordChange(Field::ExtraText, state);

    const std::optional<Item> picked = session.select({2}, 2);
    QVERIFY(picked);
    QCOMPARE(picked->extraText, state.extraText);

    session.setChecked(2, false);
    const std::optional<Item> unticked = session.select({2}, 2);
    QVERIFY(unticked);
    compareItems(*unticked, category.originals[2]);
    QVERIFY(session.pendingCopy(2));

    QVERIFY(!session.select({0, 2}, 0));
}

void TestEditMoreSession::completion_data()
{
    QTest::addColumn<int>("entry");
    QTest::addColumn<int>("action");
    QTest::addColumn<QString>("extraText");
    QTest::addColumn<QString>("typedAlias");
    QTest::addColumn<QString>("alias");
    QTest::addColumn<int>("finalAction");
    QTest::newRow("extra text action without extra text becomes none")
        << 0 << int(AfterPasteAction::TypeExtraText) << QString() << QStringLiteral("mine") << QStringLiteral("mine")
        << int(AfterPasteAction::None);
    QTest::newRow("extra text action with extra text stays")
        << 0 << int(AfterPasteAction::TypeExtraText) << QStringLiteral("x") << QStringLiteral("mine")
        << QStringLiteral("mine") << int(AfterPasteAction::TypeExtraText);
    QTest::newRow("blank alias derived from the plain text") << 0 << 1 << QString() << QStringLiteral(" ")
                                                              << QStringLiteral("alpha") << 1;
    QTest::newRow("blank alias of rich text derived from what it shows")
        << 3 << 1 << QString() << QStringLiteral(" ") << QStringLiteral("Bold word...") << 1;
}

void TestEditMoreSession::completion()
{
    QFETCH(int, entry);
    QFETCH(int, action);
    QFETCH(QString, extraText);
    QFETCH(QString, typedAlias);
    QFETCH(QString, alias);
    QFETCH(int, finalAction);
    Category category;
    EditMoreSession session(category.pointers, &category.items[entry]);
    auto state = editorState();
    state.alias = typedAlias;
    // A blank editor text leaves the alias box as typed until OK.
    state.plainText = QString();
    state.action = AfterPasteAction(action);
    state.extraText = extraText;
    session.recordChange(Field::Alias, state);
    session.recordChange(Field::Action, state);
    session.recordChange(Field::ExtraText, state);
    QCOMPARE(session.pendingCopy(entry)->alias, typedAlias);

    session.complete();
    QCOMPARE(session.pendingCopy(entry)->alias, alias);
    QCOMPARE(int(session.pendingCopy(entry)->action), finalAction);
    QCOMPARE(session.apply(false, Stamp), QList<int>{entry});
    QCOMPARE(category.items[entry].alias, alias);
    QCOMPARE(int(category.items[entry].action), finalAction);
    QCOMPARE(category.items[entry].text, category.originals[entry].text);
    QCOMPARE(category.items[entry].kind, category.originals[entry].kind);
}

void TestEditMoreSession::completedCountIsWhatTheCountBoxHolds_data()
{
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("completed");
    QTest::newRow("a captured item's 0") << 0 << 1;
    QTest::newRow("in range") << 4 << 4;
    QTest::newRow("out of range from a damaged file") << 12 << 9;
}

void TestEditMoreSession::completedCountIsWhatTheCountBoxHolds()
{
    // An action set on a captured item must happen, not happen no times.
    QFETCH(int, stored);
    QFETCH(int, completed);
    Category category;
    category.items[0].actionCount = std::int8_t(stored);
    EditMoreSession session(category.pointers, &category.items[0]);
    auto state = editorState();
    state.action = AfterPasteAction::PressEnter;
    session.recordChange(Field::Action, state);
    session.complete();
    session.apply(false, Stamp);
    QCOMPARE(category.items[0].action, AfterPasteAction::PressEnter);
    QCOMPARE(int(category.items[0].actionCount), completed);
}

QTEST_APPLESS_MAIN(TestEditMoreSession)
#include "tst_editmoresession.moc"
