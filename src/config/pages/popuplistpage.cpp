#include "config/pages/popuplistpage.h"

#include "common/errorhandler.h"
#include "settings/hotkeykeys.h"
#include "settings/listwidth.h"
#include "settings/options.h"
#include "settings/pastemethodhelp.h"

#include <QCheckBox>
#include <QComboBox>
#include "config/radiogroup.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// A width typed past either end is taken as that end: a plain spin box
// refuses the digit that crosses the widest and then falls back to the width
// it showed before.
class WidthSpinBox : public QSpinBox
{
public:
    using QSpinBox::QSpinBox;

protected:
    QValidator::State validate(QString &text, int &position) const override
    {
        const QValidator::State state = QSpinBox::validate(text, position);
        if (state != QValidator::Invalid)
            return state;
        bool number = false;
        const int typed = locale().toInt(text.trimmed(), &number);
        return number && typed > maximum() ? QValidator::Intermediate : state;
    }

    void fixup(QString &text) const override
    {
        bool number = false;
        const int typed = locale().toInt(text.trimmed(), &number);
        if (number)
            text = locale().toString(std::clamp(typed, minimum(), maximum()));
        else
            QSpinBox::fixup(text);
    }
};

} // namespace

PopupListPage::PopupListPage(QWidget *parent)
    : QObject(parent)
{
    m_tabs = new QTabWidget(parent);
    m_tabs->setObjectName(QStringLiteral("plPc"));
    m_tabs->setAccessibleName(title());
    m_tabs->addTab(buildListTab(), QStringLiteral("Pop-up List"));
    m_tabs->addTab(buildOtherTab(), QStringLiteral("Other"));
}

QString PopupListPage::title() const
{
    return QStringLiteral("Pop-up List Options");
}

QString PopupListPage::helpTopic() const
{
    return QStringLiteral("Listbox_Options_Tab");
}

QWidget *PopupListPage::widget()
{
    return m_tabs;
}

QCheckBox *PopupListPage::addCheckBox(QWidget *parent, const char *name, const QString &caption, Option option)
{
    auto *box = new QCheckBox(caption, parent);
    box->setObjectName(QLatin1String(name));
    parent->layout()->addWidget(box);
    m_binder.bind(box, option);
    return box;
}

void PopupListPage::setHotkeyAdvice(const QString &text)
{
    m_hotkeyAdvice->setText(text);
    m_hotkeyAdvice->setVisible(!text.isEmpty());
}

QWidget *PopupListPage::buildListTab()
{
    auto *tab = new QWidget;
    tab->setObjectName(QStringLiteral("PopupListTab"));
    auto *layout = new QVBoxLayout(tab);
    addCheckBox(tab, "lbacb", QStringLiteral("Quick list box ACTIVE"), Option::QuickListActive);

    auto *hotkey = new QGroupBox(QStringLiteral("Hotkey Configuration"), tab);
    hotkey->setObjectName(QStringLiteral("hotkeygb"));
    auto *hotkeyLayout = new QVBoxLayout(hotkey);
    auto *intro = new QLabel(QStringLiteral("This hotkey sequence is used to pop up the list box."), hotkey);
    intro->setObjectName(QStringLiteral("lbl1"));
    hotkeyLayout->addWidget(intro);
    m_binder.follow(intro, Option::HotkeyKey);
    auto *keys = new QWidget(hotkey);
    keys->setObjectName(QStringLiteral("hotkeyrow"));
    auto *keysLayout = new QHBoxLayout(keys);
    keysLayout->setContentsMargins(0, 0, 0, 0);
    addCheckBox(keys, "ctrlcb", QStringLiteral("Ctrl"), Option::HotkeyCtrl);
    addCheckBox(keys, "altcb", QStringLiteral("Alt"), Option::HotkeyAlt);
    addCheckBox(keys, "shiftcb", QStringLiteral("Shift"), Option::HotkeyShift);
    addCheckBox(keys, "wincb", QStringLiteral("Win"), Option::HotkeyWin);
    auto *key = new QComboBox(keys);
    key->setObjectName(QStringLiteral("hkcbox"));
    key->setAccessibleName(QStringLiteral("Hotkey key"));
    key->addItems(HotkeyKeys::listEntries());
    key->setMaxVisibleItems(16);
    keysLayout->addWidget(key, 1);
    m_binder.bind(key, Option::HotkeyKey);
    hotkeyLayout->addWidget(keys);
    m_hotkeyAdvice = new QLabel(hotkey);
    m_hotkeyAdvice->setObjectName(QStringLiteral("hotkeyadvice"));
    m_hotkeyAdvice->setWordWrap(true);
    m_hotkeyAdvice->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_hotkeyAdvice->hide();
    hotkeyLayout->addWidget(m_hotkeyAdvice);
    layout->addWidget(hotkey);

    auto *pasting = new QGroupBox(QStringLiteral("Pasting Options"), tab);
    pasting->setObjectName(QStringLiteral("pastinggb"));
    pasting->setLayout(new QVBoxLayout);
    addCheckBox(pasting, "pastecb", QStringLiteral("Paste text upon text item selection"), Option::PasteText);
    addCheckBox(pasting, "showbmpcb", QStringLiteral("Paste image upon image item selection (via \"Ctrl-V\" to application)"),
                Option::PasteImage);
    addCheckBox(pasting, "showxcb", QStringLiteral("Show pop-up list help buttons"), Option::ListHelpButtons);
    auto *globalRow = new QWidget(pasting);
    globalRow->setObjectName(QStringLiteral("globalrow"));
    auto *globalLayout = new QHBoxLayout(globalRow);
    globalLayout->setContentsMargins(0, 0, 0, 0);
    addCheckBox(globalRow, "globalcb", QStringLiteral("Enable global pasting method (meaning for EVERY item)"),
                Option::GlobalPaste);
    m_globalHelp = new QToolButton(globalRow);
    m_globalHelp->setObjectName(QStringLiteral("hlpsp"));
    m_globalHelp->setText(QStringLiteral("?"));
    m_globalHelp->setAccessibleName(QStringLiteral("Global pasting method help"));
    m_globalHelp->setToolTip(m_globalHelp->accessibleName());
    globalLayout->addWidget(m_globalHelp);
    globalLayout->addStretch(1);
    pasting->layout()->addWidget(globalRow);
    connect(m_globalHelp, &QToolButton::clicked, this, [this] {
        ErrorHandler::guard(m_globalHelp, [this] { emit explanationRequested(PasteMethodHelp::globalMethod()); });
    });

    auto *method = new RadioGroup(QStringLiteral("Global Pasting Method"),
                                  {QStringLiteral("Simulate Ctrl-V (recommended for general application use)"),
                                   QStringLiteral("Enter keystrokes"), QStringLiteral("Insert at cursor")},
                                  pasting);
    method->setObjectName(QStringLiteral("Gpasterg"));
    pasting->layout()->addWidget(method);
    m_binder.bind(method, Option::GlobalPasteMethod);
    layout->addWidget(pasting);
    layout->addStretch(1);
    return tab;
}

