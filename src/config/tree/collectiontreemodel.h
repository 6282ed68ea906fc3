#pragma once

#include <QAbstractItemModel>

class Collection;
struct CategoryNode;
struct Item;

// Shows the collection node for node: categories at the top level, their
// items below, captions as the tree holds them.
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

    QModelIndex categoryIndex(const CategoryNode *category) const;
    CategoryNode *categoryAt(const QModelIndex &index) const;  // the node itself or an item's category
    Item *itemAt(const QModelIndex &index) const;          // null for a category

private:
    Collection &m_collection;
};
