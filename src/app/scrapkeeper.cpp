#include "app/scrapkeeper.h"
#include "app/helpaddress.h"
#include "app/instancelock.h"

#include "auxiliary/aboutdialog.h"
#include "auxiliary/helpwindow.h"
#include "auxiliary/tips.h"
#include "capture/capturesound.h"
#include "config/dialogs/imageviewer.h"
#include "config/dialogs/itemeditor.h"

#include "common/errorhandler.h"
#include "common/messageboxservice.h"
#include "common/modalsession.h"
#include "common/programerror.h"
#include "platform/filedialogs.h"
#include "popup/globalhotkeys.h"
#include "popup/popuplist.h"
#include "settings/globalpastechoice.h"
#include "tray/categorymenu.h"
#include "tray/trayicon.h"
#include "tray/traymenu.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QScopedValueRollback>
#include <QUrl>

#include <algorithm>

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
const QString kSharedDataFile = QStringLiteral(
    "\"%1\" is open in another running Scrapkeeper as well.  Before either of them saves it takes in what the "
    "other has saved, so nothing is lost; still, it is safer to keep a group list open in one of them only.");
// The names are the stored ones: what a user editing the settings file by hand typed.
const QString kSettingsUnreadable = QStringLiteral(
    "These settings could not be read and are back at their defaults: %1.  The settings file \"%2\" now holds the "
    "defaults in their place.");
const QString kDataFileFilter = QStringLiteral("Scrapkeeper Database (*.db)");
const QString kCopiesRefused = QStringLiteral(
    "Copies made while the configuration window was open are kept when its changes are cancelled, but these "
    "could not be put back: their category is locked and its limit is reached.\r\n");

QString cleanPath(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}


// Keeps the tree's screen updates off for a block, also when it throws.
class TreeUpdatesSuspended
{
public:
    explicit TreeUpdatesSuspended(ConfigView &view) : m_view(view) { m_view.setTreeUpdatesEnabled(false); }
    ~TreeUpdatesSuspended() { m_view.setTreeUpdatesEnabled(true); }

private:
    ConfigView &m_view;
};

} // namespace

Scrapkeeper::Scrapkeeper(AppServices services, QObject *parent)
    : QObject(parent)
    , m_messages(services.messages)
    , m_fileDialogs(services.fileDialogs)
    , m_desktop(services.desktop)
    , m_clipboard(services.clipboard)
    , m_paths(std::move(services.paths))
    , m_settings(m_paths.settingsFile, m_paths.programFile, m_paths.programFolder, m_paths.autostartFile)
    , m_dataFiles(m_collection, m_recent, m_messages, *this, m_paths.programFolder)
    , m_monitor(m_collection, m_options, services.clipboard, *this)
    , m_capturesWhileShown(m_collection)
    , m_treeEditor(m_collection, m_options, m_messages, services.treeDialogs)
    , m_groupLists(m_collection, m_dataFiles, m_recent, m_options, m_treeEditor, m_messages, m_fileDialogs, *this)
    , m_itemClipboard(services.clipboard, m_monitor)
    , m_versionCheck(m_messages, m_desktop)
{
    setObjectName(QStringLiteral("frmConfig"));
    m_tray = new TrayIcon(m_collection, m_options, m_itemClipboard, m_messages, m_desktop, this);
    m_popups = new PopupController(m_collection, m_options, m_desktop, services.clipboard, m_monitor,
                                   services.keyGrabber, m_messages, *this, this);
    m_hotkeys = &m_popups->hotkeys();
    // A press arrives outside any event handler: errors in it are caught here.
    connect(m_hotkeys, &GlobalHotkeys::pressed, this, &Scrapkeeper::onHotkeyPressed);

    m_hideAgainTimer.setObjectName(QStringLiteral("HAtimer"));
    m_hideAgainTimer.setSingleShot(true);
    m_hideAgainTimer.setInterval(150);
    connect(&m_hideAgainTimer, &QTimer::timeout, this,
            [this] { ErrorHandler::guard(&m_hideAgainTimer, [this] { hideWhileMinimised(); }); });
    m_autoSaveTimer.setObjectName(QStringLiteral("savetimer"));
    connect(&m_autoSaveTimer, &QTimer::timeout, this,
            [this] { ErrorHandler::guard(&m_autoSaveTimer, [this] { autoSave(); }); });

    // The tray reaches the program also while a dialog of ours is up (a
    // StatusNotifierItem's activation comes over the bus): what it asks for
    // waits for the dialog, which comes forward meanwhile.
    connect(m_tray, &TrayIcon::configurationRequested, this, &Scrapkeeper::requestConfiguration);
    connect(&m_gate, &ModalGate::heldBack, this, &Scrapkeeper::bringDialogForward);
    // A copy that was not kept is said at the tray icon now, and above the
    // entries of the next pop-up list, where an older item would be pasted instead.
    connect(&m_monitor, &ClipboardMonitor::captureRefused, this, [this](const Refusal &refusal) {
        m_tray->showNotice(QStringLiteral("Copy not kept"), refusal.why);
        m_popups->setNextNotice(QStringLiteral("Last copy not kept: ") + refusal.why);
    });
    connect(&m_monitor, &ClipboardMonitor::itemCaptured, this, [this] { m_popups->setNextNotice({}); });
    connectTrayMenu();
    connect(&m_options, &Options::changed, this, [this](Option option) {
        // The menu picture's tray menu works while the window is shown.
        if (m_pagesCurrent && !m_minimised && !m_applyingPages)
            m_view->showOption(m_options, option);
        if (option == Option::CurrentCategory)
            applyCategoryIndex();
        else if (option == Option::QuickListActive)
            applyQuickListActive();
    });
    connect(&m_monitor, &ClipboardMonitor::copyStored, this, [this](const Item &item) {
        if (!m_minimised)
            m_capturesWhileShown.record(item);
    });
    connect(&m_treeEditor, &TreeEditor::categoriesChanged, this,
            [this] { ErrorHandler::guard(&m_treeEditor, [this] { categoriesEdited(); }); });
    bindTrayToOptions();
}

