#include "store/deletionhistory.h"

#include "store/collection.h"
#include "store/itempictures.h"

#include <algorithm>

namespace {

bool sameRecord(const Item &a, const Item &b)
{
    return a.kind == b.kind && a.alias == b.alias && a.text == b.text && a.created == b.created
        && a.extraText == b.extraText && a.action == b.action && a.pasteMethod == b.pasteMethod
        && a.actionCount == b.actionCount;
}

} // namespace

DeletionHistory::DeletionHistory(Collection &collection, QObject *parent)
    : QObject(parent), m_collection(collection)
{
    // Steps name their categories by node while the node stands, so a
    // rename is followed; a node that goes leaves its name behind.
    connect(&collection, &Collection::aboutToRemoveCategory, this, [this](int index) {
        const CategoryNode *going = m_collection.category(index);
        for (Step &step : m_steps) {
            for (Removal &removal : step.removals) {
                if (removal.node == going)
                    removal.node = nullptr;
            }
        }
    });
    connect(&collection, &Collection::categoryRenamed, this, [this](int index) {
        CategoryNode *renamed = m_collection.category(index);
        for (Step &step : m_steps) {
            for (Removal &removal : step.removals) {
                if (removal.node == renamed)
                    removal.category = renamed->name;
            }
        }
    });
    connect(&collection, &Collection::aboutToReset, this, [this] {
        ++m_generation;
        for (Step &step : m_steps) {
            for (Removal &removal : step.removals)
                removal.node = nullptr;
        }
    });
}

DeletionHistory::~DeletionHistory()
{
    for (const Step &step : m_steps)
        release(step);
}

void DeletionHistory::startStep()
{
    m_steps.push_back({{}, m_generation});
    m_open = true;
}

void DeletionHistory::finishStep()
{
    m_open = false;
    if (!m_steps.empty() && m_steps.back().removals.empty())
        m_steps.pop_back();
    keepWithin();
    emit changed();
}

void DeletionHistory::record(Removal removal)
{
    // A picture stays on disk while a step can still bring its item back.
    for (const Item &item : removal.items) {
        if (item.kind == ItemKind::Image)
            ItemPictures::shared().hold(item.text);
    }
    if (!m_open)
        m_steps.push_back({{}, m_generation});
    m_steps.back().removals.push_back(std::move(removal));
    if (!m_open) {
        keepWithin();
        emit changed();
    }
}

void DeletionHistory::removeItem(Item *item)
{
    const auto [category, row] = m_collection.locate(item);
    if (!category)
        return;
    Removal removal;
    removal.node = category;
    removal.category = category->name;
    removal.row = row;
    removal.items.push_back(*item);
    record(std::move(removal));
    m_collection.removeItem(item);
}

void DeletionHistory::removeItems(CategoryNode *category)
{
    if (m_collection.indexOf(category) < 0 || category->items.empty())
        return;
    Removal removal;
    removal.node = category;
    removal.category = category->name;
    removal.items.reserve(category->items.size());
    for (const auto &item : category->items)
        removal.items.push_back(*item);
    record(std::move(removal));
    m_collection.removeItems(category);
}

void DeletionHistory::removeCategory(CategoryNode *category)
{
    const int index = m_collection.indexOf(category);
    if (index < 0)
        return;
    Removal removal;
    removal.category = category->name;
    removal.removedCategory = category->rec;
    removal.categoryIndex = index;
    removal.items.reserve(category->items.size());
    for (const auto &item : category->items)
        removal.items.push_back(*item);
    record(std::move(removal));
    m_collection.removeCategory(category);
}

CategoryNode *DeletionHistory::categoryOf(const Removal &removal) const
{
    if (removal.node && m_collection.indexOf(removal.node) >= 0)
        return removal.node;
    return m_collection.findCategory(removal.category);
}

QString DeletionHistory::Undone::message() const
{
    if (!refusal)
        return {};
    const QString what = restored.isEmpty() ? QStringLiteral("What you deleted last was not put back.")
                                            : QStringLiteral("Part of what you deleted last was not put back.");
    return what + QLatin1Char(' ') + refusal.why;
}

DeletionHistory::Undone DeletionHistory::undo()
{
    Undone undone;
    if (m_steps.empty())
        return undone;
    m_open = false;
    Step &step = m_steps.back();
    const bool reloadedSince = step.generation != m_generation;
    // Newest first: each removal finds the rows as they were when it was made.
    for (auto removal = step.removals.end(); removal != step.removals.begin();) {
        --removal;
        if (restore(*removal, reloadedSince, undone) == Restored::Refused)
            continue;
        release(*removal);
        removal = step.removals.erase(removal);
    }
    if (step.removals.empty())
        m_steps.pop_back();
    emit changed();
    return undone;
}

DeletionHistory::Restored DeletionHistory::restore(Removal &removal, bool reloadedSince, Undone &undone)
{
    CategoryNode *category = categoryOf(removal);
    if (!category && removal.removedCategory) {
        const int index = std::clamp(removal.categoryIndex, 0, m_collection.categoryCount());
        category = m_collection.insertCategory(index, removal.category, *removal.removedCategory);
    }
    if (!category) {
        undone.refusal = Refusal::noCategory(removal.category);
        return Restored::Gone;
    }
    std::vector<Item> items = removal.items;  // the texts are shared, not copied
    // A reload since the deletion (Cancel in the configuration window) may
    // have brought an item back already: it is not doubled.
    if (reloadedSince) {
        items.erase(std::remove_if(items.begin(), items.end(),
                                   [category](const Item &gone) {
                                       return std::any_of(category->items.begin(), category->items.end(),
                                                          [&gone](const auto &there) { return sameRecord(*there, gone); });
                                   }),
                    items.end());
    }
    const int count = int(items.size());
    if (category->rec.lockAtLimit && category->rec.limit > 0 && category->itemCount() + count > category->rec.limit
        && count > 0) {
        undone.refusal = Refusal::lockedAndFull(*category);
        removal.node = category;
        removal.removedCategory.reset();
        return Restored::Refused;
    }
    const int row = std::clamp(removal.row, 0, category->itemCount());
    m_collection.insertItems(category, row, std::move(items));
    QList<Item *> back;
    for (int i = row; i < row + count; ++i)
        back << category->items[size_t(i)].get();
    // A limited category makes room as for any new item: its oldest go.
    while (m_collection.enforceLimit(category, false))
        ;
    for (Item *item : std::as_const(back)) {
        if (m_collection.locate(item).first == category)
            undone.restored << item;
    }
    if (m_collection.currentCategory() == category)
        m_collection.refreshCurrentItems();
    return Restored::Yes;
}

void DeletionHistory::clear()
{
    for (const Step &step : m_steps)
        release(step);
    m_steps.clear();
    m_open = false;
    emit changed();
}

int DeletionHistory::heldItems() const
{
    int held = 0;
    for (const Step &step : m_steps) {
        for (const Removal &removal : step.removals)
            held += int(removal.items.size());
    }
    return held;
}

void DeletionHistory::keepWithin()
{
    while (m_steps.size() > 1 && (int(m_steps.size()) > MaxSteps || heldItems() > MaxItems)) {
        release(m_steps.front());
        m_steps.erase(m_steps.begin());
    }
}

void DeletionHistory::release(const Removal &removal)
{
    for (const Item &item : removal.items) {
        if (item.kind == ItemKind::Image)
            ItemPictures::shared().release(item.text);
    }
}

void DeletionHistory::release(const Step &step)
{
    for (const Removal &removal : step.removals)
        release(removal);
}
