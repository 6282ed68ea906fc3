#pragma once

#include <QList>

// The order in which the entries of the pop-up list became selected, which is
// the order they are pasted in. Entries joining in one step (a Shift range)
// are appended toward the focused entry, the focused entry last; entries
// that are deselected leave the order.
class SelectionOrder
{
public:
    void clear() { m_order.clear(); }
    // `selected` names the selected entries in any order; the work grows with
    // the selection, never with the length of the list.
    void update(QList<int> selected, int count, int focused);
    const QList<int> &order() const { return m_order; }

private:
    QList<int> m_order;
};
