#pragma once

#include "config/pages/configpage.h"
#include "config/tree/treenode.h"

#include <QList>
#include <QObject>
#include <QStringList>

class Collection;
class CollectionTreeModel;
class CollectionTreeView;
class FindDialog;
class NodeDetailsPanel;
class QAction;
class QMenu;
class QToolButton;
class TreeEditor;

// "List Setup": the collection as a tree of categories and items, the
// toolbar of commands on it, and the details of the selected node. Its
// edits go to the collection itself, so it has no options to load or apply.
class ListSetupPage : public QObject, public ConfigPage
{
    Q_OBJECT
public:
    ListSetupPage(Collection &collection, TreeEditor &editor, QWidget *parent);

    QString title() const override;
    QString helpTopic() const override;
    QWidget *widget() override { return m_page; }
    void load(const Options &) override {}
    void apply(Options &) override {}

    // The tab names the data file the tree shows.
    void setDataFileName(const QString &fileName) { m_fileName = fileName; }
    CollectionTreeView *tree() const { return m_tree; }
    CollectionTreeModel *model() const { return m_model; }
    QMenu *addMenu() const { return m_addMenu; }
    QMenu *groupListMenu() const { return m_groupListMenu; }
    // Fills the group-list menu's recent entries, newest first.
    void showRecentGroupLists(const QStringList &paths);
    FindDialog *findDialog() const { return m_find; }

    // The commands of the toolbar, as its buttons run them.
    void editSelected();
    void deleteSelected(bool keepCategory);
    void showFindDialog();
    void findNext();

signals:
    // The selection moved: its category, when it names one, is the current category.
    void categorySelected(const CategoryNode *category);
    void restoreRequested();
    void newGroupListRequested();
    void openGroupListRequested();
    void recentGroupListChosen(int index);
    void clearRecentGroupListsRequested();
    void saveGroupListRequested();
    // The group-list menu is about to drop down: its recent entries are due.
    void recentGroupListsWanted();

private:
    void buildToolbar(QWidget *bar);
    void buildGroupListMenu(QToolButton *button);
    QToolButton *addButton(QWidget *bar, const char *name, const QString &hint, const QIcon &icon);
    void nodeSelected(TreeNode node);
    void showDetails(TreeNode node);
    void prepareAddMenu();

    Collection &m_collection;
    TreeEditor &m_editor;
    QWidget *m_page = nullptr;
    CollectionTreeView *m_tree = nullptr;
    CollectionTreeModel *m_model = nullptr;
    NodeDetailsPanel *m_details = nullptr;
    QToolButton *m_print = nullptr;
    QToolButton *m_keepCategory = nullptr;
    QMenu *m_addMenu = nullptr;
    QAction *m_addItem = nullptr;
    QMenu *m_groupListMenu = nullptr;
    QList<QAction *> m_recentEntries;
    FindDialog *m_find = nullptr;
    QString m_fileName;
};
