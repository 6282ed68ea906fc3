#include "config/dialogs/itemeditor.h"

#include "capture/aliasderivation.h"
#include "common/errorhandler.h"
#include "common/messageboxservice.h"
#include "common/programerror.h"
#include "common/safefile.h"
#include "common/textcodecs.h"
#include "config/dialogs/editmorelist.h"
#include "config/dialogs/formatbar.h"
#include "config/dialogs/itemeditorrules.h"
#include "config/dialogs/screencentre.h"
#include "platform/filedialogs.h"
#include "richtext/richedit.h"
#include "richtext/richtextplain.h"
#include "settings/pastemethodhelp.h"
#include "store/createdstamp.h"
#include "store/item.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QShowEvent>
#include <QSpinBox>
#include <QStringDecoder>
#include <QTabWidget>
#include <QTextDocument>
#include <QToolButton>
#include <QVBoxLayout>

const QString ItemEditor::FileFilter =
    QStringLiteral("Text file (*.txt);;Rich Text Format (*.rtf);;Any file (*)");
const QString ItemEditor::HelpTopic = QStringLiteral("List_box_item_window");
const QString ItemEditor::EditMoreHelpTopic = QStringLiteral("Edit_More");
const QString ItemEditor::ImageCannotEdit = QStringLiteral("IMAGE: CANNOT EDIT");
const QString ItemEditor::TooLargeToEdit = QStringLiteral("TOO LARGE: CANNOT EDIT");

bool ItemEditor::reportTooLarge(const Item &item, MessageBoxService &messages)
{
    if (item.kind == ItemKind::Image || item.text.size() <= MaxItemText)
        return false;
    messages.error(QStringLiteral("The item \"%1\" is too large to be edited or printed: its text holds %2 characters, "
                                  "and those windows take at most %3.  The item is kept as it is; the preview and the "
                                  "details show its beginning, and it is pasted whole.")
                       .arg(item.alias.left(100))
                       .arg(item.text.size())
                       .arg(MaxItemText));
    return true;
}
const QString ItemEditor::MultiEditNotice = QStringLiteral(
    "You have selected multiple items.  Only the property(ies) that you modify below will be applied to selected "
    "items, and the rest of each item's properties will remain unchanged.  For example, if you modify the Text "
    "property below, it will replace the Text property of EVERY selected item.\r\n\r\nWhen you change a property "
    "below, a red slash will appear to the left of the property (which indicates that the changed property will be "
    "applied to all selected items).");

namespace {

const QColor kDisabledEditBackground(192, 192, 192);
const QString kTextFilter = QStringLiteral("Text file (*.txt)");
const QString kRichFilter = QStringLiteral("Rich Text Format (*.rtf)");

// A label that names the control beside it, for the eye and for screen readers.
QLabel *labelFor(QWidget *control, const QString &text)
{
    auto *label = new QLabel(text);
    label->setTextFormat(Qt::PlainText);
    label->setBuddy(control);
    control->setAccessibleName(text);
    return label;
}

QToolButton *flatButton(const char *name, const QString &text, const QString &hint)
{
    auto *button = new QToolButton;
    button->setObjectName(QLatin1String(name));
    button->setText(text);
    button->setToolTip(hint);
    button->setAccessibleName(hint);
    button->setAutoRaise(true);
    return button;
}

// A thin red bar left of a control: this property goes to every selected item.
QFrame *changeMarker(const char *name)
{
    auto *marker = new QFrame;
    marker->setObjectName(QLatin1String(name));
    marker->setFixedWidth(2);
    marker->setAutoFillBackground(true);
    QPalette red = marker->palette();
    red.setColor(QPalette::Window, Qt::red);
    marker->setPalette(red);
    QSizePolicy keepPlace = marker->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    marker->setSizePolicy(keepPlace);
    marker->hide();
    return marker;
}

QLineEdit *readOnlyBox(const char *name)
{
    auto *box = new QLineEdit;
    box->setObjectName(QLatin1String(name));
    box->setReadOnly(true);
    QPalette grey = box->palette();
    grey.setColor(QPalette::Base, grey.color(QPalette::Window));
    box->setPalette(grey);
    return box;
}

// Files come from anywhere: UTF-8 when they are, else the Windows code page
// the older files were written in, so no byte is lost. NULs cannot be part of
// an item's text.
QString decodeFile(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    if (utf8.hasError())
        text = TextCodecs::decodeWindows1252(bytes);
    text.remove(QChar(0));
    return text;
}

} // namespace