void Scrapkeeper::onHotkeyPressed(int index)
{
    // A list opened under a modal dialog could not be used: the dialog comes forward instead.
    if (ModalGate::modalUp()) {
        bringDialogForward();
        return;
    }
    ErrorHandler::guard(m_hotkeys, [this, index] { m_popups->onHotkey(index); });
}

bool Scrapkeeper::requestConfiguration()
{
    m_gate.run(QStringLiteral("configuration"),
               [this] { ErrorHandler::guard(m_tray, [this] { showConfiguration(); }); });
    return !m_gate.holding();
}

Scrapkeeper::~Scrapkeeper()
{
    delete m_about;
    delete m_helpWindow;
}

bool Scrapkeeper::sharedWithAnotherProgram(const QString &dataFile)
{
    const QString lockPath = dataFile + QStringLiteral(".lock");
    if (lockPath != m_dataFileLockPath) {
        // Another data file: the lock of the one before is let go.
        m_dataFileLock = std::make_unique<InstanceLock>(lockPath);
        m_dataFileLockPath = lockPath;
        m_dataFileLockHeld = false;
    }
    if (m_dataFileLockHeld)
        return false;
    // Tried again at each save, so the lock passes here once the other program ends.
    switch (m_dataFileLock->acquire()) {
    case InstanceLock::Result::Acquired:
        m_dataFileLockHeld = true;
        return false;
    case InstanceLock::Result::Failed:
        return false;  // a folder that takes no lock takes no data file either: the save says so
    case InstanceLock::Result::AlreadyRunning:
        break;
    }
    if (!m_toldShared.contains(dataFile)) {
        m_toldShared.insert(dataFile);
        m_messages.information(kSharedDataFile.arg(dataFile));
    }
    return true;
}

void Scrapkeeper::collectionMerged()
{
    refreshCategoryCombo();
    applyCategoryChoice();
    refreshCurrentItems();
    showTrayCategory();
}

// ---- start and stop -------------------------------------------------------

void Scrapkeeper::initialise()
{
    // Each step on its own: a data file that cannot be read must not leave
    // the settings unread (and then overwritten) or the hotkey unregistered.
    ErrorHandler::guard(this, [this] { m_recent.load(m_paths.recentFilesList()); });
    ErrorHandler::guard(this, [this] {
        m_dataFiles.setFirstRun(m_settings.isFirstRun());
        m_dataFiles.setCurrentFile(m_settings.currentDataFile());
        m_dataFiles.loadData();
        m_dataUsable = true;
    });
    ErrorHandler::guard(this, [this] {
        m_firstRun = false;
        loadSettings();
    });
    ErrorHandler::guard(this, [this] {
        applyTrayVisibility();
        m_popups->registerHotkey();
        m_collection.clearModified();
        m_monitor.join();
        m_tray->setActive(m_options.flag(Option::QuickListActive));
    });
}

void Scrapkeeper::showTipOfTheDay()
{
    if (!m_showTip)
        return;
    const TipChoice choice = m_showTip(m_options.number(Option::NextTip), m_options.flag(Option::TipOnStart));
    // The next showing starts after the tip last seen.
    m_options.set(Option::NextTip, Tips::next(choice.index));
    m_options.set(Option::TipOnStart, choice.showOnStart);
}

