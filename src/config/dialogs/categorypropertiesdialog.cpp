#include "config/dialogs/categorypropertiesdialog.h"

#include "common/messageboxservice.h"
#include "config/dialogs/screencentre.h"
#include "store/categorynames.h"
#include "store/collection.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

constexpr int kDefaultLimit = 100;
const QColor kDisabledEditBackground(192, 192, 192);

// A label that names the control beside it, for the eye and for screen readers.
QLabel *labelFor(QWidget *control, const QString &text)
{
    auto *label = new QLabel(text);
    label->setTextFormat(Qt::PlainText);
    label->setBuddy(control);
    control->setAccessibleName(text);
    return label;
}

QRadioButton *addRadio(QButtonGroup *group, QLayout *layout, const QString &objectName, const QString &text)
{
    auto *radio = new QRadioButton(text);
    radio->setObjectName(objectName);
    group->addButton(radio, int(group->buttons().size()));
    layout->addWidget(radio);
    return radio;
}

} // namespace

CategoryPropertiesDialog::CategoryPropertiesDialog(Mode mode, const Collection &collection,
                                                   const CategoryNode *edited, MessageBoxService &messages,
                                                   QWidget *parent)
    : QDialog(parent)
    , m_mode(mode)
    , m_collection(collection)
    , m_editing(mode == Mode::Edit && edited)
    , m_editedName(m_editing ? edited->name : QString())
    , m_editedItemCount(m_editing ? edited->itemCount() : 0)
    , m_messages(messages)
{
    Q_ASSERT(mode == Mode::New || edited);
    setObjectName(QStringLiteral("CategoryPropertiesDialog"));
    setWindowTitle(QStringLiteral("Category Properties"));

    m_pages = new QTabWidget;
    m_pages->setObjectName(QStringLiteral("PCCatProperties"));
    m_pages->setAccessibleName(QStringLiteral("Category properties pages"));
    m_categoryPage = buildCategoryPage();
    m_pages->addTab(m_categoryPage, QStringLiteral("Category Data"));
    m_pages->addTab(buildPropertiesPage(), QStringLiteral("Properties"));

    m_okButton = new QPushButton(QStringLiteral("OK"));
    m_okButton->setObjectName(QStringLiteral("ok"));
    m_okButton->setDefault(true);
    m_cancelButton = new QPushButton(QStringLiteral("Cancel"));
    m_cancelButton->setObjectName(QStringLiteral("Cancel"));
    m_helpButton = new QPushButton(QStringLiteral("Help"));
    m_helpButton->setObjectName(QStringLiteral("helpbtn"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);
    buttons->addWidget(m_helpButton);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_pages);
    layout->addLayout(buttons);

    if (m_editing)
        fillFrom(*edited);
    updateLimitControls();
    updateActionControls(false);
    m_methodGroup->setEnabled(m_ownMethodCheck->isChecked());
    updateCopyPlacement();

    connect(m_limitRadio, &QRadioButton::toggled, this, &CategoryPropertiesDialog::updateLimitControls);
    connect(m_actionCombo, &QComboBox::currentIndexChanged, this, [this] { updateActionControls(true); });
    connect(m_ownMethodCheck, &QCheckBox::toggled, m_methodGroup, &QGroupBox::setEnabled);
    connect(m_copyFromCombo, &QComboBox::currentIndexChanged, this, &CategoryPropertiesDialog::updateCopyPlacement);
    connect(m_okButton, &QPushButton::clicked, this, &CategoryPropertiesDialog::tryAccept);
    connect(m_cancelButton, &QPushButton::clicked, this, &CategoryPropertiesDialog::reject);
    connect(m_helpButton, &QPushButton::clicked, this, &CategoryPropertiesDialog::requestHelp);
    m_nameEdit->installEventFilter(this);
}

QWidget *CategoryPropertiesDialog::buildCategoryPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("CatSheet"));
    auto *layout = new QVBoxLayout(page);

    m_nameEdit = new QLineEdit;
    m_nameEdit->setObjectName(QStringLiteral("cedit"));
    layout->addWidget(labelFor(m_nameEdit, QStringLiteral("Category name:")));
    layout->addWidget(m_nameEdit);

    m_alphabetizeCheck = new QCheckBox(QStringLiteral("Alphabetize items"));
    m_alphabetizeCheck->setObjectName(QStringLiteral("alphacb"));
    // Sorting only means something for a category that already holds items.
    m_alphabetizeCheck->setVisible(m_mode == Mode::Edit);
    layout->addWidget(m_alphabetizeCheck);

    m_copyFromCombo = new QComboBox;
    m_copyFromCombo->setObjectName(QStringLiteral("ccombo"));
    m_copyFromCombo->addItem(QStringLiteral("-None-"));
    for (const auto &category : m_collection.categories()) {
        if (!m_editing || category->name != m_editedName)
            m_copyFromCombo->addItem(category->name);
    }
    layout->addWidget(labelFor(m_copyFromCombo, QStringLiteral("Add items in following category to above category:")));
    layout->addWidget(m_copyFromCombo);

    m_copyPlacementGroup = new QGroupBox(QStringLiteral("Where to add items"));
    m_copyPlacementGroup->setObjectName(QStringLiteral("berg"));
    m_copyPlacement = new QButtonGroup(m_copyPlacementGroup);
    auto *placementLayout = new QVBoxLayout(m_copyPlacementGroup);
    addRadio(m_copyPlacement, placementLayout, QStringLiteral("bergBeginning"),
             QStringLiteral("Add items to BEGINNING of category"))->setChecked(true);
    addRadio(m_copyPlacement, placementLayout, QStringLiteral("bergEnd"), QStringLiteral("Add items to END of category"));
    layout->addWidget(m_copyPlacementGroup);
    layout->addStretch();
    return page;
}

