#include "popup/foundrowdelegate.h"

#include "popup/popuplistmodel.h"

#include <QPainter>

void FoundRowDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const QString category = index.data(PopupListModel::CategoryRole).toString();
    if (category.isEmpty()) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    // The name takes at most a third of the row; the alias the rest.
    const int gap = option.fontMetrics.averageCharWidth();
    const QString shown = option.fontMetrics.elidedText(category, Qt::ElideRight, option.rect.width() / 3);
    const int nameWidth = option.fontMetrics.horizontalAdvance(shown);
    QStyleOptionViewItem aliasPart = option;
    aliasPart.rect.setRight(option.rect.right() - nameWidth - 2 * gap);
    // The selection band runs under the name as well.
    QStyleOptionViewItem band = option;
    initStyleOption(&band, index);
    band.text.clear();
    band.icon = {};
    band.features &= ~QStyleOptionViewItem::HasDecoration;
    const QWidget *view = option.widget;
    QStyle *style = view ? view->style() : nullptr;
    if (style)
        style->drawControl(QStyle::CE_ItemViewItem, &band, painter, view);
    QStyledItemDelegate::paint(painter, aliasPart, index);

    const bool selected = option.state & QStyle::State_Selected;
    const QPalette::ColorGroup group = option.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
    const QColor ink = option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text);
    const QColor ground = option.palette.color(group, selected ? QPalette::Highlight : QPalette::Base);
    // Halfway between the text and the ground: readable, yet clearly second to the alias.
    const QColor quiet = QColor::fromRgbF((ink.redF() + ground.redF()) / 2, (ink.greenF() + ground.greenF()) / 2,
                                          (ink.blueF() + ground.blueF()) / 2);
    painter->save();
    painter->setPen(quiet);
    painter->setFont(option.font);
    const QRect nameRect(option.rect.right() - nameWidth - gap, option.rect.top(), nameWidth, option.rect.height());
    painter->drawText(nameRect, Qt::AlignRight | Qt::AlignVCenter, shown);
    painter->restore();
}
