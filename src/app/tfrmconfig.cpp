#include "tfrmconfig.h"

#include "errorhandler.h"

#include "capture/aliasderivation.h"
#include "config/collectiontreemodel.h"
#include "config/richedit.h"
#include "config/rtf/richtextplain.h"
#include "platform/desktop.h"
#include "popup/hotkeykeys.h"
#include "popup/companionplacement.h"
#include "popup/pasteengine.h"
#include "popup/tfrmlb.h"
#include "popup/tsyshotkey.h"
#include "platform/filedialogs.h"
#include "platform/messageboxservice.h"
#include "store/programerror.h"
#include "tray/trayicon.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

const QString kWelcome = QStringLiteral(
    "\r\nA great beginner resource for familiarizing yourself with Scrapkeeper is the Example Page included with "
    "the program.\r\n\r\nWould you like to launch the Example Page now?\r\n");
const QString kBasicIdea = QStringLiteral(
    "The basic idea behind Scrapkeeper is that when you press CTRL-V (or the hotkey specified), and a pop-up list "
    "will appear allowing you to choose data to paste.\r\n\r\nYou can try the Example Page at any time in the "
    "future by right clicking the Scrapkeeper system tray icon, selecting \"Help\" and then \"Example Page\" from "
    "the submenu.");
const QString kExampleLoaded = QStringLiteral(
    "The example data file (for the Example Page) is currently loaded.  It is recommended that you work within "
    "your own data file and not change this one.\r\n\r\nWould you like to open an existing data file (i.e. one you "
    "have been working with)?");
const QString kPreviousLocated = QStringLiteral(
    "Your previous data file has been located.  If you wish to load it, just click \"Open\" (after clicking OK "
    "here).");
const QString kNewListHint = QStringLiteral(
    "If you want to create your own data file and start from scratch, just click the \"New group list\" tool "
    "button (left most button).");
const QString kNotFirstTime = QStringLiteral(
    "Since this is NOT your first time running Scrapkeeper, you may have already modified the default data file "
    "used for the Example Page.  If so, you should load the data file \"skexdata.db\" located in the Scrapkeeper "
    "folder for use with this Example Page (open data files by clicking the \"Open group list\" tool button at "
    "the Configuration window).");
const QString kExampleLaunchFailed = QStringLiteral(
    "Error launching example HTML page.  Please select \"Scrapkeeper Example Page\" from the program icon group.");
const QString kExampleByHand = QStringLiteral(
    "The example page can be viewed by opening the file \"quickpaste.html\" (which you should be able to see "
    "right now) in your browser.");
const QString kHotkeyTaken = QStringLiteral(
    "The current hotkey is already registered by another program on your system!  You won't be able to use this "
    "program until you change the current hotkey:\r\n\r\n*Double click the tray icon (bottom right corner of the "
    "screen).\r\n*Click the Pop-up List Options icon.\r\n*Set a different hotkey from the Pop-up List tab and click "
    "OK.");
const QString kDataFileFilter = QStringLiteral("Scrapkeeper Database (*.db)");

QString cleanPath(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

// Keeps a widget's screen updates off for a block, also when it throws.
class UpdatesSuspended
{
public:
    explicit UpdatesSuspended(QWidget *widget) : m_widget(widget) { m_widget->setUpdatesEnabled(false); }
    ~UpdatesSuspended() { m_widget->setUpdatesEnabled(true); }

private:
    QWidget *m_widget;
};

} // namespace