void Scrapkeeper::showTipFromTray()
{
    // The menu cannot be opened a second time while the tip is up.
    m_tray->setActive(false);
    m_tray->setMenuAttached(false);
    ErrorHandler::guard(this, [this] { showTipOfTheDay(); });
    m_tray->setActive(m_options.flag(Option::QuickListActive));
    m_tray->setMenuAttached(m_minimised);
    m_hideAgainTimer.start();
}

void Scrapkeeper::startUp()
{
    if (m_options.flag(Option::TipOnStart))
        ErrorHandler::guard(this, [this] { showTipOfTheDay(); });
    if (m_firstRun) {
        showConfigWindow();
        m_view->showListSetup();
        const auto answer = m_messages.show(MessageBoxService::Icon::Information,
                                            QStringLiteral("Welcome to Scrapkeeper v2.3!"), kWelcome,
                                            MessageBoxService::Yes | MessageBoxService::No);
        if (m_exitRequested)
            return;  // a log-off during the question
        if (answer != MessageBoxService::Yes)
            m_messages.information(kBasicIdea);
        ErrorHandler::guard(this, [this] { acceptChanges(); });
        if (answer == MessageBoxService::Yes)
            ErrorHandler::guard(this, [this] { openExamplePage(); });
    } else if (isExampleDataFileCurrent()) {
        // Working in the example file is worth a word, so the window stays.
        showConfigWindow();
        ErrorHandler::guard(this, [this] { checkExampleDataFile(); });
    } else {
        ErrorHandler::guard(this, [this] { minimiseApplication(); });
    }
    m_hideAgainTimer.start();
}

void Scrapkeeper::shutDown()
{
    m_tray->setVisible(false);
    saveBeforeLeaving();
    m_monitor.leave();
}

void Scrapkeeper::saveBeforeLeaving()
{
    // Leaving with the window shown (a log-off, the tray's Exit) keeps what
    // its pages show, as it keeps the list's edits: the pages decide, also
    // whether anything is saved at all.
    if (m_pagesCurrent && !m_minimised)
        ErrorHandler::guard(this, [this] { applyPages(); });
    if (m_options.flag(Option::SaveOnExit)) {
        if (m_dataUsable)
            ErrorHandler::guard(this, [this] { m_dataFiles.saveData(); });
        ErrorHandler::guard(this, [this] { saveSettings(); });
    }
    ErrorHandler::guard(this, [this] { m_recent.save(m_paths.recentFilesList()); });
}

// ---- the ways out of the window -----------------------------------------

void Scrapkeeper::acceptChanges()
{
    // Pages never shown hold nothing of the user's.
    if (m_pagesCurrent)
        applyPages();
    if (m_collection.anyModified() && m_dataUsable)
        m_dataFiles.saveData();
    saveSettings();
    m_popups->registerHotkey();
    applyTrayVisibility();
    m_tray->menu()->applyLook();
    showTrayCategory();
    restartAutoSaveTimer();
    minimiseApplication();
}

void Scrapkeeper::restartAutoSaveTimer()
{
    if (m_options.number(Option::AutoSaveChoice) == 0)
        m_autoSaveTimer.start(m_options.number(Option::AutoSaveMinutes) * 60000);
    else
        m_autoSaveTimer.stop();
}

void Scrapkeeper::autoSave()
{
    // Changes made in the open window wait for its OK or Cancel.
    if (!m_minimised)
        return;
    if (m_collection.captureModified() && m_dataUsable)
        m_dataFiles.saveData();
    saveSettings();
}

void Scrapkeeper::discardChanges(bool keepWindowOpen)
{
    bool reloaded = false;
    {
        const TreeUpdatesSuspended frozen(*m_view);
        const QString stored = m_settings.currentDataFile();
        if (stored != m_dataFiles.currentFile())
            m_collection.setEditModified();
        m_dataFiles.setCurrentFile(stored);
        if (m_collection.editModified()) {
            // A file that can no longer be read is not overwritten by what is left.
            m_dataUsable = false;
            m_dataFiles.loadData();
            m_dataUsable = true;
            reloaded = true;
        }
    }
    showProgress(100);
    loadSettings();
    hideProgress();
    // After the settings, so a copy whose category is gone finds the current one.
    if (reloaded)
        putBackCaptures();
    showOptionsOnPages();
    if (!keepWindowOpen)
        minimiseApplication();
}

