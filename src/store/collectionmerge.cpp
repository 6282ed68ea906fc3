#include "store/collectionmerge.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <algorithm>

namespace CollectionMerge {

namespace {

using Counts = QHash<QString, int>;

QString keyOf(const Item &item)
{
    const QString content =
        item.kind == ItemKind::Image ? QDir::cleanPath(QFileInfo(item.text).absoluteFilePath()) : item.text;
    return QString::number(int(item.kind)) + QChar(0x1f) + item.created + QChar(0x1f) + content;
}

bool sameChoices(const Item &a, const Item &b)
{
    return a.alias == b.alias && a.action == b.action && a.pasteMethod == b.pasteMethod
           && a.actionCount == b.actionCount && a.extraText == b.extraText;
}

void copyChoices(Item &to, const Item &from)
{
    to.alias = from.alias;
    to.action = from.action;
    to.pasteMethod = from.pasteMethod;
    to.actionCount = from.actionCount;
    to.extraText = from.extraText;
}

bool sameSettings(const CategorySettings &a, const CategorySettings &b)
{
    return a.limit == b.limit && a.lockAtLimit == b.lockAtLimit && a.action == b.action
           && a.pasteMethod == b.pasteMethod && a.actionCount == b.actionCount && a.extraText == b.extraText;
}

Counts countOf(const std::vector<Item> &items)
{
    Counts counts;
    for (const Item &item : items)
        ++counts[keyOf(item)];
    return counts;
}

Counts countOf(const std::vector<std::unique_ptr<Item>> &items)
{
    Counts counts;
    for (const auto &item : items)
        ++counts[keyOf(*item)];
    return counts;
}

// The base's item of that key, when there is exactly one.
const Item *onlyOne(const Snapshot::Category &category, const QString &key)
{
    const Item *found = nullptr;
    for (const Item &item : category.items) {
        if (keyOf(item) != key)
            continue;
        if (found)
            return nullptr;
        found = &item;
    }
    return found;
}

// Whether the item is one of the base's, unchanged here since.
bool unchangedSinceBase(const Item &item, const QString &key, const Snapshot::Category &base)
{
    for (const Item &was : base.items) {
        if (keyOf(was) == key && sameChoices(was, item))
            return true;
    }
    return false;
}

// Removes from `mine` up to `count` items of that key still as the base had them, the oldest first.
void removeUnchanged(Collection &ours, CategoryNode *mine, const QString &key, int count,
                     const Snapshot::Category &base)
{
    for (int row = mine->itemCount() - 1; row >= 0 && count > 0; --row) {
        Item *item = mine->items[size_t(row)].get();
        if (keyOf(*item) == key && unchangedSinceBase(*item, key, base)) {
            ours.removeItem(item);
            --count;
        }
    }
}

void takeInCategory(Collection &ours, const Snapshot::Category *base, const CategoryNode &their, int index)
{
    const Counts baseCounts = base ? countOf(base->items) : Counts();
    const Counts theirCounts = countOf(their.items);

    CategoryNode *mine = ours.findCategory(their.name);
    if (!mine) {
        // Gone here since the base (removed or renamed): it comes back only
        // for what they added to it.
        bool theyAdded = !base;
        for (auto it = theirCounts.cbegin(); it != theirCounts.cend() && !theyAdded; ++it)
            theyAdded = it.value() > baseCounts.value(it.key());
        if (!theyAdded)
            return;
        mine = ours.appendCategory(their.name, their.rec);
        if (index < ours.categoryCount() - 1)
            ours.moveCategory(mine, ours.category(index));
    } else if (base && sameSettings(mine->rec, base->rec) && !sameSettings(their.rec, base->rec)) {
        mine->rec = their.rec;
    }

    if (base) {
        for (auto it = baseCounts.cbegin(); it != baseCounts.cend(); ++it) {
            const int removed = it.value() - theirCounts.value(it.key());
            if (removed > 0)
                removeUnchanged(ours, mine, it.key(), removed, *base);
        }
    }

    const Counts ourCounts = countOf(mine->items);
    Counts taken;
    for (int row = 0; row < their.itemCount(); ++row) {
        const Item &item = *their.items[size_t(row)];
        const QString key = keyOf(item);
        const int added = theirCounts.value(key) - baseCounts.value(key);
        const int lacking = theirCounts.value(key) - ourCounts.value(key);
        if (added > 0 && lacking > 0 && taken.value(key) < std::min(added, lacking)) {
            ++taken[key];
            ours.insertChild(mine, row, item);
            continue;
        }
        // Choices they changed on an item left alone here.
        if (!base || baseCounts.value(key) != 1 || theirCounts.value(key) != 1 || ourCounts.value(key) != 1)
            continue;
        const Item *was = onlyOne(*base, key);
        if (!was || sameChoices(*was, item))
            continue;
        for (const auto &own : mine->items) {
            if (keyOf(*own) == key) {
                if (sameChoices(*own, *was))
                    copyChoices(*own, item);
                break;
            }
        }
    }
}

} // namespace

Snapshot Snapshot::of(const CategoryList &categories)
{
    Snapshot snapshot;
    snapshot.categories.reserve(categories.size());
    for (const auto &category : categories) {
        Category copy{category->name, category->rec, {}};
        copy.items.reserve(category->items.size());
        for (const auto &item : category->items)
            copy.items.push_back(*item);
        snapshot.categories.push_back(std::move(copy));
    }
    return snapshot;
}

void takeIn(Collection &ours, const Snapshot &base, const CategoryList &theirs)
{
    QHash<QString, const Snapshot::Category *> baseByName;
    for (const Snapshot::Category &category : base.categories) {
        if (!baseByName.contains(category.name))
            baseByName.insert(category.name, &category);
    }
    QSet<QString> theirNames;
    for (size_t index = 0; index < theirs.size(); ++index) {
        const CategoryNode &their = *theirs[index];
        theirNames.insert(their.name);
        takeInCategory(ours, baseByName.value(their.name), their, int(index));
    }

    // Categories they removed (or renamed) keep only what was added or
    // changed here, and go when nothing is left.
    for (const Snapshot::Category &was : base.categories) {
        if (theirNames.contains(was.name))
            continue;
        CategoryNode *mine = ours.findCategory(was.name);
        if (!mine)
            continue;
        const Counts baseCounts = countOf(was.items);
        for (auto it = baseCounts.cbegin(); it != baseCounts.cend(); ++it)
            removeUnchanged(ours, mine, it.key(), it.value(), was);
        if (mine->itemCount() == 0 && sameSettings(mine->rec, was.rec) && ours.categoryCount() > 1)
            ours.removeCategory(mine);
    }
}

} // namespace CollectionMerge
