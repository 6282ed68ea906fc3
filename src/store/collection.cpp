#include "store/collection.h"

Collection::Collection(QObject *parent)
    : QObject(parent)
{
}

Collection::~Collection() = default;

CategoryNode *Collection::category(int index) const
{
    if (index < 0 || index >= categoryCount())
        return nullptr;
    return m_categories[static_cast<size_t>(index)].get();
}

int Collection::indexOf(const CategoryNode *node) const
{
    for (int i = 0; i < categoryCount(); ++i) {
        if (m_categories[static_cast<size_t>(i)].get() == node)
            return i;
    }
    return -1;
}

int Collection::totalItemCount() const
{
    int total = 0;
    for (const auto &category : m_categories)
        total += category->itemCount();
    return total;
}

CategoryNode *Collection::appendCategory(const QString &name, const CategorySettings &rec)
{
    auto node = std::make_unique<CategoryNode>();
    node->name = name;
    node->rec = rec;
    emit aboutToAppendCategory(categoryCount());
    m_categories.push_back(std::move(node));
    emit categoryAppended(categoryCount() - 1);
    return m_categories.back().get();
}

void Collection::replaceAll(CategoryList categories)
{
    emit aboutToReset();
    m_current = nullptr;
    m_currItems.clear();
    m_categories = std::move(categories);
    emit reset();
    emit currItemsChanged();
}

void Collection::clear()
{
    replaceAll({});
}

void Collection::insertFirstChild(CategoryNode *category, const Item &item)
{
    auto copy = std::make_unique<Item>(item);
    copy->category = category->name;
    const int categoryIndex = indexOf(category);
    emit aboutToInsertItem(categoryIndex, 0);
    category->items.insert(category->items.begin(), std::move(copy));
    emit itemInserted(categoryIndex, 0);
}

bool Collection::addNewItem(bool everyCategory, const Item &item)
{
    if (!everyCategory) {
        CategoryNode *target = m_current;
        if (!target || target->rec.isLockedAndFull(target->itemCount()))
            return false;
        insertFirstChild(target, item);
        return enforceLimit(target, false);
    }
    bool trimmed = false;
    for (const auto &category : m_categories) {
        if (category->rec.isLockedAndFull(category->itemCount()))
            continue;
        insertFirstChild(category.get(), item);
        trimmed = enforceLimit(category.get(), false) || trimmed;
    }
    return trimmed;
}

bool Collection::enforceLimit(CategoryNode *category, bool trimCurrItems)
{
    if (!category || category->rec.limit <= 0 || category->itemCount() <= category->rec.limit)
        return false;
    const int categoryIndex = indexOf(category);
    const int last = category->itemCount() - 1;
    emit aboutToRemoveItem(categoryIndex, last);
    const Item *removed = category->items.back().get();
    // The current list must never point at a freed record.
    if (trimCurrItems && m_current && m_current->name == category->name && !m_currItems.isEmpty())
        m_currItems.removeLast();
    for (qsizetype i = m_currItems.size() - 1; i >= 0; --i) {
        if (m_currItems[i].item == removed)
            m_currItems.removeAt(i);
    }
    category->items.pop_back();
    emit itemRemoved(categoryIndex, last);
    emit currItemsChanged();
    return true;
}

CategoryNode *Collection::findCategory(const QString &name) const
{
    if (m_current && m_current->name == name)
        return m_current;
    for (const auto &category : m_categories) {
        if (category->name == name)
            return category.get();
    }
    return nullptr;
}

void Collection::setCurrentCategory(CategoryNode *category)
{
    m_current = category;
}

void Collection::refreshCurrentItems()
{
    m_currItems.clear();
    if (m_current) {
        for (const auto &item : m_current->items)
            m_currItems.append({item->alias, item.get()});
    }
    emit currItemsChanged();
}

void Collection::insertCurrItem(int index, const CurrentItem &entry)
{
    m_currItems.insert(qBound(0, index, int(m_currItems.size())), entry);
    emit currItemsChanged();
}

void Collection::trimCurrItems()
{
    if (!m_currItems.isEmpty()) {
        m_currItems.removeLast();
        emit currItemsChanged();
    }
}

void Collection::removeItem(Item *item)
{
    for (int c = 0; c < categoryCount(); ++c) {
        CategoryNode *category = this->category(c);
        for (int row = 0; row < category->itemCount(); ++row) {
            if (category->items[size_t(row)].get() != item)
                continue;
            emit aboutToRemoveItem(c, row);
            m_currItems.removeIf([item](const CurrentItem &entry) { return entry.item == item; });
            category->items.erase(category->items.begin() + row);
            emit itemRemoved(c, row);
            emit currItemsChanged();
            return;
        }
    }
}
