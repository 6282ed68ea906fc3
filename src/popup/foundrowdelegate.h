#pragma once

#include <QStyledItemDelegate>

// Draws a row of the pop-up list; a row found by a search across the
// categories also shows its category's name at its right, in a quieter
// colour, so the user knows where each one comes from.
class FoundRowDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
};