ItemEditor::ItemEditor(Mode mode, MessageBoxService &messages, FileDialogs &files, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
    , m_mode(mode)
    , m_messages(messages)
    , m_files(files)
{
    setObjectName(QStringLiteral("frmItemText"));
    setWindowTitle(QStringLiteral("List box item"));

    m_pages = new QTabWidget;
    m_pages->setObjectName(QStringLiteral("textPC"));
    m_pages->setAccessibleName(QStringLiteral("Item pages"));
    m_textPage = buildTextPage();
    m_pages->addTab(m_textPage, QStringLiteral("Text Item"));
    m_pages->addTab(buildPropertiesPage(), QStringLiteral("Properties"));

    auto *ok = new QPushButton(QStringLiteral("OK"));
    ok->setObjectName(QStringLiteral("OK"));
    auto *cancel = new QPushButton(QStringLiteral("Cancel"));
    cancel->setObjectName(QStringLiteral("Cancel"));
    auto *help = new QPushButton(QStringLiteral("Help"));
    help->setObjectName(QStringLiteral("helpbtn"));
    // Enter belongs to the text box; only the alias, action and extra text
    // boxes turn it into OK.
    for (QPushButton *button : {ok, cancel, help})
        button->setAutoDefault(false);
    m_everyCategory = new QCheckBox(QStringLiteral("Add to every category"));
    m_everyCategory->setObjectName(QStringLiteral("everycb"));
    m_everyCategory->setVisible(mode == Mode::Add);
    m_updateCreated = new QCheckBox(QStringLiteral("Update date created"));
    m_updateCreated->setObjectName(QStringLiteral("cbupdatetime"));
    m_updateCreated->setChecked(true);
    m_updateCreated->setVisible(mode == Mode::Edit);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_everyCategory);
    buttons->addWidget(m_updateCreated);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addWidget(help);

    auto *layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(m_pages);
    layout->addLayout(buttons);

    buildContextMenu();

    connect(ok, &QPushButton::clicked, this, &ItemEditor::complete);
    connect(cancel, &QPushButton::clicked, this, &ItemEditor::reject);
    connect(help, &QPushButton::clicked, this, [this] { emit helpRequested(HelpTopic); });
    connect(m_pages, &QTabWidget::currentChanged, this, [this](int index) {
        if (index == 0)
            m_text->setFocus();
        else
            fillProperties();
    });

    // A new item: no action, the first paste method, the smallest count.
    m_actionCombo->setCurrentIndex(0);
    m_pasteMethod->button(0)->setChecked(true);
    m_count->setValue(m_count->minimum());
    updateActionControls(false);
    followMode();
}

