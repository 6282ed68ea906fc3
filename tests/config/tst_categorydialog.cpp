#include "config/dialogs/categorypropertiesdialog.h"
#include "doubles/scriptedmessageboxes.h"
#include "store/collection.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

#include "testsupport.h"

#include <memory>

using Mode = CategoryPropertiesDialog::Mode;

namespace {

const QString kNotAName =
    QStringLiteral("Please enter a valid category name (can contain numbers, but cannot be a number).");
const QString kNameTaken = QStringLiteral("There is already a category with this name, please re-enter.");
const QString kHostileName = QStringLiteral("<b>Tom & Jerry</b>");

CategoryNode *addCategory(Collection &collection, const QString &name, int items, const CategorySettings &rec = {})
{
    CategoryNode *node = collection.appendCategory(name, rec);
    for (int i = 0; i < items; ++i)
        node->items.push_back(std::make_unique<Item>(TestSupport::textItem(QString::number(i))));
    return node;
}

// Work holds 30 items, Home none; the third name is one to be shown as typed.
struct Fixture
{
    Collection collection;
    CategoryNode *work = addCategory(collection, QStringLiteral("Work"), 30);
    CategoryNode *home = addCategory(collection, QStringLiteral("Home"), 0);
    CategoryNode *hostile = addCategory(collection, kHostileName, 2);
    ScriptedMessageBoxes messages;

    std::unique_ptr<CategoryPropertiesDialog> dialog(Mode mode, CategoryNode *edited = nullptr)
    {
        return std::make_unique<CategoryPropertiesDialog>(mode, collection, edited, messages);
    }
};

template <typename T>
T *control(const QWidget &dialog, const char *name)
{
    T *widget = dialog.findChild<T *>(QString::fromLatin1(name));
    if (!widget)
        qFatal("no control %s", name);
    return widget;
}

QStringList comboItems(const QComboBox *combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}

} // namespace

class TestCategoryDialog : public QObject
{
    Q_OBJECT
private slots:
    void okValidatesTheName_data();
    void okValidatesTheName();
    void enterInTheNameIsOkOnce();
    void newCategoryStartsEmpty();
    void editFillsFromTheCategory();
    void noLimitUnlocksAndDisables();
    void limitCannotGoBelowTheItemCount();
    void extraTextFollowsTheAction();
    void editKeepsTheActionCount();
    void ownPastingMethod();
    void copySourceAndPlacement_data();
    void copySourceAndPlacement();
    void forcedModeCannotBeCancelled();
    void cancelWhenAllowed();
    void propertiesCutTheExtraText();
    void helpTopicFollowsThePage();
    void centredAndFocusedWhenShown();
    void everyControlHasAnAccessibleName();
};

void TestCategoryDialog::okValidatesTheName_data()
{
    QTest::addColumn<bool>("edit");  // edit Work, else a new category
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");  // empty: accepted
    QTest::newRow("empty") << false << "" << kNotAName;
    QTest::newRow("blanks") << false << "   " << kNotAName;
    QTest::newRow("number") << false << "12" << kNotAName;
    QTest::newRow("signed number") << false << "+12" << kNotAName;
    QTest::newRow("number after spaces") << false << "  12" << kNotAName;
    QTest::newRow("hex number") << false << "$1F" << kNotAName;
    QTest::newRow("number then space") << false << "12 " << QString();
    QTest::newRow("number then letter") << false << "12a" << QString();
    QTest::newRow("the number -89") << false << "-89" << QString();
    QTest::newRow("new, existing name") << false << "Home" << kNameTaken;
    QTest::newRow("new, existing name in other case") << false << "home" << QString();
    QTest::newRow("new, existing markup name") << false << kHostileName << kNameTaken;
    QTest::newRow("edit, own name kept") << true << "Work" << QString();
    QTest::newRow("edit, another's name") << true << "Home" << kNameTaken;
    QTest::newRow("edit, blanks") << true << " " << kNotAName;
    QTest::newRow("edit, new name with blanks") << true << " Office " << QString();
}