QWidget *CategoryPropertiesDialog::buildPropertiesPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("tabProperties"));
    auto *layout = new QVBoxLayout(page);

    auto *limitGroup = new QGroupBox(QStringLiteral("Category Item Limit"));
    auto *limitLayout = new QGridLayout(limitGroup);
    m_noLimitRadio = new QRadioButton(QStringLiteral("Don't use a limit (list will grow with every item added)"));
    m_noLimitRadio->setObjectName(QStringLiteral("nolimitrb"));
    m_noLimitRadio->setChecked(true);
    m_limitRadio = new QRadioButton(QStringLiteral("Limit category items to:"));
    m_limitRadio->setObjectName(QStringLiteral("limitrb"));
    m_limitSpin = new QSpinBox;
    m_limitSpin->setObjectName(QStringLiteral("limitse"));
    m_limitSpin->setRange(1, 10000);
    m_limitSpin->setValue(kDefaultLimit);
    m_limitSpin->setAccessibleName(m_limitRadio->text());
    m_limitNote = new QLabel(QStringLiteral("(only the most recent number\nof items will be kept)"));
    m_limitNote->setObjectName(QStringLiteral("notelbl"));
    m_limitNote->setTextFormat(Qt::PlainText);
    m_lockCheck = new QCheckBox(QStringLiteral("Prevent adding further items once limit is reached"));
    m_lockCheck->setObjectName(QStringLiteral("lockcb"));
    limitLayout->addWidget(m_noLimitRadio, 0, 0, 1, 2);
    limitLayout->addWidget(m_limitRadio, 1, 0);
    limitLayout->addWidget(m_limitSpin, 1, 1);
    limitLayout->addWidget(m_limitNote, 2, 0, 1, 2);
    limitLayout->addWidget(m_lockCheck, 3, 0, 1, 2);
    layout->addWidget(limitGroup);

    m_actionCombo = new QComboBox;
    m_actionCombo->setObjectName(QStringLiteral("actioncombo"));
    // In the order of AfterPasteAction: the index is the stored action.
    m_actionCombo->addItems({QStringLiteral("None"), QStringLiteral("Press Tab key"), QStringLiteral("Press Enter key"),
                             QStringLiteral("Press Spacebar"), QStringLiteral("Jump cursor to next"),
                             QStringLiteral("Specify extra text")});
    m_extraTextEdit = new QLineEdit;
    m_extraTextEdit->setObjectName(QStringLiteral("extraedit"));
    m_extraTextEdit->setAccessibleName(QStringLiteral("Extra text"));
    m_countSpin = new QSpinBox;
    m_countSpin->setObjectName(QStringLiteral("actionse"));
    m_countSpin->setRange(1, 9);
    m_countLabel = labelFor(m_countSpin, QStringLiteral("How many times?"));
    m_countLabel->setObjectName(QStringLiteral("lbl"));
    auto *actionLayout = new QGridLayout;
    actionLayout->addWidget(labelFor(m_actionCombo, QStringLiteral("Action to perform after paste")), 0, 0);
    actionLayout->addWidget(m_actionCombo, 0, 1);
    actionLayout->addWidget(m_extraTextEdit, 1, 0, 1, 2);
    actionLayout->addWidget(m_countLabel, 2, 0);
    actionLayout->addWidget(m_countSpin, 2, 1);
    layout->addLayout(actionLayout);

    m_ownMethodCheck = new QCheckBox(QStringLiteral("Enable category pasting method (for every item in category)"));
    m_ownMethodCheck->setObjectName(QStringLiteral("cbcpm"));
    layout->addWidget(m_ownMethodCheck);
    m_methodGroup = new QGroupBox(QStringLiteral("Category Pasting Method"));
    m_methodGroup->setObjectName(QStringLiteral("cpasterg"));
    m_method = new QButtonGroup(m_methodGroup);
    auto *methodLayout = new QVBoxLayout(m_methodGroup);
    // In the order of PasteMethod: the index is the stored method.
    addRadio(m_method, methodLayout, QStringLiteral("cpastergCtrlV"), QStringLiteral("Simulate Ctrl-V"))->setChecked(true);
    addRadio(m_method, methodLayout, QStringLiteral("cpastergKeystrokes"), QStringLiteral("Enter keystrokes"));
    addRadio(m_method, methodLayout, QStringLiteral("cpastergInsert"), QStringLiteral("Insert at cursor"));
    layout->addWidget(m_methodGroup);
    layout->addStretch();
    return page;
}