QWidget *ItemEditor::buildTextPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("itTab"));
    auto *layout = new QGridLayout(page);

    m_text = new RichEdit;
    m_text->setObjectName(QStringLiteral("ItemText"));
    m_text->setLineWrapMode(QTextEdit::NoWrap);
    m_text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_text->setContextMenuPolicy(Qt::CustomContextMenu);
    m_text->setMinimumSize(420, 150);
    m_text->installEventFilter(this);
    auto *textLabel = labelFor(m_text, QStringLiteral("Text (to be pasted)"));

    m_plainButton = flatButton("sbreg", QStringLiteral("Plain"), QStringLiteral("Use plain text"));
    m_richButton = flatButton("sbrtf", QStringLiteral("RTF"), QStringLiteral("Use Rich Text Format text"));
    auto *modes = new QButtonGroup(page);
    for (QToolButton *button : {m_plainButton, m_richButton}) {
        button->setCheckable(true);
        modes->addButton(button);
    }
    m_plainButton->setChecked(true);
    connect(m_plainButton, &QToolButton::clicked, this, [this] { useRichText(false); });
    connect(m_richButton, &QToolButton::clicked, this, [this] { useRichText(true); });

    m_formatBar = new FormatBar(page);
    m_formatBar->attach(m_text);
    // Formatting makes the text rich.
    m_formatBar->setBeforeApply([this] {
        m_text->setPlainTextMode(false);
        followMode();
    });

    m_loadButton = new QPushButton(QStringLiteral("Load..."));
    m_loadButton->setObjectName(QStringLiteral("loadbtn"));
    m_saveButton = new QPushButton(QStringLiteral("Save..."));
    m_saveButton->setObjectName(QStringLiteral("savebtn"));
    m_editMoreButton = new QPushButton(QStringLiteral("<< Edit More"));
    m_editMoreButton->setObjectName(QStringLiteral("showptv"));
    m_editMoreButton->hide();
    for (QPushButton *button : {m_loadButton, m_saveButton, m_editMoreButton})
        button->setAutoDefault(false);
    m_multiNotice = flatButton("redsb", QStringLiteral("!"), QStringLiteral("Several items selected"));
    m_multiNotice->setStyleSheet(QStringLiteral("QToolButton { color: red; font-weight: bold; }"));
    m_multiNotice->hide();
    connect(m_multiNotice, &QToolButton::clicked, this, &ItemEditor::showMultiEditNotice);
    connect(m_editMoreButton, &QPushButton::clicked, this, &ItemEditor::toggleEditMore);
    connect(m_loadButton, &QPushButton::clicked, this, &ItemEditor::loadFile);
    connect(m_saveButton, &QPushButton::clicked, this, &ItemEditor::saveFile);

    auto *textBar = new QHBoxLayout;
    textBar->addWidget(textLabel);
    textBar->addStretch();
    textBar->addWidget(m_plainButton);
    textBar->addWidget(m_richButton);
    auto *fileButtons = new QHBoxLayout;
    fileButtons->addWidget(m_editMoreButton);
    fileButtons->addWidget(m_multiNotice);
    fileButtons->addStretch();
    fileButtons->addWidget(m_loadButton);
    fileButtons->addWidget(m_saveButton);

    m_alias = new QLineEdit;
    m_alias->setObjectName(QStringLiteral("alias"));
    m_alias->setMaxLength(AliasDerivation::MaxLength);
    m_alias->installEventFilter(this);
    auto *aliasLabel = labelFor(m_alias, QStringLiteral("Alias (represents the above Text in list)"));

    m_actionCombo = new QComboBox;
    m_actionCombo->setObjectName(QStringLiteral("actioncombo"));
    // In the order of AfterPasteAction: the index is the stored action.
    m_actionCombo->addItems({QStringLiteral("None"), QStringLiteral("Press Tab key"), QStringLiteral("Press Enter key"),
                             QStringLiteral("Press Spacebar"), QStringLiteral("Jump cursor to next"),
                             QStringLiteral("Specify extra text")});
    m_actionCombo->installEventFilter(this);
    auto *actionLabel = labelFor(m_actionCombo, QStringLiteral("Action to perform after paste"));
    // Only the user's pick resets the count; a record's action keeps its own.
    connect(m_actionCombo, &QComboBox::activated, this, [this] {
        updateActionControls(true);
        recordChange(EditMoreSession::Field::Action);
    });

    m_extraText = new QLineEdit;
    m_extraText->setObjectName(QStringLiteral("extraedit"));
    m_extraText->setAccessibleName(QStringLiteral("Extra text"));
    m_extraText->installEventFilter(this);

    m_count = new QSpinBox;
    m_count->setObjectName(QStringLiteral("actionse"));
    m_count->setRange(1, 9);
    m_countLabel = labelFor(m_count, QStringLiteral("How many times?"));

    auto *methodGroup = new QGroupBox(QStringLiteral("Pasting Method  (doesn't apply when Global Pasting option is on)"));
    methodGroup->setObjectName(QStringLiteral("pasterg"));
    m_pasteMethod = new QButtonGroup(methodGroup);
    auto *methodLayout = new QVBoxLayout(methodGroup);
    // In the order of PasteMethod: the index is the stored method.
    const QString methods[] = {QStringLiteral("Simulate Ctrl-V (recommended for general use)"),
                               QStringLiteral("Enter keystrokes"), QStringLiteral("Insert at cursor")};
    for (int i = 0; i < 3; ++i) {
        auto *radio = new QRadioButton(methods[i]);
        radio->setObjectName(QStringLiteral("pasterg%1").arg(i));
        m_pasteMethod->addButton(radio, i);
        methodLayout->addWidget(radio);
    }
    m_pasteHelp = flatButton("hlpsp", QStringLiteral("?"), QStringLiteral("Explain the pasting methods"));
    connect(m_pasteHelp, &QToolButton::clicked, this, &ItemEditor::showPasteMethodHelp);

    // Column 0 holds the change markers of several-item editing.
    using Field = EditMoreSession::Field;
    m_markers = {{{Field::Text, changeMarker("sText")},
                  {Field::Alias, changeMarker("sAlias")},
                  {Field::Action, changeMarker("sAction")},
                  {Field::ExtraText, changeMarker("sEE")},
                  {Field::Count, changeMarker("sCount")},
                  {Field::PasteMethod, changeMarker("sPaste")}}};
    layout->setHorizontalSpacing(4);
    layout->addLayout(textBar, 0, 1, 1, 3);
    layout->addWidget(m_formatBar, 1, 1, 1, 3);
    layout->addWidget(m_markers[0].second, 2, 0);
    layout->addWidget(m_text, 2, 1, 1, 3);
    layout->addLayout(fileButtons, 3, 1, 1, 3);
    layout->addWidget(aliasLabel, 4, 1, 1, 3);
    layout->addWidget(m_markers[1].second, 5, 0);
    layout->addWidget(m_alias, 5, 1, 1, 3);
    layout->addWidget(m_markers[2].second, 6, 0);
    layout->addWidget(actionLabel, 6, 1);
    layout->addWidget(m_actionCombo, 6, 2, 1, 2);
    layout->addWidget(m_markers[3].second, 7, 0);
    layout->addWidget(m_extraText, 7, 1, 1, 3);
    layout->addWidget(m_markers[4].second, 8, 0);
    layout->addWidget(m_countLabel, 8, 1);
    layout->addWidget(m_count, 8, 2);
    layout->addWidget(m_markers[5].second, 9, 0);
    layout->addWidget(methodGroup, 9, 1, 1, 2);
    layout->addWidget(m_pasteHelp, 9, 3, Qt::AlignTop);

    // Every change of these goes to the Edit More list's pending copies.
    connect(m_alias, &QLineEdit::textChanged, this, [this] { recordChange(Field::Alias); });
    connect(m_extraText, &QLineEdit::textChanged, this, [this] { recordChange(Field::ExtraText); });
    connect(m_count, &QSpinBox::valueChanged, this, [this] { recordChange(Field::Count); });
    connect(m_pasteMethod, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked)
            recordChange(Field::PasteMethod);
    });

    connect(m_text, &QTextEdit::textChanged, this, &ItemEditor::textChanged);
    connect(m_text, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { contextMenu()->popup(m_text->viewport()->mapToGlobal(at)); });
    return page;
}