TfrmConfig::TfrmConfig(ConfigServices services, QWidget *parent)
    : QMainWindow(parent)
    , m_messages(services.messages)
    , m_fileDialogs(services.fileDialogs)
    , m_desktop(services.desktop)
    , m_paths(std::move(services.paths))
    , m_settings(m_paths.settingsFile, m_paths.programFile, m_paths.programFolder, m_paths.autostartFile)
    , m_dataFiles(m_collection, m_recent, m_messages, *this, m_paths.programFolder)
    , m_monitor(m_collection, m_options, services.clipboard, *this)
{
    setObjectName(QStringLiteral("frmConfig"));
    m_tray = new TrayIcon(this);
    m_shk = new TSysHotKey(services.keyGrabber, this);
    m_shk->setObjectName(QStringLiteral("shk"));
    m_engine = new PasteEngine(m_collection, m_options, m_desktop, services.clipboard, m_monitor, services.keyGrabber,
                               this);
    connect(m_shk, &TSysHotKey::OnHotKey, this,
            [this](int index) { ErrorHandler::guard(m_shk, [this, index] { shkHotKey(index); }); });
    buildUi();

    m_HAtimer.setObjectName(QStringLiteral("HAtimer"));
    m_HAtimer.setSingleShot(true);
    m_HAtimer.setInterval(150);
    connect(&m_HAtimer, &QTimer::timeout, this, [this] { ErrorHandler::guard(&m_HAtimer, [this] { DoHideApp(); }); });
    m_savetimer.setObjectName(QStringLiteral("savetimer"));
    connect(&m_savetimer, &QTimer::timeout, this,
            [this] { ErrorHandler::guard(&m_savetimer, [this] { savetimerTimer(); }); });

    connect(m_tray, &TrayIcon::configurationRequested, this,
            [this] { ErrorHandler::guard(m_tray, [this] { Options1Click(); }); });
    connect(m_tray, &TrayIcon::exitRequested, this, [this] { ErrorHandler::guard(m_tray, [this] { Exit1Click(); }); });
    connect(&m_options, &Options::changed, this, [this](const QString &name) {
        if (name == QLatin1String("catcombo"))
            applyCategoryIndex();
        else if (name == QLatin1String("lba"))
            lbacbClick();
    });
    bindTrayToOptions();
}

TfrmConfig::~TfrmConfig() = default;

void TfrmConfig::buildUi()
{
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);

    auto *categoryRow = new QHBoxLayout;
    auto *categoryLabel = new QLabel(QStringLiteral("Current category:"), central);
    m_catcombo = new QComboBox(central);
    m_catcombo->setObjectName(QStringLiteral("Catcombo"));
    m_catcombo->setMinimumContentsLength(20);
    categoryLabel->setBuddy(m_catcombo);
    categoryRow->addWidget(categoryLabel);
    categoryRow->addWidget(m_catcombo, 1);
    layout->addLayout(categoryRow);

    m_pages = new QTabWidget(central);
    m_pages->setObjectName(QStringLiteral("pages"));
    m_listSetupTab = new QWidget(m_pages);
    m_listSetupTab->setObjectName(QStringLiteral("ListSetuptab"));
    auto *listLayout = new QVBoxLayout(m_listSetupTab);
    m_tree = new QTreeView(m_listSetupTab);
    m_tree->setObjectName(QStringLiteral("TV"));
    m_tree->setHeaderHidden(true);
    m_tree->setMouseTracking(true);  // hot tracking
    m_treeModel = new CollectionTreeModel(m_collection, this);
    m_tree->setModel(m_treeModel);
    listLayout->addWidget(m_tree);
    m_pages->addTab(m_listSetupTab, QStringLiteral("List Setup"));
    layout->addWidget(m_pages, 1);

    m_memo = new RichEdit(central);
    m_memo->setObjectName(QStringLiteral("Memo"));
    m_memo->hide();

    m_progressPanel = new QWidget(central);
    m_progressPanel->setObjectName(QStringLiteral("pbpnl"));
    auto *progressLayout = new QHBoxLayout(m_progressPanel);
    progressLayout->setContentsMargins(0, 0, 0, 0);
    progressLayout->addWidget(new QLabel(QStringLiteral("Loading data..."), m_progressPanel));
    m_progress = new QProgressBar(m_progressPanel);
    m_progress->setObjectName(QStringLiteral("pb"));
    m_progress->setRange(0, 100);
    progressLayout->addWidget(m_progress, 1);
    m_progressPanel->hide();
    layout->addWidget(m_progressPanel);

    auto *buttons = new QHBoxLayout;
    auto *restore = new QToolButton(central);
    restore->setObjectName(QStringLiteral("SpeedButton1"));
    restore->setText(QStringLiteral("Restore"));
    restore->setToolTip(QStringLiteral("Restore last saved changes"));
    auto *help = new QPushButton(QStringLiteral("&Help"), central);
    help->setObjectName(QStringLiteral("Help"));
    auto *ok = new QPushButton(QStringLiteral("OK"), central);
    ok->setObjectName(QStringLiteral("OK"));
    ok->setToolTip(QStringLiteral("Save all information and minimize"));
    ok->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), central);
    cancel->setObjectName(QStringLiteral("Cancel"));
    cancel->setToolTip(QStringLiteral("Cancel changes (if any) and minimize"));
    buttons->addWidget(restore);
    buttons->addStretch(1);
    buttons->addWidget(help);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    setCentralWidget(central);
    resize(560, 440);

    connect(ok, &QPushButton::clicked, this, [this, ok] { ErrorHandler::guard(ok, [this] { OKClick(); }); });
    connect(cancel, &QPushButton::clicked, this,
            [this, cancel] { ErrorHandler::guard(cancel, [this] { CancelClick(false); }); });
    connect(restore, &QToolButton::clicked, this,
            [this, restore] { ErrorHandler::guard(restore, [this] { CancelClick(true); }); });
    connect(help, &QPushButton::clicked, this,
            [this, help] { ErrorHandler::guard(help, [this] { openHelp(QStringLiteral("ListSetup")); }); });
    connect(m_catcombo, &QComboBox::activated, this, [this](int index) {
        ErrorHandler::guard(m_catcombo, [this, index] {
            const QSignalBlocker block(&m_options);
            m_options.set(QStringLiteral("catcombo"), index);
            CatcomboChange();
            LoadCurrlb();
        });
    });
}