void Scrapkeeper::putBackCaptures()
{
    const CaptureReplay::Outcome outcome = m_capturesWhileShown.replay(m_options.flag(Option::PreventDuplicates));
    if (outcome.putBack > 0) {
        // Saved as any capture is: by the auto-save, on restore, by OK or at exit.
        m_collection.setCaptureModified();
        refreshCurrentItems();
    }
    if (outcome.refused.isEmpty())
        return;
    constexpr int kListed = 10;
    QString text = kCopiesRefused;
    for (int i = 0; i < std::min(int(outcome.refused.size()), kListed); ++i) {
        const Item &item = outcome.refused.at(i);
        text += QStringLiteral("\r\n\"%1\" in \"%2\"").arg(item.alias, item.category);
    }
    if (outcome.refused.size() > kListed)
        text += QStringLiteral("\r\nand %1 more").arg(outcome.refused.size() - kListed);
    m_messages.show(MessageBoxService::Icon::Warning, kApplicationTitle, text, MessageBoxService::Ok);
}

void Scrapkeeper::quit()
{
    // Ends the event loop directly: a quit would first ask the windows to
    // close, and a shown configuration window answers that with Cancel. The
    // request is kept too, for an exit asked for before the loop runs.
    m_exitRequested = true;
    QCoreApplication::exit(0);
}

bool Scrapkeeper::closeRequested()
{
    if (m_minimised)
        return true;
    // The window's close button means Cancel.
    discardChanges(false);
    return false;
}

// ---- window states ------------------------------------------------------------

void Scrapkeeper::showConfigWindow()
{
    if (m_minimised || !m_pagesCurrent)
        showOptionsOnPages();
    m_minimised = false;
    m_view->showInFront();
}

void Scrapkeeper::applyPages()
{
    const QScopedValueRollback applying(m_applyingPages, true);
    m_view->applyOptions(m_options);
}

void Scrapkeeper::showOptionsOnPages()
{
    // What the tray menu or the pop-up list changed meanwhile shows too.
    m_view->loadOptions(m_options);
    m_pagesCurrent = true;
}

void Scrapkeeper::minimiseApplication()
{
    m_minimised = true;
    if (hidesWhenMinimised())
        m_view->hideAway();
    else
        m_view->iconify();
    onMinimisedOrRestored(true);
}

void Scrapkeeper::restoreApplication()
{
    // An already shown window is only brought forward: restoring it again
    // would save the settings and leave Cancel nothing to undo.
    const bool wasMinimised = m_minimised;
    showConfigWindow();
    if (wasMinimised)
        onMinimisedOrRestored(false);
}

void Scrapkeeper::showConfiguration()
{
    // While the pop-up list is open the user is choosing what to paste: the
    // list comes forward instead of the window.
    if (PopupList *list = popup(); list && list->isVisible()) {
        list->raise();
        list->activateWindow();
        return;
    }
    // So does the about box while it is shown.
    if (m_about && m_about->isVisible()) {
        m_about->raise();
        m_about->activateWindow();
        return;
    }
    restoreApplication();
    checkExampleDataFile();
}

namespace {

const Option kHotkeyOptions[] = {Option::HotkeyCtrl, Option::HotkeyShift, Option::HotkeyAlt, Option::HotkeyWin,
                                 Option::HotkeyKey};

} // namespace

Scrapkeeper::HotkeyChoice Scrapkeeper::hotkeyChoice() const
{
    HotkeyChoice choice;
    for (size_t i = 0; i < choice.size(); ++i)
        choice[i] = m_options.number(kHotkeyOptions[i]);
    return choice;
}

void Scrapkeeper::registerOrKeepWorkingHotkey()
{
    const auto registered = [this] { return m_hotkeys->hotkeyCount() > 0 && m_hotkeys->hotkeyAt(0).registered; };
    if (!registered()) {
        m_messages.show(MessageBoxService::Icon::Error, QStringLiteral("Error!"), kHotkeyTaken, MessageBoxService::Ok);
        // A newly chosen hotkey another program holds must not cost the
        // one that worked: that one comes back, on the page and on disk.
        if (m_workingHotkey && *m_workingHotkey != hotkeyChoice()) {
            for (size_t i = 0; i < m_workingHotkey->size(); ++i)
                m_options.set(kHotkeyOptions[i], (*m_workingHotkey)[i]);
            m_popups->registerHotkey();
            saveSettings();
        }
        if (!registered())
            m_hotkeys->clearHotkeys();
    }
    if (registered())
        m_workingHotkey = hotkeyChoice();
}

