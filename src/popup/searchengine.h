#pragma once

#include "popup/searchquery.h"
#include "store/item.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QTimer>

#include <vector>

class Collection;
struct CategoryNode;

// Finds the items of every category that match what the user typed, in the
// order the list shows them (the current category first, then the others in
// tree order). The work is cut into slices run from the event loop, so
// typing never waits for it: each slice stops once its time is up, and a new
// query replaces the running one at once. A query that only adds to the one
// before (a longer word, another word) looks among what that one found and
// what it had not reached yet, never at the whole collection again.
//
// Items that arrive while a search runs are left for the next query; items
// freed meanwhile are forgotten, so nothing here ever points at a freed one.
class SearchEngine : public QObject
{
    Q_OBJECT
public:
    // One slice's time: well inside a frame, so keys and repaints get through.
    static constexpr qint64 SliceNanoseconds = 8'000'000;

    explicit SearchEngine(Collection &collection, QObject *parent = nullptr);

    // Starts a search for `typed`, ending the one running; an empty query
    // finds nothing. The first slice runs on the next turn of the event loop.
    void start(const QString &typed);
    // Ends the search; what was found stays as it is.
    void stop();
    // Runs the search for at most `nanoseconds` (negative: to its end);
    // true when it has ended.
    bool step(qint64 nanoseconds);
    // The first slice of a search ends as soon as it has found this many, so
    // that a screenful shows at once; 0 lets it run its full time.
    void setFirstBatch(int count) { m_firstBatch = count; }
    bool running() const { return m_running; }
    // Whether the running search looks only among an earlier one's finds.
    bool narrowed() const { return m_narrowed; }

    const SearchQuery &query() const { return m_query; }
    // What the search has found so far, in the list's order.
    const std::vector<Item *> &matches() const { return m_matches; }
    // The bytes the search keeps (its lists and the plain text of rich items).
    qsizetype keptBytes() const;

signals:
    // A new query: what was found before no longer stands.
    void restarted();
    // More matches, following those found before.
    void found(const QList<Item *> &items);
    void finished();

private:
    // Where the walk through the collection stands.
    struct Walk
    {
        std::vector<CategoryNode *> categories;  // in the list's order
        size_t category = 0;
        int row = 0;
        bool done() const { return category >= categories.size(); }
    };

    Item *nextCandidate();
    bool matches(const Item &item);
    QStringView plainTextOf(const Item &item);
    void forget(const QSet<const Item *> &freed);
    void connectCollection();

    Collection &m_collection;
    SearchQuery m_query;
    bool m_running = false;
    bool m_narrowed = false;
    int m_firstBatch = 0;
    bool m_firstSlice = false;
    // Since the last query the collection gained or reordered items, which a
    // narrowed search would not look at.
    bool m_changed = false;
    std::vector<Item *> m_matches;
    // A narrowed search looks first at these (an earlier search's finds and
    // what it had still to look at), then goes on with the walk.
    std::vector<Item *> m_candidates;
    size_t m_nextCandidate = 0;
    Walk m_walk;
    const CategoryNode *m_leading = nullptr;  // the current category when the walk began
    QSet<const Item *> m_arrived;  // during this search: left for the next
    int m_insertingCategory = -1;
    int m_insertingFirst = 0;
    int m_insertingLast = -1;

    struct PlainText
    {
        QString source;  // shares the item's text while it is unchanged
        QString plain;
    };
    QHash<const Item *, PlainText> m_richPlain;
    QTimer m_slices;
};
