#include "store/collection.h"

#include "store/deletionhistory.h"

#include <algorithm>

Collection::Collection(QObject *parent)
    : QObject(parent)
{
    m_deletions = std::make_unique<DeletionHistory>(*this);
}

Collection::~Collection() = default;

CategoryNode *Collection::category(int index) const
{
    if (index < 0 || index >= categoryCount())
        return nullptr;
    return m_categories[static_cast<size_t>(index)].get();
}

QSet<const Item *> Collection::itemsAt(int categoryIndex, int first, int last) const
{
    QSet<const Item *> found;
    if (const CategoryNode *node = category(categoryIndex)) {
        for (int row = std::max(first, 0); row <= last && row < node->itemCount(); ++row)
            found.insert(node->items[size_t(row)].get());
    }
    return found;
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

CategoryNode *Collection::insertCategory(int index, const QString &name, const CategorySettings &rec)
{
    auto node = std::make_unique<CategoryNode>();
    node->name = name;
    node->rec = rec;
    index = qBound(0, index, categoryCount());
    emit aboutToAppendCategory(index);
    CategoryNode *inserted = m_categories.insert(m_categories.begin() + index, std::move(node))->get();
    emit categoryAppended(index);
    return inserted;
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
    insertChild(category, 0, item);
}

Item *Collection::insertChild(CategoryNode *category, int row, const Item &item)
{
    auto copy = std::make_unique<Item>(item);
    copy->category = category->name;
    Item *inserted = copy.get();
    const int categoryIndex = indexOf(category);
    row = std::clamp(row, 0, category->itemCount());
    emit aboutToInsertItems(categoryIndex, row, row);
    category->items.insert(category->items.begin() + row, std::move(copy));
    emit itemsInserted();
    return inserted;
}

void Collection::insertItems(CategoryNode *category, int row, std::vector<Item> items)
{
    const int categoryIndex = indexOf(category);
    if (categoryIndex < 0 || items.empty())
        return;
    row = qBound(0, row, category->itemCount());
    std::vector<std::unique_ptr<Item>> records;
    records.reserve(items.size());
    for (Item &item : items) {
        item.category = category->name;
        records.push_back(std::make_unique<Item>(std::move(item)));
    }
    emit aboutToInsertItems(categoryIndex, row, row + int(records.size()) - 1);
    category->items.insert(category->items.begin() + row, std::make_move_iterator(records.begin()),
                           std::make_move_iterator(records.end()));
    emit itemsInserted();
}

Refusal Collection::refusalOf(const CategoryNode *category)
{
    if (!category)
        return Refusal::noCategory(QString());
    if (category->rec.isLockedAndFull(category->itemCount()))
        return Refusal::lockedAndFull(*category);
    return {};
}

bool Collection::newestRepeats(const CategoryNode *category, const QString &text)
{
    return category && category->itemCount() > 0 && category->items.front()->kind != ItemKind::Image
           && category->items.front()->text == text;
}

bool Collection::addNewItem(bool everyCategory, const Item &item)
{
    if (!everyCategory) {
        CategoryNode *target = m_current;
        if (refusalOf(target))
            return false;
        insertFirstChild(target, item);
        return enforceLimit(target, false);
    }
    bool trimmed = false;
    for (const auto &category : m_categories) {
        if (refusalOf(category.get()))
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
    emit aboutToRemoveItems(categoryIndex, last, last);
    const Item *removed = category->items.back().get();
    // The current list must never point at a freed record.
    if (trimCurrItems && m_current && m_current->name == category->name && !m_currItems.isEmpty())
        m_currItems.removeLast();
    for (qsizetype i = m_currItems.size() - 1; i >= 0; --i) {
        if (m_currItems[i].item == removed)
            m_currItems.removeAt(i);
    }
    category->items.pop_back();
    emit itemsRemoved();
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
            emit aboutToRemoveItems(c, row, row);
            m_currItems.removeIf([item](const CurrentItem &entry) { return entry.item == item; });
            category->items.erase(category->items.begin() + row);
            emit itemsRemoved();
            emit currItemsChanged();
            return;
        }
    }
}