QWidget *ItemEditor::buildPropertiesPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("tpTab"));
    auto *layout = new QVBoxLayout(page);
    auto *group = new QGroupBox(QStringLiteral("Text Properties"));
    auto *grid = new QGridLayout(group);
    m_created = readOnlyBox("dateedit");
    m_words = readOnlyBox("wc");
    m_characters = readOnlyBox("cc");
    m_lines = readOnlyBox("lc");
    m_aliasLength = readOnlyBox("al");
    const std::pair<QLineEdit *, QString> rows[] = {
        {m_created, QStringLiteral("Date created:")},   {m_words, QStringLiteral("Word count:")},
        {m_characters, QStringLiteral("Character count:")}, {m_lines, QStringLiteral("Line count:")},
        {m_aliasLength, QStringLiteral("Alias length:")}};
    int row = 0;
    for (const auto &[box, text] : rows) {
        grid->addWidget(labelFor(box, text), row, 0);
        grid->addWidget(box, row, 1);
        ++row;
    }
    layout->addWidget(group);
    layout->addStretch();
    return page;
}

void ItemEditor::buildContextMenu()
{
    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("repm"));
    const auto add = [this](const char *name, const QString &text, auto slot) {
        QAction *action = m_menu->addAction(text);
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    add("repmUndo", QStringLiteral("&Undo"), [this] { m_text->undo(); });
    m_menu->addSeparator();
    // Our own clipboard writes must not come back as captured items.
    add("repmCut", QStringLiteral("Cu&t"), [this] {
        if (m_clipboardGuard)
            m_clipboardGuard();
        m_text->cut();
    });
    add("repmCopy", QStringLiteral("&Copy"), [this] {
        if (m_clipboardGuard)
            m_clipboardGuard();
        m_text->copy();
    });
    add("repmPaste", QStringLiteral("&Paste"), [this] { m_text->paste(); });
    add("repmDelete", QStringLiteral("&Delete"), [this] { m_text->textCursor().removeSelectedText(); });
    m_menu->addSeparator();
    add("repmSelectAll", QStringLiteral("Select &All"), [this] { m_text->selectAll(); });
    m_menu->addSeparator();
    add("repmLoad", QStringLiteral("Load..."), [this] { loadFile(); });
    add("repmSave", QStringLiteral("Save..."), [this] { saveFile(); });
}