// ---- start and stop -------------------------------------------------------

void TfrmConfig::FormCreate()
{
    // Each step on its own: a data file that cannot be read must not leave
    // the settings unread (and then overwritten) or the hotkey unregistered.
    ErrorHandler::guard(this, [this] { m_recent.load(m_paths.recentFilesList()); });
    ErrorHandler::guard(this, [this] {
        m_dataFiles.setFirstRun(m_settings.isFirstRun());
        m_dataFiles.setCurrentFile(m_settings.ReadCurrentDataFile());
        m_dataFiles.LoadData();
        m_dataUsable = true;
    });
    ErrorHandler::guard(this, [this] {
        m_firstRun = false;
        loadSettings();
    });
    ErrorHandler::guard(this, [this] {
        applyTrayVisibility();
        UpdateHotkey();
        m_collection.clearModified();
        m_monitor.join();
        m_tray->setActive(m_options.flag(QStringLiteral("lba")));
    });
}

void TfrmConfig::startUp()
{
    if (m_firstRun) {
        showConfigWindow();
        const auto answer = m_messages.show(MessageBoxService::Icon::Information,
                                            QStringLiteral("Welcome to Scrapkeeper v2.3!"), kWelcome,
                                            MessageBoxService::Yes | MessageBoxService::No);
        if (m_exitRequested)
            return;  // a log-off during the question
        if (answer != MessageBoxService::Yes)
            m_messages.information(kBasicIdea);
        ErrorHandler::guard(this, [this] { OKClick(); });
        if (answer == MessageBoxService::Yes)
            ErrorHandler::guard(this, [this] { ExamplePage1Click(); });
    } else if (isExampleDataFileCurrent()) {
        // Working in the example file is worth a word, so the window stays.
        showConfigWindow();
        ErrorHandler::guard(this, [this] { CheckCurrFile(); });
    } else {
        ErrorHandler::guard(this, [this] { minimiseApplication(); });
    }
    m_HAtimer.start();
}