void Scrapkeeper::onMinimisedOrRestored(bool minimised)
{
    // Copies made while the window was shown are in the collection kept now,
    // which a restore saves; none is left for a cancel to put back.
    m_capturesWhileShown.forget();
    if (minimised) {
        // Minimised by the window manager, the window keeps what its pages
        // show in force, as OK and Cancel have already made it.
        if (m_pagesCurrent)
            applyPages();
        m_pagesCurrent = false;
        if (m_options.flag(Option::QuickListActive)) {
            m_tray->setActive(true);
            m_hotkeys->setActive(true);
            registerOrKeepWorkingHotkey();
        }
        // The tray menu is there while the window is out of sight.
        m_tray->setMenuAttached(true);
        hideWhileMinimised();
        applyCategoryChoice();
        m_view->showListSetup();
    } else {
        m_view->showListSetup();
        m_tray->setMenuAttached(false);
        m_tray->setActive(false);
        // Whatever the auto-save choice, captures are written before editing
        // starts: Cancel goes back to the file, and must not take them with it.
        if (m_collection.captureModified() && m_dataUsable)
            m_dataFiles.saveData();
        saveSettings();
        m_hotkeys->setActive(false);
        m_view->collapseTree();
    }
    refreshCurrentItems();
}

bool Scrapkeeper::hidesWhenMinimised() const
{
    // Where a window cannot be minimised it would stay on the screen, so it
    // leaves it; the tray's item and `scrapkeeper show` bring it back. Else,
    // without a tray icon, the iconified window is the only way back in.
    if (!m_desktop.canMinimiseWindows())
        return true;
    return m_options.flag(Option::HideFromTaskbar) && m_tray->isVisible();
}

void Scrapkeeper::hideWhileMinimised()
{
    if (m_minimised && hidesWhenMinimised())
        m_view->hideAway();
}

void Scrapkeeper::windowStateChanged(bool minimised)
{
    // Minimised under a dialog of ours (a window manager iconifies a dialog's
    // owner with it), the window must not go to the tray: the dialog's loop
    // still runs, and would block the list and the tray out of sight. It
    // comes back with the dialog over it.
    if (minimised && !m_minimised && ModalGate::modalUp()) {
        QTimer::singleShot(0, this, [this] {
            if (!m_minimised)
                m_view->showInFront();
            bringDialogForward();
        });
        return;
    }
    // The window manager's own minimise and restore take the same paths as ours.
    if (minimised && !m_minimised) {
        m_minimised = true;
        onMinimisedOrRestored(true);
    } else if (!minimised && m_minimised) {
        showOptionsOnPages();
        m_minimised = false;
        onMinimisedOrRestored(false);
        checkExampleDataFile();
    }
}

void Scrapkeeper::applyTrayVisibility()
{
    m_tray->setVisible(m_options.flag(Option::MinimiseToTray) && m_desktop.trayAvailable());
    // Without the icon, the window's picture opens the same menu.
    m_view->showMenuPicture(m_tray->isVisible() ? nullptr : m_tray->menu(), m_tray->picture());
}

// ---- example data file, example page and help ------------------------------------

bool Scrapkeeper::isExampleDataFileCurrent() const
{
    return cleanPath(m_dataFiles.currentFile()) == cleanPath(m_dataFiles.exampleDataFile());
}

bool Scrapkeeper::checkExampleDataFile()
{
    if (!isExampleDataFileCurrent())
        return false;
    const auto answer = m_messages.show(MessageBoxService::Icon::Question, QStringLiteral("Confirmation"),
                                        kExampleLoaded, MessageBoxService::Yes | MessageBoxService::No);
    if (answer != MessageBoxService::Yes) {
        showNewListHint();
        return true;
    }
    // Asked from the tray while the window is open, the switch must not drop its edits without a word.
    if (!m_groupLists.okToContinue())
        return true;
    QString start = m_dataFiles.defaultDataFile();
    const QString previous = m_options.text(Option::PreviousDataFile);
    if (!previous.isEmpty() && QFileInfo(previous).isFile()) {
        start = previous;
        m_messages.information(kPreviousLocated);
    }
    const QString chosen =
        m_fileDialogs.openFile(m_view->dialogParent(), QStringLiteral("Open Data File"), start, kDataFileFilter);
    if (chosen.isEmpty()) {
        showNewListHint();
        return true;
    }
    m_groupLists.open(chosen);
    return true;
}

void Scrapkeeper::showNewListHint()
{
    m_messages.information(kNewListHint);
}

