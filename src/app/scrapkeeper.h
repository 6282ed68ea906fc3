#pragma once

#include "app/apppaths.h"
#include "app/grouplists.h"
#include "app/modalgate.h"
#include "auxiliary/newversioncheck.h"

#include "capture/capturereplay.h"
#include "capture/clipboardmonitor.h"
#include "capture/itemclipboard.h"
#include "config/configview.h"
#include "config/tree/treeeditor.h"
#include "platform/desktop.h"
#include "popup/popupcontroller.h"
#include "settings/options.h"
#include "settings/settingsstore.h"
#include "store/collection.h"
#include "store/datafilemanager.h"
#include "store/recentfiles.h"

#include <QObject>
#include <QPointer>
#include <QSet>
#include <QTimer>

#include <array>
#include <functional>
#include <memory>
#include <optional>

class AboutDialog;
class HelpWindow;
class Clipboard;
class FileDialogs;
class GlobalHotkeys;
class InstanceLock;
class KeyGrabber;
class MessageBoxService;
class TrayIcon;
class TreeDialogs;

// What the program is given to reach the user and the desktop.
struct AppServices
{
    MessageBoxService &messages;
    FileDialogs &fileDialogs;
    Desktop &desktop;
    Clipboard &clipboard;
    KeyGrabber &keyGrabber;
    TreeDialogs &treeDialogs;
    AppPaths paths;
};

