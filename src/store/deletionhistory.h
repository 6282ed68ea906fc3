#pragma once

#include "store/categorysettings.h"
#include "store/item.h"
#include "store/refusal.h"

#include <QList>
#include <QObject>
#include <QString>

#include <optional>
#include <vector>

class Collection;
struct CategoryNode;

// What the user deleted, newest last, so that it can be put back where it
// was: the same category, the same position. Deleting goes through here;
// the history lasts as long as the program keeps the same data file, a
// bounded number of steps deep.
class DeletionHistory : public QObject
{
    Q_OBJECT
public:
    static constexpr int MaxSteps = 100;
    // Items kept over all steps; beyond it the oldest steps go (never the newest).
    static constexpr int MaxItems = 100000;

    explicit DeletionHistory(Collection &collection, QObject *parent = nullptr);
    ~DeletionHistory() override;

    // The deletions until finishStep() make one step, put back together.
    void startStep();
    void finishStep();

    void removeItem(Item *item);
    // Every item of the category; the category stays.
    void removeItems(CategoryNode *category);
    // The category with its items.
    void removeCategory(CategoryNode *category);

    bool canUndo() const { return !m_steps.empty(); }
    int depth() const { return int(m_steps.size()); }

    struct Undone
    {
        QList<Item *> restored;  // the records now back in the collection
        Refusal refusal;         // why something of the step did not go back
        // What to tell the user when something did not go back; empty otherwise.
        QString message() const;
    };
    // Puts the newest step back. What cannot go back now (its category is
    // locked and full) stays the newest step, to be tried again.
    Undone undo();
    void clear();

signals:
    void changed();

private:
    struct Removal
    {
        CategoryNode *node = nullptr;  // while that category stands; its name otherwise
        QString category;
        int row = 0;  // of the first item
        std::vector<Item> items;
        std::optional<CategorySettings> removedCategory;  // the category went too
        int categoryIndex = -1;
    };
    struct Step
    {
        std::vector<Removal> removals;
        int generation = 0;  // reloads of the collection seen when it was made
    };

    void record(Removal removal);
    enum class Restored { Yes, Refused, Gone };
    Restored restore(Removal &removal, bool reloadedSince, Undone &undone);
    CategoryNode *categoryOf(const Removal &removal) const;
    void keepWithin();
    void release(const Removal &removal);
    void release(const Step &step);
    int heldItems() const;

    Collection &m_collection;
    std::vector<Step> m_steps;
    bool m_open = false;
    int m_generation = 0;
};
