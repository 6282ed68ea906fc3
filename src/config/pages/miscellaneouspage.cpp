#include "config/pages/miscellaneouspage.h"

#include "capture/capturesound.h"
#include "common/errorhandler.h"
#include "config/optionbinder.h"
#include "config/radiogroup.h"
#include "platform/filedialogs.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString kSavingAdvice = QStringLiteral(
    "It's recommended that you have the auto-save option set below for some interval of time.\r\n"
    "This will ensure that if the program abnormally terminates (due to a system crash, for example),\r\n"
    "all your data won't be lost.");

const QString kCopyItemLimit
    = QStringLiteral("Specify the maximum number of items to display in the \"Copy Item\" sub-menu:");

// A titled box in the tab's column, and the column inside it.
struct Group
{
    QGroupBox *box;
    QVBoxLayout *layout;
};

Group addGroup(QVBoxLayout *column, const QString &title)
{
    auto *box = new QGroupBox(title, column->parentWidget());
    column->addWidget(box);
    return {box, new QVBoxLayout(box)};
}

} // namespace

MiscellaneousPage::MiscellaneousPage(Desktop &desktop, FileDialogs &fileDialogs, QWidget *parent)
    : QObject(parent), m_desktop(desktop), m_fileDialogs(fileDialogs), m_binder(new OptionBinder(this)),
      m_tabs(new QTabWidget(parent))
{
    m_tabs->setObjectName(QStringLiteral("generalPC"));
    m_tabs->setAccessibleName(QStringLiteral("General Options"));
    m_tabs->tabBar()->setAccessibleName(QStringLiteral("General Options"));
    m_tabs->addTab(buildMiscellaneousTab(), QStringLiteral("Miscellaneous"));
    m_tabs->addTab(buildSavingDataTab(), QStringLiteral("Saving Data"));
    m_tabs->addTab(buildIconMenuTab(), QStringLiteral("Icon Menu"));
}

QString MiscellaneousPage::title() const
{
    return QStringLiteral("General Options");
}

QString MiscellaneousPage::helpTopic() const
{
    return QStringLiteral("Miscellaneous_Tab");
}

QWidget *MiscellaneousPage::widget()
{
    return m_tabs;
}

void MiscellaneousPage::load(const Options &options)
{
    m_binder->load(options);
}

void MiscellaneousPage::apply(Options &options)
{
    m_binder->apply(options);
}

QCheckBox *MiscellaneousPage::checkBox(QWidget *parent, const char *name, const QString &caption)
{
    auto *box = new QCheckBox(caption, parent);
    box->setObjectName(QLatin1String(name));
    return box;
}

QRadioButton *MiscellaneousPage::radioButton(QWidget *parent, const char *name, const QString &caption)
{
    auto *button = new QRadioButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    return button;
}

QWidget *MiscellaneousPage::buildMiscellaneousTab()
{
    auto *tab = new QWidget;
    tab->setObjectName(QStringLiteral("miscellaneousTab"));
    auto *layout = new QVBoxLayout(tab);

    const auto add = [this](const Group &into, const char *name, const QString &caption, Option option) {
        QCheckBox *box = checkBox(into.box, name, caption);
        into.layout->addWidget(box);
        m_binder->bind(box, option);
        return box;
    };
    const Group general = addGroup(layout, QStringLiteral("General"));
    add(general, "startcb", QStringLiteral("Start program when I log in"), Option::StartAtLogin);
    add(general, "savecb", QStringLiteral("Save all changes on Exit"), Option::SaveOnExit);
    add(general, "systraycb", QStringLiteral("Minimize as system tray icon (recommended)"),
        Option::MinimiseToTray);
    add(general, "hidecb", QStringLiteral("Hide main window from taskbar"), Option::HideFromTaskbar);

    const Group dialogs = addGroup(layout, QStringLiteral("Dialogs"));
    add(dialogs, "totdcb", QStringLiteral("Show \"Tip Of The Day\" dialog on startup"), Option::TipOnStart);
    add(dialogs, "delcb", QStringLiteral("Show delete confirmation dialog for data items"),
        Option::ConfirmItemDelete);
    add(dialogs, "cbdelcat", QStringLiteral("Show delete confirmation dialog for categories"),
        Option::ConfirmCategoryDelete);
    m_playSound = add(dialogs, "playsoundcb", QStringLiteral("Play sound when item captured from clipboard"),
                      Option::CaptureSound);

    const Group sound = addGroup(layout, QStringLiteral("Sound"));
    QWidget *soundBox = sound.box;
    m_soundFile = radioButton(soundBox, "soundrb", QStringLiteral("Play sound on capture"));
    m_beep = radioButton(soundBox, "beeprb", QStringLiteral("Just beep on capture"));
    auto *choice = new QButtonGroup(soundBox);
    choice->addButton(m_soundFile);
    choice->addButton(m_beep);
    sound.layout->addWidget(m_soundFile);

    auto *fileRow = new QHBoxLayout;
    m_soundPath = new QLineEdit(soundBox);
    m_soundPath->setObjectName(QStringLiteral("soundedit"));
    m_soundPath->setAccessibleName(QStringLiteral("Sound file"));
    auto *browse = new QToolButton(soundBox);
    browse->setObjectName(QStringLiteral("browsesp"));
    browse->setIcon(QApplication::style()->standardIcon(QStyle::SP_DirOpenIcon));
    browse->setText(QStringLiteral("..."));
    browse->setToolTip(QStringLiteral("Choose the sound file"));
    browse->setAccessibleName(QStringLiteral("Choose the sound file"));
    fileRow->addWidget(m_soundPath, 1);
    fileRow->addWidget(browse);
    sound.layout->addLayout(fileRow);
    sound.layout->addWidget(m_beep);

    auto *test = new QPushButton(QStringLiteral("&Test"), soundBox);
    test->setObjectName(QStringLiteral("testbtn"));
    auto *testRow = new QHBoxLayout;
    testRow->addWidget(test);
    testRow->addStretch(1);
    sound.layout->addLayout(testRow);
    layout->addStretch(1);

    m_binder->bind(m_soundFile, Option::CaptureSoundFile);
    m_binder->bind(m_beep, Option::CaptureBeep);
    m_binder->bind(m_soundPath, Option::SoundFile);
    m_binder->follow(browse, Option::SoundFile);
    m_binder->enableWhileOn(test, Option::CaptureSound);

    connect(browse, &QToolButton::clicked, this,
            [this, browse] { ErrorHandler::guard(browse, [this] { browseForSound(); }); });
    connect(test, &QPushButton::clicked, this, [this, test] { ErrorHandler::guard(test, [this] { testSound(); }); });
    return tab;
}