void TestCategoryDialog::okValidatesTheName()
{
    QFETCH(bool, edit);
    QFETCH(QString, name);
    QFETCH(QString, message);
    Fixture f;
    auto dialog = edit ? f.dialog(Mode::Edit, f.work) : f.dialog(Mode::New);
    dialog->show();
    auto *nameEdit = control<QLineEdit>(*dialog, "cedit");
    nameEdit->setText(name);
    control<QPushButton>(*dialog, "ok")->click();

    if (message.isEmpty()) {
        QVERIFY(f.messages.shown().isEmpty());
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        QVERIFY(!dialog->isVisible());
        QCOMPARE(dialog->properties().name, name);
        return;
    }
    QCOMPARE(f.messages.texts(), QStringList{message});
    const auto &box = f.messages.shown().constFirst();
    QCOMPARE(box.icon, MessageBoxService::Icon::None);
    QCOMPARE(box.title, kApplicationTitle);
    QVERIFY(dialog->isVisible());
    QCOMPARE(nameEdit->text(), name);
}

void TestCategoryDialog::enterInTheNameIsOkOnce()
{
    Fixture f;
    auto dialog = f.dialog(Mode::New);
    dialog->show();
    auto *nameEdit = control<QLineEdit>(*dialog, "cedit");
    nameEdit->setText(QStringLiteral("12"));
    QTest::keyClick(nameEdit, Qt::Key_Return);
    QCOMPARE(f.messages.texts(), QStringList{kNotAName});
    QVERIFY(dialog->isVisible());

    nameEdit->setText(QStringLiteral("Errands"));
    QTest::keyClick(nameEdit, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QCOMPARE(f.messages.shown().size(), 1);
}

void TestCategoryDialog::newCategoryStartsEmpty()
{
    Fixture f;
    auto dialog = f.dialog(Mode::New);
    dialog->show();
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Category Properties"));
    auto *pages = control<QTabWidget>(*dialog, "PCCatProperties");
    QCOMPARE(pages->tabText(0), QStringLiteral("Category Data"));
    QCOMPARE(pages->tabText(1), QStringLiteral("Properties"));
    QCOMPARE(pages->widget(0)->objectName(), QStringLiteral("CatSheet"));
    QCOMPARE(pages->widget(1)->objectName(), QStringLiteral("tabProperties"));

    QVERIFY(control<QLineEdit>(*dialog, "cedit")->text().isEmpty());
    QVERIFY(!control<QCheckBox>(*dialog, "alphacb")->isVisible());
    QVERIFY(control<QRadioButton>(*dialog, "nolimitrb")->isChecked());
    auto *limit = control<QSpinBox>(*dialog, "limitse");
    QCOMPARE(limit->value(), 100);
    QCOMPARE(limit->minimum(), 1);
    QCOMPARE(limit->maximum(), 10000);
    QVERIFY(!limit->isEnabled());
    QVERIFY(!control<QLabel>(*dialog, "notelbl")->isEnabled());
    QVERIFY(!control<QCheckBox>(*dialog, "lockcb")->isEnabled());
    auto *action = control<QComboBox>(*dialog, "actioncombo");
    QCOMPARE(comboItems(action),
             QStringList({"None", "Press Tab key", "Press Enter key", "Press Spacebar", "Jump cursor to next",
                          "Specify extra text"}));
    QCOMPARE(action->currentIndex(), 0);
    QVERIFY(!control<QLineEdit>(*dialog, "extraedit")->isEnabled());
    auto *count = control<QSpinBox>(*dialog, "actionse");
    QCOMPARE(count->value(), 1);
    QCOMPARE(count->minimum(), 1);
    QCOMPARE(count->maximum(), 9);
    QVERIFY(!count->isEnabled());
    QVERIFY(!control<QLabel>(*dialog, "lbl")->isEnabled());
    QVERIFY(!control<QCheckBox>(*dialog, "cbcpm")->isChecked());
    QVERIFY(!control<QGroupBox>(*dialog, "cpasterg")->isEnabled());
    QVERIFY(control<QPushButton>(*dialog, "Cancel")->isEnabled());

    const CategoryProperties p = dialog->properties();
    QCOMPARE(p.settings.limit, 0);
    QVERIFY(!p.settings.lockAtLimit);
    QCOMPARE(p.settings.action, AfterPasteAction::None);
    QCOMPARE(p.settings.pasteMethod, PasteMethod::NoCategoryMethod);
    QCOMPARE(p.settings.actionCount, 1);
    QVERIFY(p.copyFrom.isEmpty());
    QVERIFY(!p.alphabetize);
}

void TestCategoryDialog::editFillsFromTheCategory()
{
    Fixture f;
    CategorySettings rec;
    rec.limit = 40;
    rec.lockAtLimit = true;
    rec.action = AfterPasteAction::TypeExtraText;
    rec.extraText = QStringLiteral("regards");
    rec.actionCount = 2;
    rec.pasteMethod = PasteMethod::EnterKeystrokes;
    CategoryNode *edited = addCategory(f.collection, QStringLiteral("Letters"), 5, rec);
    auto dialog = f.dialog(Mode::Edit, edited);
    dialog->show();

    QCOMPARE(control<QLineEdit>(*dialog, "cedit")->text(), QStringLiteral("Letters"));
    QVERIFY(control<QCheckBox>(*dialog, "alphacb")->isVisible());
    QVERIFY(control<QRadioButton>(*dialog, "limitrb")->isChecked());
    QCOMPARE(control<QSpinBox>(*dialog, "limitse")->value(), 40);
    QVERIFY(control<QCheckBox>(*dialog, "lockcb")->isChecked());
    QVERIFY(control<QCheckBox>(*dialog, "cbcpm")->isChecked());
    QVERIFY(control<QRadioButton>(*dialog, "cpastergKeystrokes")->isChecked());
    QVERIFY(control<QLineEdit>(*dialog, "extraedit")->isEnabled());

    // Nothing changed: the category's record comes back as it was.
    const CategoryProperties p = dialog->properties();
    QCOMPARE(p.name, QStringLiteral("Letters"));
    QCOMPARE(p.settings.limit, 40);
    QVERIFY(p.settings.lockAtLimit);
    QCOMPARE(p.settings.action, AfterPasteAction::TypeExtraText);
    QCOMPARE(p.settings.extraText, QStringLiteral("regards"));
    QCOMPARE(p.settings.actionCount, 2);
    QCOMPARE(p.settings.pasteMethod, PasteMethod::EnterKeystrokes);
}

void TestCategoryDialog::noLimitUnlocksAndDisables()
{
    Fixture f;
    auto dialog = f.dialog(Mode::New);
    dialog->show();
    auto *limited = control<QRadioButton>(*dialog, "limitrb");
    auto *unlimited = control<QRadioButton>(*dialog, "nolimitrb");
    auto *limit = control<QSpinBox>(*dialog, "limitse");
    auto *lock = control<QCheckBox>(*dialog, "lockcb");

    limited->click();
    QVERIFY(limit->isEnabled());
    QVERIFY(control<QLabel>(*dialog, "notelbl")->isEnabled());
    QVERIFY(lock->isEnabled());
    limit->setValue(250);
    lock->click();
    QCOMPARE(dialog->properties().settings.limit, 250);
    QVERIFY(dialog->properties().settings.lockAtLimit);

    unlimited->click();
    QVERIFY(!lock->isChecked());
    QVERIFY(!lock->isEnabled());
    QVERIFY(!limit->isEnabled());
    QVERIFY(!control<QLabel>(*dialog, "notelbl")->isEnabled());
    QCOMPARE(dialog->properties().settings.limit, 0);
    QVERIFY(!dialog->properties().settings.lockAtLimit);

    dialog->hide();
    dialog->show();
    QCOMPARE(limit->value(), 100);
}

void TestCategoryDialog::limitCannotGoBelowTheItemCount()
{
    Fixture f;
    auto dialog = f.dialog(Mode::Edit, f.work);
    dialog->show();
    control<QRadioButton>(*dialog, "limitrb")->click();
    auto *limit = control<QSpinBox>(*dialog, "limitse");
    limit->setValue(10);
    QCOMPARE(limit->value(), 30);
    QCOMPARE(dialog->properties().settings.limit, 30);
}

void TestCategoryDialog::extraTextFollowsTheAction()
{
    Fixture f;
    auto dialog = f.dialog(Mode::New);
    dialog->show();
    control<QTabWidget>(*dialog, "PCCatProperties")->setCurrentIndex(1);
    auto *action = control<QComboBox>(*dialog, "actioncombo");
    auto *extra = control<QLineEdit>(*dialog, "extraedit");
    auto *count = control<QSpinBox>(*dialog, "actionse");
    const QColor normalBackground = dialog->palette().color(QPalette::Active, QPalette::Base);
    QCOMPARE(extra->palette().color(QPalette::Disabled, QPalette::Base), QColor(192, 192, 192));

    action->setCurrentIndex(5);
    QVERIFY(extra->isEnabled());
    QCOMPARE(dialog->focusWidget(), extra);
    QCOMPARE(extra->palette().color(QPalette::Active, QPalette::Base), normalBackground);
    QVERIFY(count->isEnabled());
    QVERIFY(control<QLabel>(*dialog, "lbl")->isEnabled());
    count->setValue(4);

    action->setCurrentIndex(0);
    QVERIFY(!extra->isEnabled());
    QCOMPARE(extra->palette().color(QPalette::Disabled, QPalette::Base), QColor(192, 192, 192));
    QCOMPARE(count->value(), 1);
    QVERIFY(!count->isEnabled());
    QVERIFY(!control<QLabel>(*dialog, "lbl")->isEnabled());
}

void TestCategoryDialog::editKeepsTheActionCount()
{
    Fixture f;
    CategorySettings rec;
    rec.action = AfterPasteAction::PressTab;
    rec.actionCount = 3;
    CategoryNode *edited = addCategory(f.collection, QStringLiteral("Forms"), 1, rec);
    auto dialog = f.dialog(Mode::Edit, edited);
    dialog->show();
    auto *count = control<QSpinBox>(*dialog, "actionse");
    QCOMPARE(count->value(), 3);
    QVERIFY(count->isEnabled());
    QVERIFY(!control<QLineEdit>(*dialog, "extraedit")->isEnabled());
    control<QPushButton>(*dialog, "ok")->click();
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QCOMPARE(dialog->properties().settings.actionCount, 3);
    QCOMPARE(dialog->properties().settings.action, AfterPasteAction::PressTab);
}

void TestCategoryDialog::ownPastingMethod()
{
    Fixture f;
    auto dialog = f.dialog(Mode::New);
    dialog->show();
    auto *own = control<QCheckBox>(*dialog, "cbcpm");
    auto *methods = control<QGroupBox>(*dialog, "cpasterg");
    own->click();
    QVERIFY(methods->isEnabled());
    QCOMPARE(dialog->properties().settings.pasteMethod, PasteMethod::SimulateCtrlV);
    control<QRadioButton>(*dialog, "cpastergInsert")->click();
    QCOMPARE(dialog->properties().settings.pasteMethod, PasteMethod::InsertAtCursor);
    own->click();
    QVERIFY(!methods->isEnabled());
    QCOMPARE(dialog->properties().settings.pasteMethod, PasteMethod::NoCategoryMethod);
}

void TestCategoryDialog::copySourceAndPlacement_data()
{
    QTest::addColumn<QString>("edited");  // empty: a new category
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<bool>("placementEnabled");
    const QString none = QStringLiteral("-None-");
    QTest::newRow("new") << "" << QStringList{none, "Work", "Home", kHostileName} << "Work" << false;
    QTest::newRow("edit a category with items") << "Work" << QStringList{none, "Home", kHostileName}
                                                 << kHostileName << true;
    QTest::newRow("edit an empty category") << "Home" << QStringList{none, "Work", kHostileName} << "Work"
                                             << false;
    QTest::newRow("edit, nothing chosen") << "Work" << QStringList{none, "Home", kHostileName} << none << false;
}

void TestCategoryDialog::copySourceAndPlacement()
{
    QFETCH(QString, edited);
    QFETCH(QStringList, entries);
    QFETCH(QString, chosen);
    QFETCH(bool, placementEnabled);
    Fixture f;
    auto dialog = edited.isEmpty() ? f.dialog(Mode::New) : f.dialog(Mode::Edit, f.collection.findCategory(edited));
    dialog->show();
    auto *source = control<QComboBox>(*dialog, "ccombo");
    auto *placement = control<QGroupBox>(*dialog, "berg");
    QCOMPARE(comboItems(source), entries);
    QCOMPARE(source->currentIndex(), 0);
    QVERIFY(!placement->isEnabled());

    source->setCurrentIndex(int(entries.indexOf(chosen)));
    QCOMPARE(placement->isEnabled(), placementEnabled);
    const bool chosenNone = source->currentIndex() == 0;
    QCOMPARE(dialog->properties().copyFrom, chosenNone ? QString() : chosen);
    QVERIFY(!dialog->properties().copyToEnd);
    if (placementEnabled) {
        control<QRadioButton>(*dialog, "bergEnd")->click();
        QVERIFY(dialog->properties().copyToEnd);
    }
    source->setCurrentIndex(0);
    QVERIFY(!placement->isEnabled());
}

void TestCategoryDialog::forcedModeCannotBeCancelled()
{
    Fixture f;
    auto dialog = f.dialog(Mode::New);
    dialog->setCancelAllowed(false);
    dialog->show();
    QVERIFY(!control<QPushButton>(*dialog, "Cancel")->isEnabled());

    dialog->reject();
    QVERIFY(dialog->isVisible());
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    QVERIFY(dialog->isVisible());
    QVERIFY(!dialog->close());
    QVERIFY(dialog->isVisible());

    control<QLineEdit>(*dialog, "cedit")->setText(QStringLiteral("First"));
    control<QPushButton>(*dialog, "ok")->click();
    QVERIFY(!dialog->isVisible());
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
}

void TestCategoryDialog::cancelWhenAllowed()
{
    Fixture f;
    auto dialog = f.dialog(Mode::New);
    dialog->show();
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(dialog->result(), int(QDialog::Rejected));

    dialog->show();
    control<QPushButton>(*dialog, "Cancel")->click();
    QVERIFY(!dialog->isVisible());
    QCOMPARE(dialog->result(), int(QDialog::Rejected));
    QVERIFY(f.messages.shown().isEmpty());
}

void TestCategoryDialog::propertiesCutTheExtraText()
{
    Fixture f;
    auto dialog = f.dialog(Mode::New);
    dialog->show();
    control<QComboBox>(*dialog, "actioncombo")->setCurrentIndex(5);
    // Characters, not UTF-16 units: each of these needs two.
    const QString clef = QStringLiteral("\U0001D11E");
    control<QLineEdit>(*dialog, "extraedit")->setText(clef.repeated(300));
    const CategoryProperties p = dialog->properties();
    QCOMPARE(p.settings.extraText, clef.repeated(255));
    QCOMPARE(p.settings.action, AfterPasteAction::TypeExtraText);
}

void TestCategoryDialog::helpTopicFollowsThePage()
{
    Fixture f;
    auto dialog = f.dialog(Mode::New);
    dialog->show();
    QSignalSpy help(dialog.get(), &CategoryPropertiesDialog::helpRequested);
    auto *button = control<QPushButton>(*dialog, "helpbtn");
    button->click();
    control<QTabWidget>(*dialog, "PCCatProperties")->setCurrentIndex(1);
    button->click();
    QCOMPARE(help.size(), 2);
    QCOMPARE(help.at(0).at(0).toString(), QStringLiteral("Category_Properties_Window"));
    QCOMPARE(help.at(1).at(0).toString(), QStringLiteral("Category_Properties_tab"));
    QVERIFY(dialog->isVisible());
}

void TestCategoryDialog::centredAndFocusedWhenShown()
{
    Fixture f;
    auto dialog = f.dialog(Mode::New);
    dialog->show();
    const QRect screen = dialog->screen()->geometry();
    QCOMPARE(dialog->pos(), QPoint(screen.x() + screen.width() / 2 - dialog->width() / 2,
                                   screen.y() + screen.height() / 2 - dialog->height() / 2));
    QCOMPARE(dialog->focusWidget(), control<QLineEdit>(*dialog, "cedit"));
}

void TestCategoryDialog::everyControlHasAnAccessibleName()
{
    Fixture f;
    auto dialog = f.dialog(Mode::Edit, f.work);
    dialog->show();
    QCOMPARE(QAccessible::queryAccessibleInterface(control<QLineEdit>(*dialog, "cedit"))->text(QAccessible::Name),
             QStringLiteral("Category name:"));
    QCOMPARE(
        QAccessible::queryAccessibleInterface(control<QSpinBox>(*dialog, "actionse"))->text(QAccessible::Name),
        QStringLiteral("How many times?"));
    const auto widgets = dialog->findChildren<QWidget *>();
    for (QWidget *widget : widgets) {
        const bool isControl = qobject_cast<QAbstractButton *>(widget) || qobject_cast<QLineEdit *>(widget)
            || qobject_cast<QAbstractSpinBox *>(widget) || qobject_cast<QComboBox *>(widget)
            || qobject_cast<QGroupBox *>(widget);
        if (!isControl)
            continue;
        // The spin boxes' own line edits are part of the spin box.
        if (qobject_cast<QAbstractSpinBox *>(widget->parentWidget()))
            continue;
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(widget);
        QVERIFY(accessible);
        QVERIFY2(!accessible->text(QAccessible::Name).isEmpty(),
                 qPrintable(widget->objectName() + u' ' + widget->metaObject()->className()));
    }
}

QTEST_MAIN(TestCategoryDialog)
#include "tst_categorydialog.moc"
