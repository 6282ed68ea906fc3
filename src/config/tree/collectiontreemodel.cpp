#include "config/tree/collectiontreemodel.h"

#include "store/collection.h"

#include <QApplication>
#include <QStyle>

CollectionTreeModel::CollectionTreeModel(Collection &collection, QObject *parent)
    : QAbstractItemModel(parent), m_collection(collection)
{
    connect(&collection, &Collection::aboutToReset, this, &CollectionTreeModel::beginResetModel);
    connect(&collection, &Collection::reset, this, &CollectionTreeModel::endResetModel);
    connect(&collection, &Collection::aboutToAppendCategory, this,
            [this](int row) { beginInsertRows({}, row, row); });
    connect(&collection, &Collection::categoryAppended, this, &CollectionTreeModel::endInsertRows);
    connect(&collection, &Collection::aboutToInsertItem, this,
            [this](int category, int row) { beginInsertRows(index(category, 0), row, row); });
    connect(&collection, &Collection::itemInserted, this, &CollectionTreeModel::endInsertRows);
    connect(&collection, &Collection::aboutToRemoveItem, this,
            [this](int category, int row) { beginRemoveRows(index(category, 0), row, row); });
    connect(&collection, &Collection::itemRemoved, this, &CollectionTreeModel::endRemoveRows);
}

QModelIndex CollectionTreeModel::index(int row, int column, const QModelIndex &parent) const
{
    if (column != 0 || row < 0)
        return {};
    if (!parent.isValid())
        return row < m_collection.categoryCount() ? createIndex(row, 0, nullptr) : QModelIndex();
    CategoryNode *category = m_collection.category(parent.row());
    if (parent.internalPointer() || !category || row >= category->itemCount())
        return {};
    return createIndex(row, 0, category);
}

QModelIndex CollectionTreeModel::parent(const QModelIndex &child) const
{
    auto *category = static_cast<CategoryNode *>(child.internalPointer());
    if (!child.isValid() || !category)
        return {};
    return createIndex(m_collection.indexOf(category), 0, nullptr);
}

int CollectionTreeModel::rowCount(const QModelIndex &parent) const
{
    if (!parent.isValid())
        return m_collection.categoryCount();
    if (parent.internalPointer())
        return 0;
    const CategoryNode *category = m_collection.category(parent.row());
    return category ? category->itemCount() : 0;
}

int CollectionTreeModel::columnCount(const QModelIndex &) const
{
    return 1;
}

QVariant CollectionTreeModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const Item *item = itemAt(index);
    const CategoryNode *category = categoryAt(index);
    if (role == Qt::DisplayRole)
        return item ? item->alias : category ? category->name : QString();
    if (role == Qt::DecorationRole) {
        QStyle *style = QApplication::style();
        if (!item)
            return style->standardIcon(QStyle::SP_DirIcon);
        if (item->kind == ItemKind::Image)
            return style->standardIcon(QStyle::SP_DesktopIcon);
        return style->standardIcon(item->kind == ItemKind::RichText ? QStyle::SP_FileDialogDetailedView
                                                                     : QStyle::SP_FileIcon);
    }
    return {};
}

QModelIndex CollectionTreeModel::categoryIndex(const CategoryNode *category) const
{
    const int row = m_collection.indexOf(category);
    return row < 0 ? QModelIndex() : index(row, 0);
}

CategoryNode *CollectionTreeModel::categoryAt(const QModelIndex &index) const
{
    if (!index.isValid())
        return nullptr;
    if (auto *category = static_cast<CategoryNode *>(index.internalPointer()))
        return category;
    return m_collection.category(index.row());
}

Item *CollectionTreeModel::itemAt(const QModelIndex &index) const
{
    auto *category = index.isValid() ? static_cast<CategoryNode *>(index.internalPointer()) : nullptr;
    if (!category || index.row() >= category->itemCount())
        return nullptr;
    return category->items[size_t(index.row())].get();
}
