#include "popup/searchengine.h"

#include "richtext/rtfreader.h"
#include "store/collection.h"

#include <QElapsedTimer>

#include <algorithm>
#include <utility>

SearchEngine::SearchEngine(Collection &collection, QObject *parent)
    : QObject(parent)
    , m_collection(collection)
{
    m_slices.setInterval(0);
    connect(&m_slices, &QTimer::timeout, this, [this] {
        if (step(SliceNanoseconds))
            m_slices.stop();
    });
    connectCollection();
}

void SearchEngine::connectCollection()
{
    Collection &c = m_collection;
    connect(&c, &Collection::aboutToInsertItems, this, [this](int categoryIndex, int first, int last) {
        m_changed = true;
        m_insertingCategory = categoryIndex;
        m_insertingFirst = first;
        m_insertingLast = last;
    });
    connect(&c, &Collection::itemsInserted, this, [this] {
        const CategoryNode *category = m_collection.category(m_insertingCategory);
        m_insertingCategory = -1;
        if (!category || !m_running)
            return;
        const int count = m_insertingLast - m_insertingFirst + 1;
        for (int row = m_insertingFirst; row <= m_insertingLast && row < category->itemCount(); ++row)
            m_arrived.insert(category->items[size_t(row)].get());
        // The walk stays on the item it was about to look at.
        if (!m_walk.done() && m_walk.categories[m_walk.category] == category && m_insertingFirst <= m_walk.row)
            m_walk.row += count;
    });
    connect(&c, &Collection::aboutToRemoveItems, this, [this](int categoryIndex, int first, int last) {
        const CategoryNode *category = m_collection.category(categoryIndex);
        if (!category)
            return;
        forget(m_collection.itemsAt(categoryIndex, first, last));
        if (!m_walk.done() && m_walk.categories[m_walk.category] == category && first < m_walk.row)
            m_walk.row = last < m_walk.row ? m_walk.row - (last - first + 1) : first;
    });
    connect(&c, &Collection::aboutToRemoveCategory, this, [this](int categoryIndex) {
        const CategoryNode *category = m_collection.category(categoryIndex);
        if (category == m_leading)
            m_changed = true;
        const auto at = std::find(m_walk.categories.begin(), m_walk.categories.end(), category);
        if (at == m_walk.categories.end())
            return;
        const size_t index = size_t(at - m_walk.categories.begin());
        m_walk.categories.erase(at);
        if (index < m_walk.category) {
            --m_walk.category;
        } else if (index == m_walk.category) {
            m_walk.row = 0;
        }
    });
    // Rows changing places under the walk could be looked at twice or not at
    // all: the search ends with what it found, and the next key looks afresh.
    const auto reordered = [this] {
        m_changed = true;
        m_walk.categories.clear();
        m_candidates.clear();
        m_nextCandidate = 0;
    };
    connect(&c, &Collection::aboutToMoveItem, this, reordered);
    connect(&c, &Collection::aboutToReorderItems, this, reordered);
    connect(&c, &Collection::aboutToMoveCategory, this, reordered);
    connect(&c, &Collection::aboutToAppendCategory, this, [this] { m_changed = true; });
    connect(&c, &Collection::aboutToReset, this, [this, reordered] {
        reordered();
        m_matches.clear();
        m_arrived.clear();
        m_richPlain.clear();
    });
}

void SearchEngine::forget(const QSet<const Item *> &freed)
{
    if (freed.isEmpty())
        return;
    const auto isFreed = [&freed](const Item *item) { return freed.contains(item); };
    std::erase_if(m_matches, isFreed);
    const size_t before = size_t(std::count_if(m_candidates.begin(), m_candidates.begin() + qsizetype(m_nextCandidate), isFreed));
    std::erase_if(m_candidates, isFreed);
    m_nextCandidate -= before;
    for (const Item *item : freed) {
        m_arrived.remove(item);
        m_richPlain.remove(item);
    }
}

