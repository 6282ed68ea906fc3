#pragma once

#include "store/item.h"

#include <QList>

class Collection;

// The copies captured while the configuration window is open. Cancelling the
// window's edits goes back to the data file, which does not hold them yet; a
// copy the user made meanwhile is no edit to undo, so they are put back on
// top of what was reloaded.
class CaptureReplay
{
public:
    explicit CaptureReplay(Collection &collection);
    ~CaptureReplay();
    CaptureReplay(const CaptureReplay &) = delete;
    CaptureReplay &operator=(const CaptureReplay &) = delete;

    // A copy as capture stored it; `item.category` names the category it went to.
    void record(const Item &item);
    // The copies are in a file now, or belong to a collection given up.
    void forget();
    bool isEmpty() const { return m_copies.isEmpty(); }

    struct Outcome
    {
        int putBack = 0;
        QList<Item> refused;  // each with the category that refused it
    };
    // Puts each copy back in the order captured, so the newest ends on top:
    // into the category of its name (the current one when no category has
    // that name) under that category's rules. A copy whose text already is
    // the category's newest item is not put back twice (with `preventDuplicates`);
    // a category locked and full refuses it, and a refused copy is forgotten;
    // a limit trims the oldest item. The copies stay recorded, for a later
    // cancel that goes back to the file again.
    Outcome replay(bool preventDuplicates);

private:
    void release(const Item &item);

    Collection &m_collection;
    QList<Item> m_copies;  // oldest first
};
