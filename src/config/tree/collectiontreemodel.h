#pragma once

#include "config/tree/treenode.h"

#include <QAbstractItemModel>
#include <QList>
#include <QPersistentModelIndex>
#include <QSet>

class Collection;

// Shows the collection node for node: categories at the top level, their
// items below, captions as the tree holds them. Rows are read from the
// collection when the view asks, so a large collection costs no more than
// what is on screen.
class CollectionTreeModel : public QAbstractItemModel
{
    Q_OBJECT
public:
    explicit CollectionTreeModel(Collection &collection, QObject *parent = nullptr);

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    QModelIndex categoryIndex(const CategoryNode *category) const;
    CategoryNode *categoryAt(const QModelIndex &index) const;  // the node itself or an item's category
    Item *itemAt(const QModelIndex &index) const;          // null for a category
    TreeNode nodeAt(const QModelIndex &index) const;
    QModelIndex indexOf(TreeNode node) const;

    // An open category shows the open picture.
    void setExpanded(const QModelIndex &category, bool expanded);
    // The node's record changed: its caption and picture are read again.
    void refresh(TreeNode node);

private:
    Collection &m_collection;
    QSet<const CategoryNode *> m_expanded;
    QList<QPair<QPersistentModelIndex, const Item *>> m_reordering;
};
