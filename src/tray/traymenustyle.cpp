#include "tray/traymenustyle.h"

#include <QPainter>
#include <QStyleOptionMenuItem>
#include <qdrawutil.h>

QSize TrayMenuStyle::sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &size,
                                      const QWidget *widget) const
{
    QSize result = QProxyStyle::sizeFromContents(type, option, size, widget);
    if (type != CT_MenuItem)
        return result;
    const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
    const bool separator = item && item->menuItemType == QStyleOptionMenuItem::Separator;
    result.setHeight(separator ? TrayMenuLook::SeparatorHeight : TrayMenuLook::EntryHeight);
    result.rwidth() += m_look.barWidth;
    return result;
}

QRect TrayMenuStyle::barRect(const QRect &menuRect, const QWidget *menu) const
{
    if (m_look.barWidth <= 0)
        return {};
    const int frame = pixelMetric(PM_MenuPanelWidth, nullptr, menu);
    const int margin = pixelMetric(PM_MenuHMargin, nullptr, menu);
    return QRect(menuRect.left() + frame, menuRect.top() + frame, margin + m_look.barWidth,
                 menuRect.height() - 2 * frame);
}

void TrayMenuStyle::drawBar(const QStyleOption *option, QPainter *painter, const QWidget *widget) const
{
    const QRect bar = barRect(widget ? widget->rect() : option->rect, widget);
    if (bar.isEmpty())
        return;
    const QColor colour = option->palette.color(QPalette::Active, QPalette::Highlight);
    QLinearGradient shade(bar.topLeft(), bar.bottomLeft());
    shade.setColorAt(0, colour.lighter(115));
    shade.setColorAt(1, colour.darker(160));
    painter->fillRect(bar, shade);
}

void TrayMenuStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                                  const QWidget *widget) const
{
    QProxyStyle::drawPrimitive(element, option, painter, widget);
    if (element == PE_PanelMenu)
        drawBar(option, painter, widget);
}

void TrayMenuStyle::drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                                const QWidget *widget) const
{
    if (element == CE_MenuEmptyArea) {
        QProxyStyle::drawControl(element, option, painter, widget);
        drawBar(option, painter, widget);
        return;
    }
    const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
    if (element != CE_MenuItem || !item) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    // The entry is drawn right of the bar, which the panel already painted.
    QStyleOptionMenuItem shifted(*item);
    shifted.rect.setLeft(item->rect.left() + m_look.barWidth);
    const bool selected = (item->state & State_Selected) && (item->state & State_Enabled)
                          && item->menuItemType != QStyleOptionMenuItem::Separator;
    if (selected && m_look.selection != TrayMenuLook::Selection::Standard) {
        // The desktop's own bevel colours, so the button fits the theme.
        const QBrush face = item->palette.brush(QPalette::Button);
        qDrawShadePanel(painter, shifted.rect, item->palette,
                        m_look.selection == TrayMenuLook::Selection::Lowered, 2, &face);
        shifted.state &= ~State_Selected;
        shifted.palette.setBrush(QPalette::Text, item->palette.brush(QPalette::ButtonText));
        shifted.palette.setBrush(QPalette::WindowText, item->palette.brush(QPalette::ButtonText));
    }
    QProxyStyle::drawControl(element, &shifted, painter, widget);
}