void Scrapkeeper::openExamplePage()
{
    if (!m_firstRun)
        m_messages.information(kNotFirstTime);
    // Without a browser the page is shown in the program's own window; only
    // when even that cannot read it is the user sent to the file by hand.
    const QPointer<Scrapkeeper> self(this);
    m_desktop.openDocumentOr(QUrl::fromLocalFile(m_paths.examplePage()), [self] {
        if (!self || self->showPageHere(self->m_paths.examplePage(), QString()))
            return;
        self->m_messages.show(MessageBoxService::Icon::Error, kApplicationTitle, kExampleLaunchFailed,
                              MessageBoxService::Ok);
        self->m_desktop.openDocument(QUrl::fromLocalFile(self->m_paths.sharedFolder));
        self->m_messages.show(MessageBoxService::Icon::Information, kApplicationTitle, kExampleByHand,
                              MessageBoxService::Ok);
    });
}

void Scrapkeeper::explanationRequested(const QString &text)
{
    m_messages.show(MessageBoxService::Icon::None, kApplicationTitle, text, MessageBoxService::Ok);
}

void Scrapkeeper::openHelp(const QString &topic)
{
    const QPointer<Scrapkeeper> self(this);
    m_desktop.openDocumentOr(HelpAddress::forTopic(m_paths.helpPage(), topic, m_paths.helpLinkFolder), [self, topic] {
        if (self && !self->showPageHere(self->m_paths.helpPage(), topic))
            self->m_messages.error(
                QStringLiteral("The help cannot be shown: no web browser could be started, and the help file "
                               "\"%1\" cannot be read.")
                    .arg(QDir::toNativeSeparators(self->m_paths.helpPage())));
    });
}

HelpWindow *Scrapkeeper::helpWindow() const
{
    return m_helpWindow;
}

bool Scrapkeeper::showPageHere(const QString &page, const QString &topic)
{
    // A window of the modal dialog that asked for help, if one is up, so the
    // dialog's modality leaves it usable; it goes when the dialog goes.
    QWidget *owner = QApplication::activeModalWidget();
    if (m_helpWindow && m_helpWindow->parentWidget() != owner)
        delete m_helpWindow;
    if (!m_helpWindow)
        m_helpWindow = new HelpWindow(m_paths.sharedFolder, owner);
    if (!m_helpWindow->showPage(page, topic))
        return false;
    m_helpWindow->show();
    m_helpWindow->raise();
    m_helpWindow->activateWindow();
    return true;
}

// ---- settings ----------------------------------------------------------------------

SettingsContext Scrapkeeper::settingsContext() const
{
    return {m_collection.categoryCount(), Tips::count()};
}

void Scrapkeeper::loadSettings()
{
    const bool firstRun = m_settings.load(m_options, settingsContext(), [this] { applyCategoryIndex(); });
    m_settingsLoaded = true;
    m_tray->menu()->applyLook();
    if (firstRun) {
        m_firstRun = true;
        applyCategoryIndex();
    } else {
        restartAutoSaveTimer();
    }
    // Said once: the load put the defaults into the file in their place.
    if (!m_settings.unreadableValues().isEmpty())
        m_messages.error(kSettingsUnreadable.arg(m_settings.unreadableValues().join(QStringLiteral(", ")),
                                                 m_settings.iniPath()));
}

void Scrapkeeper::saveSettings()
{
    if (!m_settingsLoaded)
        return;
    {
        const QSignalBlocker block(&m_options);
        m_options.set(Option::CurrentCategory, m_view->categoryIndex());
    }
    m_settings.save(m_options, settingsContext(), m_dataFiles.currentFile());
}

bool Scrapkeeper::readBackupSetting()
{
    const bool backup = m_settings.readBackupSetting();
    const QSignalBlocker block(&m_options);
    m_options.set(Option::BackupAfterLoad, backup);
    return backup;
}

// ---- categories ----------------------------------------------------------------------

void Scrapkeeper::applyCategoryIndex()
{
    m_view->setCategoryIndex(m_options.number(Option::CurrentCategory));
    applyCategoryChoice();
}

void Scrapkeeper::refreshCategoryCombo()
{
    int selected = 0;
    if (const CategoryNode *category = m_view->categoryInTree())
        selected = std::max(0, m_collection.indexOf(category));
    QStringList names;
    for (const auto &category : m_collection.categories())
        names << category->name;
    m_view->showCategoryNames(names, m_collection.categoryCount() > 0 ? selected : -1);
    m_tray->menu()->categoryMenu()->showCategories(names);
    m_monitor.refreshDestinationLists(m_categoryNames);
    m_categoryNames = names;
}

void Scrapkeeper::categoryPicked(int index)
{
    const QSignalBlocker block(&m_options);
    m_options.set(Option::CurrentCategory, index);
    applyCategoryChoice();
    refreshCurrentItems();
    showTrayCategory();
}