std::pair<CategoryNode *, int> Collection::locate(const Item *item) const
{
    for (const auto &category : m_categories) {
        for (size_t row = 0; row < category->items.size(); ++row) {
            if (category->items[row].get() == item)
                return {category.get(), int(row)};
        }
    }
    return {nullptr, -1};
}

void Collection::dropFromCurrItems(const std::function<bool(const Item *)> &freed)
{
    // The current list must never point at a freed record.
    if (m_currItems.removeIf([&freed](const CurrentItem &entry) { return freed(entry.item); }) > 0)
        emit currItemsChanged();
}

void Collection::removeItems(CategoryNode *category)
{
    const int index = indexOf(category);
    if (index < 0 || category->items.empty())
        return;
    emit aboutToRemoveItems(index, 0, category->itemCount() - 1);
    dropFromCurrItems([category](const Item *item) {
        for (const auto &own : category->items) {
            if (own.get() == item)
                return true;
        }
        return false;
    });
    category->items.clear();
    emit itemsRemoved();
}

void Collection::removeCategory(CategoryNode *category)
{
    const int index = indexOf(category);
    if (index < 0)
        return;
    removeItems(category);
    emit aboutToRemoveCategory(index);
    if (m_current == category)
        m_current = nullptr;
    m_categories.erase(m_categories.begin() + index);
    emit categoryRemoved(index);
}

void Collection::renameCategory(CategoryNode *category, const QString &name)
{
    const int index = indexOf(category);
    if (index < 0)
        return;
    category->name = name;
    for (const auto &item : category->items)
        item->category = name;
    emit categoryRenamed(index);
}

void Collection::moveItem(Item *item, CategoryNode *destination, int row)
{
    const auto [source, from] = locate(item);
    const int to = indexOf(destination);
    if (!source || to < 0)
        return;
    row = qBound(0, row, destination->itemCount());
    // Qt's move counts the destination row before the move; a move onto
    // itself or just after itself changes nothing.
    if (source == destination && (row == from || row == from + 1))
        return;
    emit aboutToMoveItem(indexOf(source), from, to, row);
    std::unique_ptr<Item> moving = std::move(source->items[size_t(from)]);
    source->items.erase(source->items.begin() + from);
    if (source == destination && row > from)
        --row;
    moving->category = destination->name;
    destination->items.insert(destination->items.begin() + row, std::move(moving));
    emit itemMoved();
}

void Collection::moveCategory(CategoryNode *category, CategoryNode *before)
{
    const int from = indexOf(category);
    int to = before ? indexOf(before) : categoryCount();
    if (from < 0 || to < 0 || to == from || to == from + 1)
        return;
    emit aboutToMoveCategory(from, to);
    std::unique_ptr<CategoryNode> moving = std::move(m_categories[size_t(from)]);
    m_categories.erase(m_categories.begin() + from);
    if (to > from)
        --to;
    m_categories.insert(m_categories.begin() + to, std::move(moving));
    emit categoryMoved();
}

void Collection::sortItems(CategoryNode *category)
{
    const int index = indexOf(category);
    if (index < 0)
        return;
    emit aboutToReorderItems(index);
    std::stable_sort(category->items.begin(), category->items.end(),
                     [](const std::unique_ptr<Item> &a, const std::unique_ptr<Item> &b) {
                         return QString::localeAwareCompare(a->alias, b->alias) < 0;
                     });
    emit itemsReordered(index);
}

void Collection::copyItems(const CategoryNode *source, CategoryNode *destination, bool toEnd)
{
    const int index = indexOf(destination);
    if (!source || index < 0 || source == destination)
        return;
    std::vector<std::unique_ptr<Item>> copies;
    int count = destination->itemCount();
    for (const auto &item : source->items) {
        if (destination->rec.lockAtLimit && count >= destination->rec.limit)
            break;
        auto copy = std::make_unique<Item>(*item);
        copy->category = destination->name;
        copies.push_back(std::move(copy));
        ++count;
    }
    if (copies.empty())
        return;
    const int first = toEnd ? destination->itemCount() : 0;
    emit aboutToInsertItems(index, first, first + int(copies.size()) - 1);
    destination->items.insert(destination->items.begin() + first, std::make_move_iterator(copies.begin()),
                              std::make_move_iterator(copies.end()));
    emit itemsInserted();
}
