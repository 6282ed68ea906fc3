#include "config/tree/collectiontreemodel.h"

#include "config/tree/nodeicons.h"
#include "store/collection.h"

#include <QHash>

CollectionTreeModel::CollectionTreeModel(Collection &collection, QObject *parent)
    : QAbstractItemModel(parent), m_collection(collection)
{
    connect(&collection, &Collection::aboutToReset, this, &CollectionTreeModel::beginResetModel);
    connect(&collection, &Collection::reset, this, [this] {
        m_expanded.clear();
        endResetModel();
    });
    connect(&collection, &Collection::aboutToAppendCategory, this,
            [this](int row) { beginInsertRows({}, row, row); });
    connect(&collection, &Collection::categoryAppended, this, &CollectionTreeModel::endInsertRows);
    connect(&collection, &Collection::aboutToRemoveCategory, this, [this](int row) {
        m_expanded.remove(m_collection.category(row));
        beginRemoveRows({}, row, row);
    });
    connect(&collection, &Collection::categoryRemoved, this, &CollectionTreeModel::endRemoveRows);
    connect(&collection, &Collection::aboutToMoveCategory, this,
            [this](int from, int to) { beginMoveRows({}, from, from, {}, to); });
    connect(&collection, &Collection::categoryMoved, this, &CollectionTreeModel::endMoveRows);
    connect(&collection, &Collection::categoryRenamed, this, [this](int row) {
        const QModelIndex changed = index(row, 0);
        emit dataChanged(changed, changed);
    });
    connect(&collection, &Collection::aboutToInsertItems, this,
            [this](int category, int first, int last) { beginInsertRows(index(category, 0), first, last); });
    connect(&collection, &Collection::itemsInserted, this, &CollectionTreeModel::endInsertRows);
    connect(&collection, &Collection::aboutToRemoveItems, this,
            [this](int category, int first, int last) { beginRemoveRows(index(category, 0), first, last); });
    connect(&collection, &Collection::itemsRemoved, this, &CollectionTreeModel::endRemoveRows);
    connect(&collection, &Collection::aboutToMoveItem, this, [this](int fromCategory, int fromRow, int toCategory, int toRow) {
        beginMoveRows(index(fromCategory, 0), fromRow, fromRow, index(toCategory, 0), toRow);
    });
    connect(&collection, &Collection::itemMoved, this, &CollectionTreeModel::endMoveRows);

    // A sort keeps the selection and open state on the same records.
    connect(&collection, &Collection::aboutToReorderItems, this, [this](int category) {
        const QModelIndex parent = index(category, 0);
        emit layoutAboutToBeChanged({parent});
        m_reordering.clear();
        for (const QModelIndex &persistent : persistentIndexList()) {
            if (persistent.parent() == parent)
                m_reordering.append({QPersistentModelIndex(persistent), itemAt(persistent)});
        }
    });
    connect(&collection, &Collection::itemsReordered, this, [this](int category) {
        const QModelIndex parent = index(category, 0);
        CategoryNode *node = m_collection.category(category);
        QHash<const Item *, int> rows;
        for (int row = 0; row < node->itemCount(); ++row)
            rows.insert(node->items[size_t(row)].get(), row);
        for (const auto &[persistent, item] : std::as_const(m_reordering))
            changePersistentIndex(persistent, createIndex(rows.value(item), 0, node));
        m_reordering.clear();
        emit layoutChanged({parent});
    });
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

Qt::ItemFlags CollectionTreeModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled;
}

QVariant CollectionTreeModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const Item *item = itemAt(index);
    const CategoryNode *category = categoryAt(index);
    if (!category)
        return {};
    if (role == Qt::DisplayRole)
        return item ? item->alias : category->name;
    if (role == Qt::DecorationRole) {
        using NodeIcons::Kind;
        if (!item)
            return NodeIcons::icon(m_expanded.contains(category) ? Kind::OpenCategory : Kind::ClosedCategory);
        if (item->kind == ItemKind::Image)
            return NodeIcons::icon(Kind::Picture);
        return NodeIcons::icon(item->kind == ItemKind::RichText ? Kind::RichText : Kind::Text);
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

TreeNode CollectionTreeModel::nodeAt(const QModelIndex &index) const
{
    return {categoryAt(index), itemAt(index)};
}

QModelIndex CollectionTreeModel::indexOf(TreeNode node) const
{
    const QModelIndex category = categoryIndex(node.category);
    if (!node.item || !category.isValid())
        return category;
    for (int row = 0; row < node.category->itemCount(); ++row) {
        if (node.category->items[size_t(row)].get() == node.item)
            return index(row, 0, category);
    }
    return {};
}

void CollectionTreeModel::setExpanded(const QModelIndex &category, bool expanded)
{
    const CategoryNode *node = categoryAt(category);
    if (!node || itemAt(category))
        return;
    if (expanded)
        m_expanded.insert(node);
    else
        m_expanded.remove(node);
    emit dataChanged(category, category, {Qt::DecorationRole});
}

void CollectionTreeModel::refresh(TreeNode node)
{
    const QModelIndex changed = indexOf(node);
    if (changed.isValid())
        emit dataChanged(changed, changed);
}