void TfrmConfig::FormDestroy()
{
    m_tray->setVisible(false);
    if (m_options.flag(QStringLiteral("save"))) {
        if (m_dataUsable)
            ErrorHandler::guard(this, [this] { m_dataFiles.SaveData(); });
        ErrorHandler::guard(this, [this] { saveSettings(); });
    }
    m_monitor.leave();
    ErrorHandler::guard(this, [this] { m_recent.save(m_paths.recentFilesList()); });
}

// ---- the two ways out of the window -----------------------------------------

void TfrmConfig::OKClick()
{
    if (m_collection.anyModified() && m_dataUsable)
        m_dataFiles.SaveData();
    saveSettings();
    UpdateHotkey();
    applyTrayVisibility();
    SetSaveTimer();
    minimiseApplication();
}

void TfrmConfig::SetSaveTimer()
{
    if (m_options.number(QStringLiteral("autosaverg")) == 0)
        m_savetimer.start(m_options.number(QStringLiteral("asse")) * 60000);
    else
        m_savetimer.stop();
}

void TfrmConfig::savetimerTimer()
{
    // Changes made in the open window wait for its OK or Cancel.
    if (!m_minimised)
        return;
    if (m_collection.captureModified() && m_dataUsable)
        m_dataFiles.SaveData();
    saveSettings();
}

void TfrmConfig::CancelClick(bool keepWindowOpen)
{
    {
        const UpdatesSuspended frozen(m_tree);
        const QString stored = m_settings.ReadCurrentDataFile();
        if (stored != m_dataFiles.currentFile())
            m_collection.setEditModified();
        m_dataFiles.setCurrentFile(stored);
        if (m_collection.editModified()) {
            m_dataFiles.LoadData();
            m_dataUsable = true;
        }
    }
    showProgress(100);
    loadSettings();
    hideProgress();
    if (!keepWindowOpen)
        minimiseApplication();
}

void TfrmConfig::Exit1Click()
{
    // Ends the event loop directly: a quit would first ask the windows to
    // close, and a shown configuration window answers that with Cancel. The
    // request is kept too, for an exit asked for before the loop runs.
    m_exitRequested = true;
    QCoreApplication::exit(0);
}

void TfrmConfig::closeEvent(QCloseEvent *event)
{
    if (m_minimised) {
        event->accept();
        return;
    }
    // The window's close button means Cancel.
    event->ignore();
    ErrorHandler::guard(this, [this] { CancelClick(false); });
}

// ---- window states ------------------------------------------------------------

void TfrmConfig::showConfigWindow()
{
    m_minimised = false;
    showNormal();
    raise();
    activateWindow();
}

void TfrmConfig::minimiseApplication()
{
    m_minimised = true;
    if (m_tray->isVisible() && m_options.flag(QStringLiteral("hide")))
        hide();
    else
        showMinimized();
    HandleMinRestore(true);
}

void TfrmConfig::restoreApplication()
{
    // An already shown window is only brought forward: restoring it again
    // would save the settings and leave Cancel nothing to undo.
    const bool wasMinimised = m_minimised;
    showConfigWindow();
    if (wasMinimised)
        HandleMinRestore(false);
}

void TfrmConfig::Options1Click()
{
    restoreApplication();
    CheckCurrFile();
}

void TfrmConfig::HandleMinRestore(bool minimised)
{
    if (minimised) {
        if (m_options.flag(QStringLiteral("lba"))) {
            m_tray->setActive(true);
            m_shk->setActive(true);
            const bool registered = m_shk->HotKeyCount() > 0 && m_shk->GetHotKey(0).Registered;
            if (!registered) {
                m_messages.show(MessageBoxService::Icon::Error, QStringLiteral("Error!"), kHotkeyTaken,
                                MessageBoxService::Ok);
                m_shk->ClearHotKeys();
            }
        }
        DoHideApp();
        CatcomboChange();
        m_pages->setCurrentWidget(m_listSetupTab);
    } else {
        m_pages->setCurrentWidget(m_listSetupTab);
        m_tray->setActive(false);
        if (m_collection.captureModified() && m_options.number(QStringLiteral("autosaverg")) == 1 && m_dataUsable)
            m_dataFiles.SaveData();
        saveSettings();
        m_shk->setActive(false);
        m_tree->setFocus();
        m_tree->collapseAll();
    }
    LoadCurrlb();
}

