#include "popup/selectionorder.h"

#include <QSet>

#include <algorithm>

void SelectionOrder::update(QList<int> selected, int count, int focused)
{
    std::sort(selected.begin(), selected.end());
    const auto isSelected = [&selected](int index) {
        return std::binary_search(selected.cbegin(), selected.cend(), index);
    };
    // Entries that no longer exist or are no longer selected leave the order first.
    m_order.removeIf([&](int index) { return index >= count || !isSelected(index); });
    QSet<int> listed(m_order.cbegin(), m_order.cend());
    const auto join = [this, &listed](int index) {
        if (!listed.contains(index)) {
            listed.insert(index);
            m_order.append(index);
        }
    };
    for (const int index : std::as_const(selected)) {
        if (index >= 0 && index < focused && index < count)
            join(index);
    }
    for (auto it = selected.crbegin(); it != selected.crend(); ++it) {
        if (*it > focused && *it < count && *it >= 0)
            join(*it);
    }
    if (focused >= 0 && focused < count && isSelected(focused))
        join(focused);
}
