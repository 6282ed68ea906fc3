#pragma once

#include "config/tree/treenode.h"

#include <QPersistentModelIndex>
#include <QPointer>
#include <QTimer>
#include <QTreeView>

class CollectionTreeModel;
class TreeEditor;

// The tree of categories and items. A drag moves the selected node onto the
// node under the mouse as the tree editor's rules allow; dragged above or
// below the tree, it scrolls the tree the faster the farther the mouse is.
class CollectionTreeView : public QTreeView
{
    Q_OBJECT
public:
    CollectionTreeView(CollectionTreeModel &model, TreeEditor &editor, QWidget *parent = nullptr);

    TreeNode selectedNode() const;
    void selectNode(TreeNode node);

    // The scroll timer's interval for a mouse this many pixels past the edge.
    static int dragScrollInterval(int distance) { return std::max(1, 75 - distance); }
    bool dragScrolling() const { return m_scrollTimer != nullptr; }

signals:
    void selectedNodeChanged(TreeNode node);
    void editRequested(TreeNode node);    // a double click
    void deleteRequested(TreeNode node);  // the Delete key
    void undoDeleteRequested();           // Ctrl+Z

protected:
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;

private:
    bool acceptsDrop(const QDropEvent *event, const QPoint &position) const;
    TreeNode draggedNode() const;
    void followMouseForScrolling();
    void scrollTick();
    void stopScrolling();

    CollectionTreeModel &m_model;
    TreeEditor &m_editor;
    QPointer<QTimer> m_scrollTimer;
    // The node the drag started from: a capture trimming it away meanwhile
    // must not let the drop move whatever was selected next.
    QPersistentModelIndex m_dragged;
    // Where the drag was last over the tree: a drop refused there is told why once the drag ends.
    QPersistentModelIndex m_dragTarget;
    bool m_scrollDown = false;
};