void TfrmConfig::DoHideApp()
{
    // Without a tray icon the iconified window is the only way back in.
    if (m_minimised && m_options.flag(QStringLiteral("hide")) && m_tray->isVisible())
        hide();
}

void TfrmConfig::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange)
        return;
    // The window manager's own minimise and restore take the same paths as ours.
    if (isMinimized() && !m_minimised) {
        m_minimised = true;
        ErrorHandler::guard(this, [this] { HandleMinRestore(true); });
    } else if (!isMinimized() && isVisible() && m_minimised) {
        m_minimised = false;
        ErrorHandler::guard(this, [this] {
            HandleMinRestore(false);
            CheckCurrFile();
        });
    }
}

void TfrmConfig::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_centred) {
        m_centred = true;
        if (const QScreen *screen = this->screen()) {
            const QRect area = screen->geometry();
            move(area.x() + area.width() / 2 - width() / 2, area.y() + area.height() / 2 - height() / 2);
        }
    }
    if (m_firstRun) {
        m_pages->setCurrentWidget(m_listSetupTab);
        m_tree->setFocus();
    }
}

void TfrmConfig::applyTrayVisibility()
{
    m_tray->setVisible(m_options.flag(QStringLiteral("systray")) && m_desktop.trayAvailable());
}

// ---- example data file, example page and help ------------------------------------

bool TfrmConfig::isExampleDataFileCurrent() const
{
    return cleanPath(m_dataFiles.currentFile()) == cleanPath(m_dataFiles.exampleDataFile());
}

bool TfrmConfig::CheckCurrFile()
{
    if (!isExampleDataFileCurrent())
        return false;
    const auto answer = m_messages.show(MessageBoxService::Icon::Question, QStringLiteral("Confirmation"),
                                        kExampleLoaded, MessageBoxService::Yes | MessageBoxService::No);
    if (answer != MessageBoxService::Yes) {
        showNewListHint();
        return true;
    }
    QString start = m_dataFiles.defaultDataFile();
    const QString previous = m_options.text(QStringLiteral("prevfile"));
    if (!previous.isEmpty() && QFileInfo(previous).isFile()) {
        start = previous;
        m_messages.information(kPreviousLocated);
    }
    const QString chosen = m_fileDialogs.openFile(this, QStringLiteral("Open Data File"), start, kDataFileFilter);
    if (chosen.isEmpty()) {
        showNewListHint();
        return true;
    }
    m_dataFiles.setCurrentFile(chosen);
    m_dataFiles.LoadData();
    m_dataUsable = true;
    // Captures go to the current category of the file now loaded.
    CatcomboChange();
    LoadCurrlb();
    return true;
}

void TfrmConfig::showNewListHint()
{
    m_messages.information(kNewListHint);
}

void TfrmConfig::ExamplePage1Click()
{
    if (!m_firstRun)
        m_messages.information(kNotFirstTime);
    if (m_desktop.openDocument(QUrl::fromLocalFile(m_paths.examplePage())))
        return;
    m_messages.show(MessageBoxService::Icon::Error, kApplicationTitle, kExampleLaunchFailed, MessageBoxService::Ok);
    m_desktop.openDocument(QUrl::fromLocalFile(m_paths.sharedFolder));
    m_messages.show(MessageBoxService::Icon::Information, kApplicationTitle, kExampleByHand, MessageBoxService::Ok);
}

