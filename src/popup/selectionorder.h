#pragma once

#include <QList>

#include <functional>

// The order in which the entries of the pop-up list became selected, which is
// the order they are pasted in. Entries joining in one step (a Shift range)
// are appended toward the focused entry, the focused entry last; entries
// that are deselected leave the order.
class SelectionOrder
{
public:
    void clear() { m_order.clear(); }
    void update(const std::function<bool(int)> &isSelected, int count, int focused);
    const QList<int> &order() const { return m_order; }

private:
    void visit(int index, bool selected);
    QList<int> m_order;
};