void Scrapkeeper::categoryChosenInTree(int index)
{
    {
        const QSignalBlocker block(&m_options);
        m_options.set(Option::CurrentCategory, index);
    }
    // The tree keeps its selection: only the current category follows it.
    m_collection.setCurrentCategory(m_collection.findCategory(m_view->categoryName()));
    refreshCurrentItems();
    showTrayCategory();
}

void Scrapkeeper::categoriesEdited()
{
    refreshCategoryCombo();
    m_collection.setCurrentCategory(m_collection.findCategory(m_view->categoryName()));
    refreshCurrentItems();
    // The tray's list names the category that is current, not merely the first.
    showTrayCategory();
}

QString Scrapkeeper::currentCategoryName() const
{
    return m_view->categoryName();
}

void Scrapkeeper::playCaptureSound()
{
    CaptureSound::fromOptions(m_options).play(m_desktop);
}

void Scrapkeeper::bindTrayToOptions()
{
    // The tray entries and the options mirror each other both ways.
    TrayMenu *menu = m_tray->menu();
    const auto bind = [this](QAction *action, Option option) {
        action->setChecked(m_options.flag(option));
        connect(action, &QAction::toggled, this, [this, option](bool on) { m_options.set(option, on); });
        connect(&m_options, &Options::changed, action, [action, option](Option changed, const QVariant &value) {
            if (changed == option)
                action->setChecked(value.toBool());
        });
    };
    bind(menu->quickListAction(), Option::QuickListActive);
    bind(menu->autoTextAction(), Option::CaptureText);
    bind(menu->autoImagesAction(), Option::CaptureImages);

    const auto showGlobalPaste = [this, menu] {
        menu->globalPasteMenu()->setEnabled(m_options.flag(Option::QuickListActive));
        menu->showGlobalPasteChoice(GlobalPasteChoice::current(m_options));
    };
    showGlobalPaste();
    connect(&m_options, &Options::changed, menu, [showGlobalPaste](Option changed) {
        if (changed == Option::QuickListActive || changed == Option::GlobalPaste
            || changed == Option::GlobalPasteMethod)
            showGlobalPaste();
    });
    connect(menu, &TrayMenu::globalPasteChosen, this,
            [this](int choice) { GlobalPasteChoice::choose(m_options, choice); });
}

void Scrapkeeper::connectTrayMenu()
{
    TrayMenu *menu = m_tray->menu();
    // Each entry waits for a dialog of ours that is up; Exit does not, as it
    // ends every dialog's loop with the program's.
    const auto forward = [this, menu](auto signal, const QString &key, auto handler) {
        connect(menu, signal, this, [this, menu, key, handler] {
            m_gate.run(key, [menu, handler] { ErrorHandler::guard(menu, handler); });
        });
    };
    forward(&TrayMenu::configurationRequested, QStringLiteral("configuration"), [this] { showConfiguration(); });
    connect(menu, &TrayMenu::exitRequested, this, [this, menu] { ErrorHandler::guard(menu, [this] { quit(); }); });
    forward(&TrayMenu::helpTopicsRequested, QStringLiteral("help"), [this] { openHelp(QStringLiteral("Introduction")); });
    forward(&TrayMenu::examplePageRequested, QStringLiteral("example page"), [this] { openExamplePage(); });
    forward(&TrayMenu::aboutRequested, QStringLiteral("about"), [this] { showAbout(); });
    forward(&TrayMenu::tipOfTheDayRequested, QStringLiteral("tip"), [this] { showTipFromTray(); });
    forward(&TrayMenu::checkForUpdatesRequested, QStringLiteral("updates"), [this] { m_versionCheck.open(); });
    // The check window hides the application's window with it, and once more
    // shortly after it is gone.
    connect(&m_versionCheck, &NewVersionCheck::windowHidden, this,
            [this] { ErrorHandler::guard(&m_versionCheck, [this] { hideWhileMinimised(); }); });
    connect(&m_versionCheck, &NewVersionCheck::windowClosed, this, [this] { m_hideAgainTimer.start(); });
    // The same path as the pop-up list's category menu, so an open list re-lists.
    connect(menu->categoryMenu(), &CategoryMenu::categoryChosen, this, [this, menu](int index) {
        m_gate.run(QStringLiteral("category %1").arg(index),
                   [this, menu, index] { ErrorHandler::guard(menu, [this, index] { m_popups->chooseCategory(index); }); });
    });
}

void Scrapkeeper::showTrayCategory()
{
    m_tray->menu()->categoryMenu()->checkCategory(m_view->categoryIndex());
}