QMenu *ItemEditor::contextMenu()
{
    const auto action = [this](const char *name) { return m_menu->findChild<QAction *>(QLatin1String(name)); };
    const QTextCursor cursor = m_text->textCursor();
    const bool selection = cursor.hasSelection();
    const QMimeData *clipboard = QGuiApplication::clipboard()->mimeData();
    const int length = m_text->document()->characterCount() - 1;
    action("repmUndo")->setEnabled(m_text->document()->isUndoAvailable());
    action("repmCut")->setEnabled(selection);
    action("repmCopy")->setEnabled(selection);
    action("repmDelete")->setEnabled(selection);
    action("repmPaste")->setEnabled(clipboard && clipboard->hasText());
    action("repmSelectAll")->setEnabled(cursor.selectionEnd() - cursor.selectionStart() < length);
    return m_menu;
}

void ItemEditor::setFields(const Item &item)
{
    const QScopedValueRollback loading(m_loading, true);
    // A picture picked in the Edit More list is shown, not edited.
    // So is an item too large to lay out: the editor would stall on it.
    const bool tooLarge = item.kind != ItemKind::Image && item.text.size() > MaxItemText;
    showImageNotice(item.kind == ItemKind::Image || tooLarge);
    if (m_showingImage) {
        const QString notice = tooLarge ? TooLargeToEdit : ImageCannotEdit;
        resetRichEdit(m_text);
        m_text->setPlainText(notice);
        m_alias->setText(notice);
        followMode();
        updateMultiNotice();
        return;
    }
    const int action = int(item.action);
    m_actionCombo->setCurrentIndex(action >= 0 && action < m_actionCombo->count() ? action : 0);
    m_extraText->setText(item.action == AfterPasteAction::TypeExtraText ? item.extraText : QString());
    updateActionControls(false);
    m_created->setText(item.created);
    const int method = int(item.pasteMethod);
    if (QAbstractButton *radio = m_pasteMethod->button(method >= 0 && method < 3 ? method : 0))
        radio->setChecked(true);
    m_alias->setText(item.alias);
    m_count->setValue(item.actionCount);
    if (item.kind != ItemKind::PlainText) {
        m_text->selectAll();
        loadRichText(m_text, item.text);
    } else {
        m_text->clear();
        resetRichEdit(m_text);
        m_text->setPlainText(item.text);
    }
    followMode();
    updateMultiNotice();
}