QWidget *MiscellaneousPage::buildSavingDataTab()
{
    auto *tab = new QWidget;
    tab->setObjectName(QStringLiteral("savingDataTab"));
    auto *layout = new QVBoxLayout(tab);
    // The advice's line breaks, as this desktop writes them.
    auto *advice = new QLabel(QString(kSavingAdvice).replace(QStringLiteral("\r\n"), QStringLiteral("\n")), tab);
    advice->setWordWrap(true);
    layout->addWidget(advice);

    auto *autoSave = new RadioGroup(QStringLiteral("Auto-saving data"),
                                    {QStringLiteral("Auto-save data every specified number of minutes:"),
                                     QStringLiteral("Only save data when Configuration window is shown/restored"),
                                     QStringLiteral("Only save data on exit (if specified in Miscellaneous tab)")},
                                    tab);
    autoSave->setObjectName(QStringLiteral("autosaverg"));
    auto *minutes = new QSpinBox(autoSave);
    minutes->setObjectName(QStringLiteral("asse"));
    minutes->setRange(1, 60);
    minutes->setAccessibleName(QStringLiteral("Minutes between auto-saves"));
    autoSave->setBeside(0, minutes);
    layout->addWidget(autoSave);

    auto *backupRow = new QHBoxLayout;
    QCheckBox *backup
        = checkBox(tab, "backupcb", QStringLiteral("Create backup file of data after each successful load"));
    backupRow->addWidget(backup);
    backupRow->addWidget(new QLabel(QStringLiteral("(recommended)"), tab));
    backupRow->addStretch(1);
    layout->addLayout(backupRow);
    layout->addStretch(1);

    m_binder->bind(autoSave, Option::AutoSaveChoice);
    m_binder->bind(minutes, Option::AutoSaveMinutes);
    m_binder->bind(backup, Option::BackupAfterLoad);
    return tab;
}

QWidget *MiscellaneousPage::buildIconMenuTab()
{
    auto *tab = new QWidget;
    tab->setObjectName(QStringLiteral("iconMenuTab"));
    auto *layout = new QVBoxLayout(tab);

    const Group copyItem = addGroup(layout, QStringLiteral("\"Copy Item\" sub-menu"));
    QWidget *copyItemBox = copyItem.box;
    auto *limitLabel = new QLabel(kCopyItemLimit, copyItemBox);
    limitLabel->setWordWrap(true);
    auto *limit = new QSpinBox(copyItemBox);
    limit->setObjectName(QStringLiteral("cise"));
    limit->setRange(1, 65);
    limit->setAccessibleName(kCopyItemLimit);
    limitLabel->setBuddy(limit);
    auto *limitRow = new QHBoxLayout;
    limitRow->addWidget(limitLabel, 1);
    limitRow->addWidget(limit);
    copyItem.layout->addLayout(limitRow);

    const Group look = addGroup(layout, QStringLiteral("Menu Appearance"));
    QWidget *lookBox = look.box;
    QCheckBox *margin = checkBox(lookBox, "margincb", QStringLiteral("Display blue vertical bar on icon menu"));
    QCheckBox *highlight = checkBox(lookBox, "viewnscb", QStringLiteral("View menu items with non-standard selection"));
    auto *style = new RadioGroup(QStringLiteral("Non-standard type"),
                                 {QStringLiteral("View RAISED items upon selection"),
                                  QStringLiteral("View LOWERED items upon selection")},
                                 lookBox);
    style->setObjectName(QStringLiteral("msrg"));
    look.layout->addWidget(margin);
    look.layout->addWidget(highlight);
    look.layout->addWidget(style);
    layout->addStretch(1);

    m_binder->bind(limit, Option::CopyMenuSize);
    m_binder->bind(margin, Option::MenuMarginBar);
    m_binder->bind(highlight, Option::MenuHighlight);
    m_binder->bind(style, Option::MenuHighlightStyle);
    return tab;
}

void MiscellaneousPage::browseForSound()
{
    const QString chosen = m_fileDialogs.openFile(m_tabs, QStringLiteral("Open a WAV"), m_soundPath->text().trimmed(),
                                                  QStringLiteral("WAV files (*.wav);;Any file (*)"));
    if (!chosen.isEmpty())
        m_soundPath->setText(chosen);
}

void MiscellaneousPage::testSound()
{
    // The sound as the page shows it, whether applied yet or not.
    CaptureSound{m_playSound->isChecked(), m_beep->isChecked(), m_soundFile->isChecked(), m_soundPath->text()}.play(
        m_desktop);
}