void TfrmConfig::openHelp(const QString &topic)
{
    QUrl url = QUrl::fromLocalFile(m_paths.helpPage());
    url.setFragment(topic);
    m_desktop.openDocument(url);
}

// ---- settings ----------------------------------------------------------------------

SettingsContext TfrmConfig::settingsContext() const
{
    return {m_collection.categoryCount(), 0};
}

void TfrmConfig::loadSettings()
{
    const bool firstRun = m_settings.LoadSettings(m_options, settingsContext(), [this] { applyCategoryIndex(); });
    m_settingsLoaded = true;
    if (firstRun) {
        m_firstRun = true;
        applyCategoryIndex();
    } else {
        SetSaveTimer();
    }
}

void TfrmConfig::saveSettings()
{
    if (!m_settingsLoaded)
        return;
    {
        const QSignalBlocker block(&m_options);
        m_options.set(QStringLiteral("catcombo"), m_catcombo->currentIndex());
    }
    m_settings.SaveSettings(m_options, settingsContext(), m_dataFiles.currentFile());
}

bool TfrmConfig::ReadBackupSetting()
{
    const bool backup = m_settings.ReadBackupSetting();
    const QSignalBlocker block(&m_options);
    m_options.set(QStringLiteral("backup"), backup);
    return backup;
}

// ---- categories ----------------------------------------------------------------------

void TfrmConfig::applyCategoryIndex()
{
    {
        const QSignalBlocker block(m_catcombo);
        m_catcombo->setCurrentIndex(m_options.number(QStringLiteral("catcombo")));
    }
    CatcomboChange();
}

void TfrmConfig::LoadCombo()
{
    int selected = 0;
    if (const CategoryNode *category = m_treeModel->categoryAt(m_tree->currentIndex()))
        selected = std::max(0, m_collection.indexOf(category));
    QStringList names;
    for (const auto &category : m_collection.categories())
        names << category->name;
    {
        const QSignalBlocker block(m_catcombo);
        m_catcombo->clear();
        m_catcombo->addItems(names);
        m_catcombo->setCurrentIndex(m_collection.categoryCount() > 0 ? selected : -1);
    }
    m_monitor.refreshDestinationLists(m_categoryNames);
    m_categoryNames = names;
}

QString TfrmConfig::currentCategoryName() const
{
    return m_catcombo->currentText();
}

void TfrmConfig::testbtnClick()
{
    if (!m_options.flag(QStringLiteral("playsound")))
        return;
    if (m_options.flag(QStringLiteral("beep"))) {
        m_desktop.beep();
        return;
    }
    const QString file = m_options.text(QStringLiteral("soundedit"));
    if (m_options.flag(QStringLiteral("sound")) && !file.trimmed().isEmpty())
        m_desktop.playSound(file);
}

void TfrmConfig::bindTrayToOptions()
{
    // The tray entries and the options mirror each other both ways.
    const auto bind = [this](QAction *action, const QString &option) {
        action->setChecked(m_options.flag(option));
        connect(action, &QAction::toggled, this, [this, option](bool on) { m_options.set(option, on); });
        connect(&m_options, &Options::changed, action, [action, option](const QString &name, const QVariant &value) {
            if (name == option)
                action->setChecked(value.toBool());
        });
    };
    bind(m_tray->autoTextAction(), QStringLiteral("auto"));
    bind(m_tray->autoImagesAction(), QStringLiteral("autobmp"));
}

void TfrmConfig::CatcomboChange()
{
    CategoryNode *category = m_collection.GetCategoryNode(m_catcombo->currentText());
    m_collection.setCurrentCategory(category);
    const CategoryNode *shown = category ? category : m_collection.category(0);
    if (shown)
        m_tree->setCurrentIndex(m_treeModel->categoryIndex(shown));
}

void TfrmConfig::LoadCurrlb()
{
    m_collection.LoadCurrlb();
}

void TfrmConfig::SetAliasFromMemo(QString &alias) const
{
    alias = AliasDerivation::fromText(RichTextPlain::plainText(*m_memo->document()));
}