QWidget *PopupListPage::buildOtherTab()
{
    auto *tab = new QWidget;
    tab->setObjectName(QStringLiteral("OtherTab"));
    auto *layout = new QVBoxLayout(tab);

    auto *size = new QGroupBox(QStringLiteral("Size of pop-up list"), tab);
    size->setObjectName(QStringLiteral("sizegb"));
    auto *sizeLayout = new QVBoxLayout(size);
    auto *heightRow = new QHBoxLayout;
    auto *heightLabel = new QLabel(QStringLiteral("Height:"), size);
    auto *height = new QSpinBox(size);
    height->setObjectName(QStringLiteral("heightse"));
    height->setRange(1, 1000);
    height->setAccessibleName(QStringLiteral("Height"));
    heightLabel->setBuddy(height);
    m_binder.bind(height, Option::ListRows);
    heightRow->addWidget(heightLabel);
    heightRow->addWidget(height);
    heightRow->addWidget(new QLabel(QStringLiteral("(actual number of items to be visible without scrolling)"), size), 1);
    sizeLayout->addLayout(heightRow);
    addCheckBox(size, "shrinkcb",
                QStringLiteral("Shrink pop-up list if fewer items than the above specified height is displayed"),
                Option::ShrinkList);

    auto *widthRow = new QHBoxLayout;
    auto *widthLabel = new QLabel(QStringLiteral("Width:"), size);
    m_width = new WidthSpinBox(size);
    m_width->setObjectName(QStringLiteral("wud"));
    m_width->setRange(ListWidth::Narrowest, ListWidth::Widest);
    m_width->setSingleStep(ListWidth::Step);
    m_width->setWrapping(false);
    m_width->setAccessibleName(QStringLiteral("Width"));
    widthLabel->setBuddy(m_width);
    widthRow->addWidget(widthLabel);
    widthRow->addWidget(m_width);
    widthRow->addStretch(1);
    sizeLayout->addLayout(widthRow);
    // A bar as wide as the list will be.
    m_ruler = new QLineEdit(size);
    m_ruler->setObjectName(QStringLiteral("wedit"));
    m_ruler->setFrame(false);
    m_ruler->setEnabled(false);
    m_ruler->setFocusPolicy(Qt::NoFocus);
    m_ruler->setAccessibleName(QStringLiteral("Width of the pop-up list"));
    sizeLayout->addWidget(m_ruler, 0, Qt::AlignLeft);
    connect(m_width, &QSpinBox::valueChanged, this, &PopupListPage::showWidth);
    showWidth(m_width->value());
    layout->addWidget(size);

    auto *viewing = new QGroupBox(QStringLiteral("Viewing data from pop-up list"), tab);
    viewing->setObjectName(QStringLiteral("viewinggb"));
    viewing->setLayout(new QVBoxLayout);
    addCheckBox(viewing, "previewcb", QStringLiteral("View preview window when selecting items from list"),
                Option::PreviewWindow);
    viewing->layout()->addWidget(
        new QLabel(QStringLiteral("(CTRL-P toggles this option when the pop-up list is showing)"), viewing));
    addCheckBox(viewing, "tooltipcb", QStringLiteral("Show tooltip window when mouse is over data"),
                Option::ItemTooltip);
    viewing->layout()->addWidget(
        new QLabel(QStringLiteral("(CTRL-T toggles this option when the pop-up list is showing)"), viewing));
    addCheckBox(viewing, "typesearchcb", QStringLiteral("Typing in the list searches all categories"),
                Option::TypingSearches);
    viewing->layout()->addWidget(
        new QLabel(QStringLiteral("(CTRL-F searches all categories when the pop-up list is showing)"), viewing));
    layout->addWidget(viewing);
    layout->addStretch(1);
    return tab;
}

void PopupListPage::showWidth(int width)
{
    m_ruler->setFixedWidth(width);
}

void PopupListPage::load(const Options &options)
{
    m_binder.load(options);
    loadOption(options, Option::ListWidth);
    showWidth(m_width->value());
}

void PopupListPage::loadOption(const Options &options, Option option)
{
    if (option == Option::ListWidth)
        m_width->setValue(ListWidth::fromStored(options.number(option)));
    else
        m_binder.load(options, option);
}

void PopupListPage::apply(Options &options)
{
    m_binder.apply(options);
    options.set(Option::ListWidth, m_ruler->width());
}
