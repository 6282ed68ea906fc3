#include "config/pages/clipboardpage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

// Fills a destination list anew, keeping the category it showed: by name
// while the name is still there, else by its place.
void refill(QComboBox *combo, const QStringList &names)
{
    const QString chosen = combo->currentText();
    const int index = combo->currentIndex();
    const QSignalBlocker block(combo);
    combo->clear();
    combo->addItems(names);
    int keep = names.indexOf(chosen);
    if (keep < 0)
        keep = index >= 0 && index < names.size() ? index : 0;
    combo->setCurrentIndex(names.isEmpty() ? -1 : keep);
}

} // namespace

ClipboardPage::ClipboardPage(QWidget *parent)
    : QObject(parent)
{
    m_tabs = new QTabWidget(parent);
    m_tabs->setObjectName(QStringLiteral("ClipboardPC"));
    m_tabs->setAccessibleName(title());
    auto *tab = new QWidget;
    tab->setObjectName(QStringLiteral("ClipboardTab"));
    auto *layout = new QVBoxLayout(tab);

    QGroupBox *monitoring = addGroup(tab, "monitoringgb", QStringLiteral("Clipboard monitoring"));
    addCheckBox(monitoring, "Autocb", QStringLiteral("Automatically capture TEXT from the clipboard"),
                Option::CaptureText);
    addCheckBox(monitoring, "dupcb", QStringLiteral("Prevent text duplications (recommended)"),
                Option::PreventDuplicates);
    addCheckBox(monitoring, "cballowrtf", QStringLiteral("Allow Rich Text Format captures"), Option::CaptureRichText);
    addCheckBox(monitoring, "cballowhtml", QStringLiteral("Keep the formatting of web and mail copies"),
                Option::CaptureHtml);
    addCheckBox(monitoring, "Autobmpcb", QStringLiteral("Automatically capture IMAGES from the clipboard"),
                Option::CaptureImages);

    QGroupBox *text = addGroup(tab, "textdestgb", QStringLiteral("Clipboard text item destination"));
    addChoice(text, "txtcurrrb", QStringLiteral("Add captured text to current category"),
              Option::TextToCurrentCategory);
    m_textCategory = addCategoryChoice(text, "txtspecrb", QStringLiteral("Add text to specific category only:"),
                                       Option::TextToChosenCategory, "catcombo3", Option::TextCategory,
                                       QStringLiteral("Category for captured text"));
    addChoice(text, "txtcatrb", QStringLiteral("Add captured text to EVERY category (avoid frequent use)"),
              Option::TextToEveryCategory);

    QGroupBox *images = addGroup(tab, "bmpdestgb", QStringLiteral("Clipboard image item destination"));
    addChoice(images, "bmpcurrrb", QStringLiteral("Add captured images to current category"),
              Option::ImagesToCurrentCategory);
    m_imageCategory = addCategoryChoice(images, "bmpspecrb", QStringLiteral("Add images to specific category only:"),
                                        Option::ImagesToChosenCategory, "catcombo2", Option::ImageCategory,
                                        QStringLiteral("Category for captured images"));
    layout->addStretch(1);
    m_tabs->addTab(tab, QStringLiteral("Clipboard"));
}

QString ClipboardPage::title() const
{
    return QStringLiteral("Clipboard Options");
}

QString ClipboardPage::helpTopic() const
{
    return QStringLiteral("Clipboard_Tab");
}

QWidget *ClipboardPage::widget()
{
    return m_tabs;
}

QGroupBox *ClipboardPage::addGroup(QWidget *parent, const char *name, const QString &caption)
{
    auto *group = new QGroupBox(caption, parent);
    group->setObjectName(QLatin1String(name));
    group->setLayout(new QVBoxLayout);
    parent->layout()->addWidget(group);
    return group;
}

void ClipboardPage::addCheckBox(QGroupBox *group, const char *name, const QString &caption, Option option)
{
    auto *box = new QCheckBox(caption, group);
    box->setObjectName(QLatin1String(name));
    group->layout()->addWidget(box);
    m_binder.bind(box, option);
}

void ClipboardPage::addChoice(QGroupBox *group, const char *name, const QString &caption, Option option)
{
    auto *button = new QRadioButton(caption, group);
    button->setObjectName(QLatin1String(name));
    group->layout()->addWidget(button);
    m_binder.bind(button, option);
}

QComboBox *ClipboardPage::addCategoryChoice(QGroupBox *group, const char *name, const QString &caption,
                                            Option option, const char *comboName, Option indexOption,
                                            const QString &comboLabel)
{
    // The radio button stays a child of the group, so the group's choices exclude each other.
    auto *button = new QRadioButton(caption, group);
    button->setObjectName(QLatin1String(name));
    m_binder.bind(button, option);
    auto *combo = new QComboBox(group);
    combo->setObjectName(QLatin1String(comboName));
    combo->setAccessibleName(comboLabel);
    combo->setMinimumContentsLength(16);
    combo->setMaxVisibleItems(12);
    m_binder.bind(combo, indexOption);
    auto *row = new QHBoxLayout;
    row->addWidget(button);
    row->addWidget(combo, 1);
    static_cast<QVBoxLayout *>(group->layout())->addLayout(row);
    return combo;
}

void ClipboardPage::load(const Options &options)
{
    m_binder.load(options);
}

void ClipboardPage::loadOption(const Options &options, Option option)
{
    m_binder.load(options, option);
}

void ClipboardPage::apply(Options &options)
{
    m_binder.apply(options);
}

void ClipboardPage::showCategoryNames(const QStringList &names)
{
    refill(m_textCategory, names);
    refill(m_imageCategory, names);
}