// The program itself: it owns the collection, the options, the settings and
// data files, the clipboard monitor, the tray icon and the hotkey's cycle, and
// carries the program's life from start to exit. Most of that life its
// configuration window is out of sight ("in the tray"); the window only shows
// and forwards what the user asks for.
class Scrapkeeper : public QObject,
                    public DataFileHost,
                    public CaptureHost,
                    public PopupHost,
                    public ConfigViewHandler,
                    public GroupListHost
{
    Q_OBJECT
public:
    explicit Scrapkeeper(AppServices services, QObject *parent = nullptr);
    ~Scrapkeeper() override;

    // The window, which is built over this program's collection.
    void attachView(ConfigView &view) { m_view = &view; }

    // The tip of the day's window: shown on the tip at `index`, it answers
    // the tip last seen and the choice of tips at start-up.
    struct TipChoice
    {
        int index = 0;
        bool showOnStart = true;
    };
    using TipShower = std::function<TipChoice(int index, bool showOnStart)>;
    void setTipShower(TipShower shower) { m_showTip = std::move(shower); }
    void showTipOfTheDay();
    void showTipFromTray();

    void initialise();
    void startUp();  // the welcome on a first run, otherwise straight to the tray
    void shutDown();
    // What leaving saves, and nothing that needs the display: for when the
    // display has gone and the process is about to end.
    void saveBeforeLeaving();

    void acceptChanges();
    void discardChanges(bool keepWindowOpen = false);
    void quit();
    bool checkExampleDataFile();
    void openExamplePage();
    void hideWhileMinimised();
    bool hidesWhenMinimised() const;
    void openHelp(const QString &topic);
    // The help window that shows a page when the desktop has no browser for
    // it; null until then.
    HelpWindow *helpWindow() const;
    void restoreApplication();

    bool isMinimisedState() const { return m_minimised; }
    bool firstRun() const { return m_firstRun; }
    // The user asked to leave (tray, signal), maybe before the event loop runs.
    bool exitRequested() const { return m_exitRequested; }

    Collection &collection() { return m_collection; }
    TreeEditor &treeEditor() { return m_treeEditor; }
    Options &options() { return m_options; }
    DataFileManager &dataFiles() { return m_dataFiles; }
    RecentFiles &recentFiles() { return m_recent; }
    GroupLists &groupLists() { return m_groupLists; }
    TrayIcon &trayIcon() { return *m_tray; }
    ClipboardMonitor &clipboardMonitor() { return m_monitor; }
    ItemClipboard &itemClipboard() { return m_itemClipboard; }
    NewVersionCheck &versionCheck() { return m_versionCheck; }

    void applyCategoryChoice();
    void refreshCurrentItems();

    // What the tray's "Configuration" entry does: the window opens now, or
    // once the dialog of ours that is up has closed (which comes forward
    // meanwhile); false when it waits.
    bool requestConfiguration();
    // A press of the pop-up hotkey: the list opens under the caret of the
    // window in front, unless a dialog of ours is up (it comes forward).
    void onHotkeyPressed(int index);
    // A data file is being read or written at this moment.
    bool busyWithFile() const { return m_busyWithFile; }

    // The pop-up hotkey's cycle.
    PopupController &popups() { return *m_popups; }
    GlobalHotkeys &hotkeys() { return *m_hotkeys; }
    PopupList *popup() const { return m_popups->popup(); }
    const ForeignFocus &pasteTarget() const { return m_popups->pasteTarget(); }

    // Periodic saving while the program is in the tray.
    void restartAutoSaveTimer();
    void autoSave();
    const QTimer &autoSaveTimer() const { return m_autoSaveTimer; }

    // DataFileHost
    void showProgress(int percent) override;
    void hideProgress() override;
    void processEvents() override;
    void refreshCaption() override;
    void refreshCategoryCombo() override;
    void selectFirstNode() override;
    void moveOutOfSight() override;
    bool readBackupSetting() override;
    bool sharedWithAnotherProgram(const QString &dataFile) override;
    void collectionMerged() override;

    // CaptureHost
    QString currentCategoryName() const override;
    bool applicationMinimised() const override { return m_minimised; }
    void playCaptureSound() override;

    // PopupHost
    void minimiseApplication() override;
    void showConfiguration() override;
    void chooseCategory(int index) override;
    void listClosed() override;
    bool editItem(Item &item) override;
    bool viewImage(Item &item);

    // ConfigViewHandler
    void acceptRequested() override { acceptChanges(); }
    void discardRequested(bool keepWindowOpen) override { discardChanges(keepWindowOpen); }
    bool closeRequested() override;
    void helpRequested(const QString &topic) override { openHelp(topic); }
    void explanationRequested(const QString &text) override;
    void categoryPicked(int index) override;
    void categoryChosenInTree(int index) override;
    void windowStateChanged(bool minimised) override;
    void newGroupListRequested() override { m_groupLists.createNew(); }
    void openGroupListRequested() override { m_groupLists.openChosen(); }
    void recentGroupListChosen(int index) override { m_groupLists.openRecent(index); }
    void clearRecentGroupListsRequested() override { m_groupLists.clearRecent(); }
    void saveGroupListRequested() override { m_groupLists.saveAs(); }
    QStringList recentGroupLists() const override { return m_recent.paths(); }

    // GroupListHost
    QWidget *dialogParent() override;
    void saveCollection() override;
    void currentFileChanged(bool contentReplaced) override;

private:
    // Shows a page of the help or the example page in the program's own
    // window; false when the page cannot be read.
    bool showPageHere(const QString &page, const QString &topic);
    void onMinimisedOrRestored(bool minimised);
    void showConfigWindow();
    void showOptionsOnPages();
    void applyPages();
    SettingsContext settingsContext() const;
    void loadSettings();
    void saveSettings();
    void applyCategoryIndex();
    void categoriesEdited();
    void applyTrayVisibility();
    void bindTrayToOptions();
    void connectTrayMenu();
    void showTrayCategory();
    void showAbout();
    void bringDialogForward();
    void applyQuickListActive();
    void showNewListHint();
    bool isExampleDataFileCurrent() const;
    void putBackCaptures();
    // Ctrl, Shift, Alt, Win and the key's index, as the options hold them.
    using HotkeyChoice = std::array<int, 5>;
    HotkeyChoice hotkeyChoice() const;
    void registerOrKeepWorkingHotkey();

    MessageBoxService &m_messages;
    FileDialogs &m_fileDialogs;
    Desktop &m_desktop;
    Clipboard &m_clipboard;
    AppPaths m_paths;
    ConfigView *m_view = nullptr;

    Collection m_collection;
    RecentFiles m_recent;
    Options m_options;
    SettingsStore m_settings;
    DataFileManager m_dataFiles;
    ClipboardMonitor m_monitor;
    CaptureReplay m_capturesWhileShown;  // put back when the window's edits are cancelled
    TreeEditor m_treeEditor;
    GroupLists m_groupLists;
    ItemClipboard m_itemClipboard;
    QStringList m_categoryNames;  // as the category lists last showed them
    PopupController *m_popups = nullptr;
    GlobalHotkeys *m_hotkeys = nullptr;
    TrayIcon *m_tray = nullptr;
    QTimer m_hideAgainTimer;
    QTimer m_autoSaveTimer;
    NewVersionCheck m_versionCheck;
    ModalGate m_gate;

    bool m_firstRun = false;
    bool m_minimised = false;
    // The option pages show this session's options and the user's edits of them.
    bool m_pagesCurrent = false;
    bool m_applyingPages = false;
    // A data file that could not be read at all must not be overwritten by
    // the empty collection left behind.
    bool m_dataUsable = false;
    bool m_settingsLoaded = false;  // settings never loaded are never written back
    bool m_exitRequested = false;
    bool m_busyWithFile = false;
    // The lock beside the data file in use, which tells a second running
    // program on the same file; the files it was found taken on, said once each.
    std::unique_ptr<InstanceLock> m_dataFileLock;
    QString m_dataFileLockPath;
    bool m_dataFileLockHeld = false;
    QSet<QString> m_toldShared;
    std::optional<HotkeyChoice> m_workingHotkey;
    TipShower m_showTip;
    QPointer<AboutDialog> m_about;  // the last hotkey the desktop let us have
    QPointer<HelpWindow> m_helpWindow;
};