void ItemEditor::showImageNotice(bool image)
{
    m_showingImage = image;
    for (QWidget *control : std::initializer_list<QWidget *>{m_text, m_plainButton, m_richButton, m_loadButton,
                                                             m_saveButton, m_alias, m_actionCombo,
                                                             m_pasteMethod->button(0)->parentWidget()})
        control->setEnabled(!image);
    if (image) {
        m_formatBar->setEnabled(false);
        m_extraText->setEnabled(false);
        m_count->setEnabled(false);
        m_countLabel->setEnabled(false);
    }
}

// ---- several items at once ----------------------------------------------------------

void ItemEditor::setEditMore(EditMoreSession &session, const QString &categoryName)
{
    m_session = &session;
    m_moreList = new EditMoreList(session, categoryName, this);
    m_editMoreButton->show();
    connectEditMoreList();
}

void ItemEditor::connectEditMoreList()
{
    connect(m_moreList, &EditMoreList::entriesPicked, this, &ItemEditor::pickEntries);
    connect(m_moreList, &EditMoreList::entryChecked, this, [this](int entry, bool checked) {
        m_session->setChecked(entry, checked);
        // An unticked entry shows its own record again.
        pickEntries(m_session->selectedEntries(), m_session->current());
    });
    connect(m_moreList, &EditMoreList::selectAllRequested, this, [this] {
        m_session->selectAll();
        showMarkers({});
        m_moreList->showSession();
        updateMultiNotice();
    });
    connect(m_moreList, &EditMoreList::invertSelectionRequested, this, [this] {
        const Item shown = m_session->invertSelection();
        showMarkers({});
        if (m_session->current() >= 0)
            setFields(shown);
        m_moreList->showSession();
        updateMultiNotice();
    });
    connect(m_moreList, &EditMoreList::helpRequested, this, [this] { emit helpRequested(EditMoreHelpTopic); });
    connect(m_moreList, &EditMoreList::hideRequested, this, [this] {
        if (m_editMoreShowing)
            toggleEditMore();
    });
}

void ItemEditor::pickEntries(const QList<int> &entries, int current)
{
    const std::optional<Item> shown = m_session->select(entries, current);
    showMarkers({});
    if (shown)
        setFields(*shown);
    m_moreList->showSession();
    updateMultiNotice();
}

void ItemEditor::toggleEditMore()
{
    if (!m_session)
        return;
    if (!m_editMoreShowing) {
        m_editMoreShowing = true;
        m_session->checkPendingCopies();
        m_moreList->showSession();
        m_moreList->show();
        m_moreList->placeBeside(*this);
        m_editMoreButton->setText(QStringLiteral(">> Cancel"));
        updateMultiNotice();
        return;
    }
    // Closing the list forgets every edit made through it.
    m_editMoreShowing = false;
    m_moreList->hide();
    showMarkers({});
    setFields(m_session->discard());
    m_moreList->showSession();
    m_editMoreButton->setText(QStringLiteral("<< Edit More"));
    updateMultiNotice();
}

void ItemEditor::recordChange(EditMoreSession::Field field)
{
    using Field = EditMoreSession::Field;
    if (!m_session || m_loading || !isVisible())
        return;
    EditMoreSession::EditorState state;
    state.alias = m_alias->text();
    state.action = AfterPasteAction(m_actionCombo->currentIndex());
    state.extraText = m_extraText->text();
    state.pasteMethod = PasteMethod(m_pasteMethod->checkedId());
    state.count = m_count->value();
    state.richMode = richTextMode();
    state.listShowing = m_editMoreShowing;
    if (field == Field::Alias || field == Field::Text)
        state.plainText = state.richMode ? RichTextPlain::plainText(*m_text->document()) : m_text->toPlainText();
    if (field == Field::Text)
        state.richSource = richSource(m_text);
    showMarkers(m_session->recordChange(field, state));
    if (m_editMoreShowing)
        m_moreList->showSession();
}