// ---- what loading and saving show ---------------------------------------------------------

void TfrmConfig::showProgress(int percent)
{
    m_progressPanel->show();
    m_progress->setValue(percent);
}

void TfrmConfig::hideProgress()
{
    m_progressPanel->hide();
}

void TfrmConfig::processEvents()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TfrmConfig::refreshCaption()
{
    const QString path = m_dataFiles.currentFile();
    setWindowTitle(QStringLiteral("Scrapkeeper Configuration - ") + path);
    m_pages->setTabText(m_pages->indexOf(m_listSetupTab), QStringLiteral("List Setup - ") + QFileInfo(path).fileName());
}

void TfrmConfig::selectFirstNode()
{
    m_tree->setCurrentIndex(m_treeModel->index(0, 0));
}

void TfrmConfig::moveOutOfSight()
{
    DoHideApp();
}

// ---- the pop-up hotkey ----------------------------------------------------------------------

void TfrmConfig::UpdateHotkey()
{
    m_shk->ClearHotKeys();
    std::uint8_t modifiers = 0;
    if (m_options.flag(QStringLiteral("ctrl")))
        modifiers |= TSysHotKey::Ctrl;
    if (m_options.flag(QStringLiteral("alt")))
        modifiers |= TSysHotKey::Alt;
    if (m_options.flag(QStringLiteral("shift")))
        modifiers |= TSysHotKey::Shift;
    if (m_options.flag(QStringLiteral("win")))
        modifiers |= TSysHotKey::Win;
    m_shk->AddHotKey(modifiers, std::uint8_t(HotkeyKeys::HotkeyKeyCode(m_options.number(QStringLiteral("hkindex")))));
}

void TfrmConfig::lbacbClick()
{
    const bool active = m_options.flag(QStringLiteral("lba"));
    m_shk->setActive(active);
    if (m_minimised)
        m_tray->setActive(active);
}

void TfrmConfig::shkHotKey(int)
{
    if (m_popup || !m_options.flag(QStringLiteral("lba")))
        return;
    m_target = m_desktop.GetForeignFocus();
    // Our own windows leave the last caret position as it was.
    if (!m_target.ownWindow)
        m_caretPos = m_target.caretKnown ? m_target.caret : m_desktop.pointerPosition();
    if (!m_target.ownWindow && !m_minimised)
        minimiseApplication();

    const QPoint anchor = CompanionPlacement::listAnchor(m_caretPos, m_target.windowOrigin,
                                                         m_desktop.screenGeometry(m_caretPos));

    m_popup = new Tfrmlb(m_collection, m_options, *m_engine, m_desktop, m_messages, m_target);
    connect(m_popup, &Tfrmlb::closed, this, &TfrmConfig::popupClosed);
    connect(m_popup, &Tfrmlb::disableRequested, this, [this] { m_options.set(QStringLiteral("lba"), false); });
    connect(m_popup, &Tfrmlb::configurationRequested, this,
            [this] { ErrorHandler::guard(this, [this] { Options1Click(); }); });
    connect(m_popup, &Tfrmlb::categoryChosen, this, [this](int index) {
        {
            const QSignalBlocker block(m_catcombo);
            m_catcombo->setCurrentIndex(index);
        }
        CatcomboChange();
        LoadCurrlb();
        if (m_popup)
            m_popup->rebuild();
    });
    m_shk->setActive(false);
    try {
        m_popup->move(anchor.x(), anchor.y() + 13);
        m_popup->rebuild();
        m_popup->show();
        m_desktop.ForceForeground(m_popup->winId());
    } catch (...) {
        // A list that failed to open must not keep the hotkey away.
        m_popup->close();
        throw;
    }
}

void TfrmConfig::popupClosed()
{
    m_popup = nullptr;
    m_shk->setActive(m_options.flag(QStringLiteral("lba")));
    m_HAtimer.start();
}
