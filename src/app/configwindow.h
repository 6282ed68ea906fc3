#pragma once

#include "app/apppaths.h"

#include "capture/clipboardmonitor.h"
#include "popup/popupcontroller.h"
#include "platform/desktop.h"
#include "settings/options.h"
#include "settings/settingsstore.h"
#include "store/collection.h"
#include "store/datafilemanager.h"
#include "store/recentfiles.h"

#include <QMainWindow>
#include <QTimer>

#include <memory>
#include <vector>

class CollectionTreeModel;
class ConfigPage;
class ListSetupPage;
class Clipboard;
class KeyGrabber;
class PasteEngine;
class PopupList;
class GlobalHotkeys;
class Desktop;
class FileDialogs;
class MessageBoxService;
class QComboBox;
class RichEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QToolButton;
class QTreeView;
class TrayIcon;

// What the configuration window is given to reach the user and the desktop.
struct ConfigServices
{
    MessageBoxService &messages;
    FileDialogs &fileDialogs;
    Desktop &desktop;
    Clipboard &clipboard;
    KeyGrabber &keyGrabber;
    AppPaths paths;
};

// The main object of the program: the configuration window, which lives from
// start to exit and owns the collection, the options and the tray icon. Most
// of its life it is out of sight ("in the tray").
class ConfigWindow : public QMainWindow, public DataFileHost, public CaptureHost, public PopupHost
{
    Q_OBJECT
public:
    explicit ConfigWindow(ConfigServices services, QWidget *parent = nullptr);
    ~ConfigWindow() override;

    void initialise();
    void startUp();  // the welcome on a first run, otherwise straight to the tray
    void shutDown();

    void acceptChanges();
    void discardChanges(bool keepWindowOpen = false);
    void quit();
    bool checkExampleDataFile();
    void openExamplePage();
    void hideWhileMinimised();
    void openHelp(const QString &topic);

    void restoreApplication();
    bool isMinimisedState() const { return m_minimised; }
    bool firstRun() const { return m_firstRun; }
    // The user asked to leave (tray, signal), maybe before the event loop runs.
    bool exitRequested() const { return m_exitRequested; }

    Collection &collection() { return m_collection; }
    Options &options() { return m_options; }
    DataFileManager &dataFiles() { return m_dataFiles; }
    RecentFiles &recentFiles() { return m_recent; }
    TrayIcon &trayIcon() { return *m_tray; }
    QTreeView *tree() const { return m_tree; }
    QComboBox *categoryCombo() const { return m_categoryCombo; }

    void applyCategoryChoice();
    void refreshCurrentItems();

    // The hidden scratch control capture and paste load rich text into.
    RichEdit *memo() const { return m_memo; }
    void setAliasFromMemo(QString &alias) const;

    // DataFileHost
    void showProgress(int percent) override;
    void hideProgress() override;
    void processEvents() override;
    void refreshCaption() override;
    void refreshCategoryCombo() override;
    void selectFirstNode() override;
    void moveOutOfSight() override;
    bool readBackupSetting() override;

    // CaptureHost
    QString currentCategoryName() const override;
    void playCaptureSound() override;

    ClipboardMonitor &clipboardMonitor() { return m_monitor; }

    // The pop-up hotkey's cycle.
    PopupController &popups() { return *m_popups; }
    GlobalHotkeys &hotkeys() { return *m_hotkeys; }
    PopupList *popup() const { return m_popups->popup(); }
    const ForeignFocus &pasteTarget() const { return m_popups->pasteTarget(); }

    // PopupHost
    bool applicationMinimised() const override { return m_minimised; }
    void minimiseApplication() override;
    void showConfiguration() override;
    void chooseCategory(int index) override;
    void listClosed() override;


    // Periodic saving while the program is in the tray.
    void restartAutoSaveTimer();
    void autoSave();
    const QTimer &autoSaveTimer() const { return m_autoSaveTimer; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void buildUi();
    template<typename Page>
    Page *addPage(std::unique_ptr<Page> page);
    ConfigPage &currentPage() const;
    void onMinimisedOrRestored(bool minimised);
    void showConfigWindow();
    SettingsContext settingsContext() const;
    void loadSettings();
    void saveSettings();
    void applyCategoryIndex();
    void applyTrayVisibility();
    void bindTrayToOptions();
    void applyQuickListActive();
    void showNewListHint();
    bool isExampleDataFileCurrent() const;

    MessageBoxService &m_messages;
    FileDialogs &m_fileDialogs;
    Desktop &m_desktop;
    AppPaths m_paths;

    Collection m_collection;
    RecentFiles m_recent;
    Options m_options;
    SettingsStore m_settings;
    DataFileManager m_dataFiles;
    ClipboardMonitor m_monitor;
    QStringList m_categoryNames;  // as the category lists last showed them
    PopupController *m_popups = nullptr;
    GlobalHotkeys *m_hotkeys = nullptr;

    TrayIcon *m_tray = nullptr;
    CollectionTreeModel *m_treeModel = nullptr;
    QComboBox *m_categoryCombo = nullptr;
    QTabWidget *m_pages = nullptr;
    std::vector<std::unique_ptr<ConfigPage>> m_pageObjects;
    ListSetupPage *m_listSetup = nullptr;
    QWidget *m_listSetupTab = nullptr;
    QTreeView *m_tree = nullptr;
    RichEdit *m_memo = nullptr;
    QWidget *m_progressPanel = nullptr;
    QProgressBar *m_progress = nullptr;
    QTimer m_hideAgainTimer;
    QTimer m_autoSaveTimer;

    bool m_firstRun = false;
    bool m_minimised = false;
    bool m_centred = false;
    // A data file that could not be read at all must not be overwritten by
    // the empty collection left behind.
    bool m_dataUsable = false;
    bool m_settingsLoaded = false;  // settings never loaded are never written back
    bool m_exitRequested = false;
};
