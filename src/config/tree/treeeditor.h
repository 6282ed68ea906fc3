#pragma once

#include "config/tree/treenode.h"

#include <QObject>
#include <QString>
#include <QStringList>

class Collection;
class MessageBoxService;
class Options;
class TreeDialogs;

// The rules of editing the collection as a tree: adding, editing, deleting,
// moving and finding nodes. Every edit marks the collection as edited, so
// Cancel can bring the saved state back. Knows no widgets: the page shows
// the tree and forwards the user's commands here.
class TreeEditor : public QObject
{
    Q_OBJECT
public:
    TreeEditor(Collection &collection, const Options &options, MessageBoxService &messages, TreeDialogs &dialogs,
               QObject *parent = nullptr);

    // "Add New Category...": forced when the user must create one (no cancel).
    CategoryNode *addCategory(bool forced = false);
    void addTextItem();
    // "Quick Add...": the checked rows become the current category's newest
    // items, row 1 topmost.
    void quickAdd();
    // The print window for a text item.
    void print(TreeNode node);
    // The edit button (`fromTree` false) or a double click on the node.
    void edit(TreeNode node, bool fromTree);
    void editCategory(CategoryNode *category);
    // Deletes the node, or with `keepCategory` only a category's items.
    void remove(TreeNode node, bool keepCategory = false);
    // Puts back what was deleted last (here or in the pop-up list).
    void undoDelete();

    // Dragging `source` onto `target`.
    bool canDrop(TreeNode source, TreeNode target) const;
    // Moves `source` onto `target`; a move a locked, full category refuses
    // is said, others that cannot be done are not.
    bool drop(TreeNode source, TreeNode target);

    // The next plain-text item holding `text`, walking the whole tree from
    // `from` (past it when `continuing`); says so when there is none.
    TreeNode find(const QString &text, bool matchCase, bool down, TreeNode from, bool continuing);

signals:
    // The tree should show and select this node.
    void selectNode(TreeNode node);
    // Categories were added, removed, renamed or moved: the lists naming them are stale.
    void categoriesChanged();
    // A node's record changed: what shows it must be refreshed.
    void nodeChanged(TreeNode node);

private:
    void editItems(TreeNode node);
    void tellRefused(const QString &what, const QStringList &reasons);

    Collection &m_collection;
    const Options &m_options;
    MessageBoxService &m_messages;
    TreeDialogs &m_dialogs;
};
