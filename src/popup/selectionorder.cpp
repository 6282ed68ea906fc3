#include "popup/selectionorder.h"

void SelectionOrder::visit(int index, bool selected)
{
    const bool listed = m_order.contains(index);
    if (selected && !listed)
        m_order.append(index);
    else if (!selected && listed)
        m_order.removeAll(index);
}

void SelectionOrder::update(const std::function<bool(int)> &isSelected, int count, int focused)
{
    // Entries that no longer exist leave the order first.
    m_order.removeIf([count](int index) { return index >= count; });
    for (int i = 0; i < focused && i < count; ++i)
        visit(i, isSelected(i));
    for (int i = count - 1; i > focused; --i)
        visit(i, isSelected(i));
    if (focused >= 0 && focused < count)
        visit(focused, isSelected(focused));
}