void ItemEditor::showMarkers(EditMoreSession::Fields fields)
{
    for (const auto &[field, marker] : m_markers)
        marker->setVisible(fields.testFlag(field));
}

void ItemEditor::updateMultiNotice()
{
    m_multiNotice->setVisible(m_session && m_editMoreShowing && m_session->severalSelected() && !m_showingImage);
}

void ItemEditor::showMultiEditNotice()
{
    m_messages.show(MessageBoxService::Icon::Information, kApplicationTitle, MultiEditNotice, MessageBoxService::Ok);
}

void ItemEditor::writeFields(Item &item) const
{
    item.alias = m_alias->text();
    item.action = AfterPasteAction(m_actionCombo->currentIndex());
    item.extraText = m_extraText->text();
    item.pasteMethod = PasteMethod(m_pasteMethod->checkedId());
    item.kind = richTextMode() ? ItemKind::RichText : ItemKind::PlainText;
    // In rich-text mode OK has put the RTF source into the box as its text.
    item.text = m_text->toPlainText();
    item.actionCount = std::int8_t(m_count->value());
    if (updateCreated())
        item.created = createdStamp();
}

bool ItemEditor::everyCategory() const
{
    return m_everyCategory->isChecked();
}

bool ItemEditor::updateCreated() const
{
    return m_mode == Mode::Edit && m_updateCreated->isChecked();
}

bool ItemEditor::richTextMode() const
{
    return !m_text->plainTextMode();
}

void ItemEditor::complete()
{
    if (m_session && m_editMoreShowing) {
        // The pending copies hold every change; each is completed on its own.
        m_session->complete();
        accept();
        return;
    }
    Item record;
    record.action = AfterPasteAction(m_actionCombo->currentIndex());
    record.extraText = m_extraText->text();
    QString plain;
    if (richTextMode()) {
        plain = RichTextPlain::plainText(*m_text->document());
        record.text = richSource(m_text);
        // The box now reads as the source itself, still in rich-text mode.
        showRichSource(m_text, record.text);
    } else {
        plain = record.text = m_text->toPlainText();
    }
    ItemEditorRules::completeRecord(record, m_alias->text(), plain);
    m_actionCombo->setCurrentIndex(int(record.action));
    m_alias->setText(record.alias);
    accept();
}

void ItemEditor::useRichText(bool rich)
{
    if (rich)
        m_text->setPlainTextMode(false);
    else
        resetRichEdit(m_text);  // the characters stay, every format goes
    followMode();
}

void ItemEditor::followMode()
{
    (richTextMode() ? m_richButton : m_plainButton)->setChecked(true);
    updateFormattingEnabled();
}

void ItemEditor::updateFormattingEnabled()
{
    m_formatBar->setEnabled(richTextMode());
}

void ItemEditor::textChanged()
{
    followMode();
    // With several items selected the alias must not become one text for all.
    const bool several = m_editMoreShowing && m_session->severalSelected();
    if (m_aliasFollows && !several && ItemEditorRules::lineCount(m_text->toPlainText()) <= 1)
        m_alias->setText(m_text->toPlainText());
    recordChange(EditMoreSession::Field::Text);
    m_aliasFollows = false;
}

void ItemEditor::updateActionControls(bool userChange)
{
    const int action = m_actionCombo->currentIndex();
    m_count->setEnabled(action > 0);
    m_countLabel->setEnabled(action > 0);
    const bool extraText = action == int(AfterPasteAction::TypeExtraText);
    m_extraText->setEnabled(extraText);
    if (extraText) {
        m_extraText->setPalette(QPalette());
        if (userChange)
            m_extraText->setFocus();
        return;
    }
    QPalette greyed = m_extraText->palette();
    greyed.setColor(QPalette::Base, kDisabledEditBackground);
    greyed.setColor(QPalette::Disabled, QPalette::Base, kDisabledEditBackground);
    m_extraText->setPalette(greyed);
    if (userChange)
        m_count->setValue(1);
}