void SearchEngine::start(const QString &typed)
{
    SearchQuery query(typed);
    // A longer query looks among what the last one found and what it had
    // still to look at, in the same order; unless items arrived or moved since.
    m_narrowed = !m_changed && m_leading == m_collection.currentCategory() && query.narrows(m_query);
    if (m_narrowed) {
        std::vector<Item *> candidates = std::move(m_matches);
        candidates.insert(candidates.end(), m_candidates.begin() + qsizetype(m_nextCandidate), m_candidates.end());
        m_candidates = std::move(candidates);
    } else {
        m_candidates.clear();
        m_walk = {};
        m_leading = m_collection.currentCategory();
        const QList<int> order =
            SearchQuery::categoryOrder(m_collection.categoryCount(), m_collection.indexOf(m_collection.currentCategory()));
        for (const int index : order)
            m_walk.categories.push_back(m_collection.category(index));
        if (query.isEmpty())
            m_walk.categories.clear();
    }
    m_nextCandidate = 0;
    m_matches.clear();
    m_arrived.clear();
    m_changed = false;
    m_query = std::move(query);
    m_running = true;
    m_firstSlice = true;
    emit restarted();
    m_slices.start();
}

void SearchEngine::stop()
{
    m_running = false;
    m_slices.stop();
}

Item *SearchEngine::nextCandidate()
{
    if (m_nextCandidate < m_candidates.size())
        return m_candidates[m_nextCandidate++];
    while (!m_walk.done()) {
        const CategoryNode *category = m_walk.categories[m_walk.category];
        if (m_walk.row < category->itemCount()) {
            Item *item = category->items[size_t(m_walk.row++)].get();
            if (m_arrived.isEmpty() || !m_arrived.contains(item))
                return item;
            continue;
        }
        ++m_walk.category;
        m_walk.row = 0;
    }
    return nullptr;
}

QStringView SearchEngine::plainTextOf(const Item &item)
{
    switch (item.kind) {
    case ItemKind::Image: return {};  // a picture is found by its alias alone
    case ItemKind::PlainText: return item.text;
    case ItemKind::RichText: break;
    }
    // Read once per text: the next keystroke finds it ready.
    PlainText &cached = m_richPlain[&item];
    if (cached.source.isNull() || !cached.source.isSharedWith(item.text)) {
        cached.source = item.text;
        cached.plain = RtfReader::toPlainText(item.text);
    }
    return cached.plain;
}

bool SearchEngine::matches(const Item &item)
{
    return m_query.matches(item.alias, plainTextOf(item));
}

bool SearchEngine::step(qint64 nanoseconds)
{
    if (!m_running)
        return true;
    QElapsedTimer clock;
    clock.start();
    QList<Item *> batch;
    const int enough = std::exchange(m_firstSlice, false) && nanoseconds >= 0 ? m_firstBatch : 0;
    // The clock is read every few items: reading it costs more than a short item.
    constexpr int kItemsPerLook = 64;
    for (int looked = 0;; ++looked) {
        if (nanoseconds >= 0 && looked % kItemsPerLook == kItemsPerLook - 1 && clock.nsecsElapsed() >= nanoseconds)
            break;
        if (enough > 0 && batch.size() >= enough)
            break;
        Item *item = nextCandidate();
        if (!item) {
            m_running = false;
            break;
        }
        if (matches(*item)) {
            m_matches.push_back(item);
            batch << item;
        }
    }
    if (!batch.isEmpty())
        emit found(batch);
    if (!m_running) {
        m_candidates.clear();
        m_candidates.shrink_to_fit();
        m_nextCandidate = 0;
        m_walk = {};
        m_slices.stop();
        emit finished();
    }
    return !m_running;
}

qsizetype SearchEngine::keptBytes() const
{
    qsizetype bytes = qsizetype((m_matches.capacity() + m_candidates.capacity()) * sizeof(Item *))
                      + qsizetype(m_walk.categories.capacity() * sizeof(CategoryNode *))
                      + m_arrived.capacity() * qsizetype(2 * sizeof(void *));
    for (auto it = m_richPlain.cbegin(); it != m_richPlain.cend(); ++it)
        bytes += qsizetype(sizeof(PlainText) + sizeof(void *)) + it->plain.capacity() * qsizetype(sizeof(QChar));
    return bytes;
}
