#pragma once

#include "config/configview.h"

#include <QMainWindow>

#include <memory>
#include <vector>

class Collection;
class CollectionTreeModel;
class ClipboardPage;
class CollectionTreeView;
class ConfigPage;
class Desktop;
class FileDialogs;
class ListSetupPage;
class MenuPicture;
class PageIconColumn;
class PopupListPage;
class QComboBox;
class QProgressBar;
class QStackedWidget;
class QTabWidget;
class RichEdit;
class TreeEditor;

// The configuration window: the category choice, the pages, the buttons and
// the progress bar. It shows what the program tells it and forwards what the
// user asks for; the program decides.
class ConfigWindow : public QMainWindow, public ConfigView
{
    Q_OBJECT
public:
    // The desktop and the file choosers serve the pages (the capture sound's test and file).
    ConfigWindow(Collection &collection, TreeEditor &treeEditor, ConfigViewHandler &handler, Desktop &desktop,
                 FileDialogs &fileDialogs, QWidget *parent = nullptr);
    ~ConfigWindow() override;

    CollectionTreeView *tree() const { return m_tree; }
    ListSetupPage *listSetupPage() const { return m_listSetup; }
    PageIconColumn *pageIcons() const { return m_icons; }
    // The page showing, as its position in the icon column.
    int currentPageIndex() const;
    PopupListPage *popupListPage() const { return m_popupList; }
    ClipboardPage *clipboardPage() const { return m_clipboard; }
    QComboBox *categoryCombo() const { return m_categoryCombo; }

    // The hidden scratch control capture and paste load rich text into.
    RichEdit *memo() const { return m_memo; }
    void setAliasFromMemo(QString &alias) const;

    // ConfigView
    void showInFront() override;
    void hideAway() override;
    void iconify() override;
    void showProgress(int percent) override;
    void hideProgress() override;
    void showDataFile(const QString &path) override;
    void showCategoryNames(const QStringList &names, int selected) override;
    int categoryIndex() const override;
    QString categoryName() const override;
    void setCategoryIndex(int index) override;
    void showCategory(const CategoryNode *category) override;
    const CategoryNode *categoryInTree() const override;
    void selectFirstNode() override;
    void showListSetup() override;
    void collapseTree() override;
    void setTreeUpdatesEnabled(bool enabled) override;
    void loadOptions(const Options &options) override;
    void applyOptions(Options &options) override;
    void showOption(const Options &options, Option option) override;
    QWidget *dialogParent() override;
    void showMenuPicture(QMenu *menu, const QIcon &picture) override;

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void buildUi(TreeEditor &treeEditor, Desktop &desktop, FileDialogs &fileDialogs);
    void followTreeSelection(const CategoryNode *category);
    template<typename Page>
    Page *addPage(std::unique_ptr<Page> page);
    ConfigPage &currentPage() const;
    void openPage(int index);

    Collection &m_collection;
    ConfigViewHandler *m_handler;
    QComboBox *m_categoryCombo = nullptr;
    PageIconColumn *m_icons = nullptr;
    QStackedWidget *m_pages = nullptr;
    QTabWidget *m_listSetupTabs = nullptr;
    std::vector<std::unique_ptr<ConfigPage>> m_pageObjects;
    ListSetupPage *m_listSetup = nullptr;
    PopupListPage *m_popupList = nullptr;
    ClipboardPage *m_clipboard = nullptr;
    QWidget *m_listSetupTab = nullptr;
    CollectionTreeView *m_tree = nullptr;
    CollectionTreeModel *m_treeModel = nullptr;
    RichEdit *m_memo = nullptr;
    MenuPicture *m_menuPicture = nullptr;
    QWidget *m_progressPanel = nullptr;
    QProgressBar *m_progress = nullptr;
    bool m_centred = false;
};