void ItemEditor::fillProperties()
{
    const QString text = m_text->toPlainText();
    m_characters->setText(QString::number(ItemEditorRules::characterCount(text)));
    m_words->setText(QString::number(ItemEditorRules::wordCount(text)));
    m_aliasLength->setText(QString::number(m_alias->text().size()));
    m_lines->setText(QString::number(ItemEditorRules::lineCount(text)));
}

void ItemEditor::showPasteMethodHelp()
{
    m_messages.show(MessageBoxService::Icon::None, kApplicationTitle, PasteMethodHelp::methods(), MessageBoxService::Ok);
}

void ItemEditor::loadFile()
{
    const QString path = m_files.openFile(this, QStringLiteral("Open"), QString(), FileFilter,
                                          richTextMode() ? kRichFilter : kTextFilter);
    if (path.isEmpty())
        return;
    ErrorHandler::guard(this, [this, &path] { loadFrom(path); });
}

void ItemEditor::saveFile()
{
    const QString path = m_files.saveFile(this, QStringLiteral("Save As"), QString(), FileFilter,
                                          richTextMode() ? kRichFilter : kTextFilter, QStringLiteral("txt"));
    if (path.isEmpty())
        return;
    ErrorHandler::guard(this, [this, &path] { saveTo(path); });
}

void ItemEditor::loadFrom(const QString &path)
{
    const QFileInfo info(path);
    const QString tooLarge = QStringLiteral("The file \"%1\" is larger than %2 MB and cannot be loaded as an item's text.")
                                 .arg(QDir::toNativeSeparators(path))
                                 .arg(MaxFileSize / (1024 * 1024));
    if (info.size() > MaxFileSize)
        throw ProgramError(tooLarge);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw ProgramError(QStringLiteral("Cannot open \"%1\": %2").arg(QDir::toNativeSeparators(path), file.errorString()));
    // The size may have changed since it was asked; never read past the bound.
    const QByteArray bytes = file.read(MaxFileSize + 1);
    if (file.error() != QFileDevice::NoError)
        throw ProgramError(QStringLiteral("Cannot read \"%1\": %2").arg(QDir::toNativeSeparators(path), file.errorString()));
    if (bytes.size() > MaxFileSize)
        throw ProgramError(tooLarge);
    const QString text = decodeFile(bytes);
    if (info.suffix().toUpper() == QLatin1String("RTF")) {
        loadRichText(m_text, text);
    } else {
        resetRichEdit(m_text);
        m_text->setPlainText(text);
    }
    followMode();
}

void ItemEditor::saveTo(const QString &path) const
{
    const QString content = richTextMode() ? richSource(m_text) : m_text->toPlainText();
    SafeFile::writeBytes(path, content.toUtf8());
}

bool ItemEditor::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
        if (watched == m_text) {
            // While the alias equals a one-line text, typing in the text carries it along.
            if (!enter && ItemEditorRules::aliasFollowsText(m_text->toPlainText(), m_alias->text()))
                m_aliasFollows = true;
        } else if (enter && (watched == m_alias || watched == m_actionCombo || watched == m_extraText)) {
            complete();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void ItemEditor::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    centreOnScreen(this);
    followMode();
    updateActionControls(false);
    m_everyCategory->setChecked(false);
    m_text->setFocus();
    m_formatBar->refresh();
}

void ItemEditor::hideEvent(QHideEvent *event)
{
    QDialog::hideEvent(event);
    m_pages->setCurrentIndex(0);
    // The list goes with the editor; its session stays for the caller to read.
    if (m_moreList)
        m_moreList->hide();
}