void Scrapkeeper::showAbout()
{
    // One about box: asking again brings it forward.
    if (!m_about) {
        m_about = new AboutDialog;
        connect(m_about, &AboutDialog::homePageRequested, this, [this](const QUrl &url) {
            if (!m_desktop.openDocument(url))
                m_messages.error(QStringLiteral("Error launching default browser"));
        });
    }
    m_about->show();
    m_about->raise();
    m_about->activateWindow();
}

void Scrapkeeper::bringDialogForward()
{
    if (QWidget *dialog = QApplication::activeModalWidget()) {
        if (dialog->isMinimized())
            dialog->showNormal();
        dialog->raise();
        dialog->activateWindow();
    }
}

void Scrapkeeper::applyCategoryChoice()
{
    CategoryNode *category = m_collection.findCategory(m_view->categoryName());
    m_collection.setCurrentCategory(category);
    const CategoryNode *shown = category ? category : m_collection.category(0);
    if (shown)
        m_view->showCategory(shown);
}

void Scrapkeeper::refreshCurrentItems()
{
    m_collection.refreshCurrentItems();
}

// ---- what loading and saving show ---------------------------------------------------------

void Scrapkeeper::showProgress(int percent)
{
    m_view->showProgress(percent);
}

void Scrapkeeper::hideProgress()
{
    m_view->hideProgress();
}

void Scrapkeeper::processEvents()
{
    // The collection is half loaded or saved: what the tray asks meanwhile waits.
    const ModalSession busy;
    const QScopedValueRollback busyWithFile(m_busyWithFile, true);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void Scrapkeeper::refreshCaption()
{
    m_view->showDataFile(m_dataFiles.currentFile());
}

void Scrapkeeper::selectFirstNode()
{
    m_view->selectFirstNode();
}

void Scrapkeeper::moveOutOfSight()
{
    hideWhileMinimised();
}

// ---- group lists ---------------------------------------------------------------------------

QWidget *Scrapkeeper::dialogParent()
{
    return m_view->dialogParent();
}

void Scrapkeeper::saveCollection()
{
    // The file that could not be read is not replaced by what is left in
    // memory; saying so stops the command that asked, so nothing is lost.
    if (!m_dataUsable)
        throw ProgramError(QStringLiteral("\"%1\" could not be read, so it is not overwritten.  Save the group list "
                                          "under another name to keep your changes.")
                               .arg(m_dataFiles.currentFile()));
    m_dataFiles.saveData();
    // The file holds the copies now: a cancel reloading it has them.
    m_capturesWhileShown.forget();
}

void Scrapkeeper::currentFileChanged(bool contentReplaced)
{
    // The file now current was read or written: it may be written again.
    m_dataUsable = true;
    // Copies made so far were saved with it or given up with the list before.
    m_capturesWhileShown.forget();
    if (!contentReplaced)
        return;
    refreshCategoryCombo();
    // Captures go to the current category of the list now shown.
    applyCategoryChoice();
    refreshCurrentItems();
    showTrayCategory();
}

// ---- the pop-up hotkey ----------------------------------------------------------------------

void Scrapkeeper::applyQuickListActive()
{
    const bool active = m_options.flag(Option::QuickListActive);
    m_hotkeys->setActive(active);
    if (m_minimised)
        m_tray->setActive(active);
}

void Scrapkeeper::chooseCategory(int index)
{
    m_view->setCategoryIndex(index);
    applyCategoryChoice();
    refreshCurrentItems();
    showTrayCategory();
}

bool Scrapkeeper::editItem(Item &item)
{
    if (item.kind == ItemKind::Image)
        return viewImage(item);
    if (ItemEditor::reportTooLarge(item, m_messages))
        return false;
    // Over the always-on-top list, so the editor must stay on top as well.
    ItemEditor editor(ItemEditor::Mode::EditFromList, m_messages, m_fileDialogs);
    editor.setWindowFlag(Qt::WindowStaysOnTopHint);
    editor.setClipboardGuard([this] { m_monitor.armed = false; });
    connect(&editor, &ItemEditor::helpRequested, this, &Scrapkeeper::openHelp);
    editor.setFields(item);
    if (editor.exec() != QDialog::Accepted)
        return false;
    editor.writeFields(item);
    return true;
}

bool Scrapkeeper::viewImage(Item &item)
{
    if (ImageViewer::reportUnviewable(item, m_messages))
        return false;
    // Over the always-on-top list, so the viewer stays on top as well.
    ImageViewer viewer(item, m_clipboard, m_fileDialogs);
    viewer.setClipboardGuard([this] { m_monitor.armed = false; });
    connect(&viewer, &ImageViewer::helpRequested, this, &Scrapkeeper::openHelp);
    viewer.exec();
    return viewer.saved();
}

void Scrapkeeper::listClosed()
{
    m_hideAgainTimer.start();
}