void CategoryPropertiesDialog::fillFrom(const CategoryNode &category)
{
    const CategorySettings &rec = category.rec;
    m_nameEdit->setText(category.name);
    // A limit below what the category already holds cannot be entered.
    m_limitSpin->setMinimum(qMax(1, category.itemCount()));
    if (rec.limit != 0) {
        m_limitRadio->setChecked(true);
        m_limitSpin->setValue(rec.limit);
    }
    m_lockCheck->setChecked(rec.lockAtLimit);

    const int method = int(rec.pasteMethod);
    const bool ownMethod = method >= 0 && method < int(PasteMethod::NoCategoryMethod);
    m_ownMethodCheck->setChecked(ownMethod);
    if (ownMethod)
        m_method->button(method)->setChecked(true);

    const int action = int(rec.action);
    m_actionCombo->setCurrentIndex(action >= 0 && action < m_actionCombo->count() ? action : 0);
    m_extraTextEdit->setText(rec.extraText);
    m_countSpin->setValue(rec.actionCount);
}

void CategoryPropertiesDialog::setCancelAllowed(bool allowed)
{
    m_cancelAllowed = allowed;
    m_cancelButton->setEnabled(allowed);
}

CategoryProperties CategoryPropertiesDialog::properties() const
{
    CategoryProperties result;
    result.name = m_nameEdit->text();
    result.settings.limit = m_limitRadio->isChecked() ? m_limitSpin->value() : 0;
    result.settings.lockAtLimit = m_lockCheck->isChecked();
    result.settings.action = AfterPasteAction(m_actionCombo->currentIndex());
    result.settings.pasteMethod =
        m_ownMethodCheck->isChecked() ? PasteMethod(m_method->checkedId()) : PasteMethod::NoCategoryMethod;
    result.settings.actionCount = m_countSpin->value();
    result.settings.setExtraText(m_extraTextEdit->text());
    result.alphabetize = m_alphabetizeCheck->isChecked();
    if (m_copyFromCombo->currentIndex() > 0)
        result.copyFrom = m_copyFromCombo->currentText();
    result.copyToEnd = m_copyPlacement->checkedId() == 1;
    return result;
}

bool CategoryPropertiesDialog::eventFilter(QObject *watched, QEvent *event)
{
    // Enter in the name box is OK, and only once: the dialog must not see it again.
    if (watched == m_nameEdit && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            tryAccept();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CategoryPropertiesDialog::reject()
{
    // Escape and the close box end up here too: without Cancel only a valid name ends the dialog.
    if (!m_cancelAllowed)
        return;
    QDialog::reject();
}

void CategoryPropertiesDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    // The count shown is the caller's; only the user's change of action resets it.
    updateActionControls(false);
    if (m_noLimitRadio->isChecked()) {
        m_limitSpin->setValue(kDefaultLimit);
        m_lockCheck->setChecked(false);
    }
    centreOnScreen(this);
    m_nameEdit->setFocus();
}

void CategoryPropertiesDialog::tryAccept()
{
    // Looked up again: the category being edited may have gone meanwhile.
    const CategoryNode *edited = m_editing ? m_collection.findCategory(m_editedName) : nullptr;
    const QString problem = categoryNameProblem(m_collection, m_nameEdit->text(), edited);
    if (!problem.isEmpty()) {
        m_messages.show(MessageBoxService::Icon::None, kApplicationTitle, problem, MessageBoxService::Ok);
        return;
    }
    accept();
}

void CategoryPropertiesDialog::updateLimitControls()
{
    const bool limited = m_limitRadio->isChecked();
    m_limitSpin->setEnabled(limited);
    m_limitNote->setEnabled(limited);
    m_lockCheck->setEnabled(limited);
    // A lock without a limit cannot be chosen.
    if (!limited)
        m_lockCheck->setChecked(false);
}

void CategoryPropertiesDialog::updateActionControls(bool resetCount)
{
    const int action = m_actionCombo->currentIndex();
    m_countSpin->setEnabled(action > 0);
    m_countLabel->setEnabled(action > 0);
    const bool extraText = action == int(AfterPasteAction::TypeExtraText);
    m_extraTextEdit->setEnabled(extraText);
    if (extraText) {
        m_extraTextEdit->setPalette(QPalette());
        if (isVisible())
            m_extraTextEdit->setFocus();
        return;
    }
    QPalette greyed = m_extraTextEdit->palette();
    greyed.setColor(QPalette::Base, kDisabledEditBackground);
    m_extraTextEdit->setPalette(greyed);
    if (resetCount)
        m_countSpin->setValue(1);
}

void CategoryPropertiesDialog::updateCopyPlacement()
{
    // Only items already in the category give "beginning" and "end" a meaning.
    m_copyPlacementGroup->setEnabled(m_copyFromCombo->currentIndex() > 0 && m_editedItemCount > 0);
}

void CategoryPropertiesDialog::requestHelp()
{
    emit helpRequested(m_pages->currentWidget() == m_categoryPage ? QStringLiteral("Category_Properties_Window")
                                                                  : QStringLiteral("Category_Properties_tab"));
}
