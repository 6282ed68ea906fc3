#include "platform/wayland/layoutmapping.h"

#include <algorithm>
#include <cmath>

namespace {

// The area a point lies in, else the one nearest to it: a caret a little
// past an edge still belongs to the output it came from.
template<typename Area, typename RectOf>
const Area *areaAt(const QList<Area> &areas, QPoint point, RectOf rectOf)
{
    const Area *nearest = nullptr;
    qint64 nearestDistance = 0;
    for (const Area &area : areas) {
        const QRect rect = rectOf(area);
        if (rect.contains(point))
            return &area;
        const qint64 dx = std::max({rect.left() - point.x(), 0, point.x() - rect.right()});
        const qint64 dy = std::max({rect.top() - point.y(), 0, point.y() - rect.bottom()});
        const qint64 distance = dx * dx + dy * dy;
        if (!nearest || distance < nearestDistance) {
            nearest = &area;
            nearestDistance = distance;
        }
    }
    return nearest;
}

int scaled(int value, double factor)
{
    return int(std::lround(value * factor));
}

} // namespace

LayoutMapping::LayoutMapping(QList<Output> outputs)
{
    // Only an output with a size and a sane factor can map.
    for (const Output &output : outputs) {
        if (output.layout.isEmpty() || !(output.factor >= 0.1 && output.factor <= 10))
            continue;
        const QSize qtSize(scaled(output.layout.width(), 1 / output.factor),
                           scaled(output.layout.height(), 1 / output.factor));
        m_areas.append({output.layout, QRect(output.layout.topLeft(), qtSize), output.factor});
    }
}

const LayoutMapping::Area *LayoutMapping::areaAtLayout(QPoint layout) const
{
    return areaAt(m_areas, layout, [](const Area &area) { return area.layout; });
}

const LayoutMapping::Area *LayoutMapping::areaAtQt(QPoint qt) const
{
    return areaAt(m_areas, qt, [](const Area &area) { return area.qt; });
}

QPoint LayoutMapping::toQt(QPoint layout) const
{
    const Area *area = areaAtLayout(layout);
    if (!area)
        return layout;
    const QPoint from = layout - area->layout.topLeft();
    return area->qt.topLeft() + QPoint(scaled(from.x(), 1 / area->factor), scaled(from.y(), 1 / area->factor));
}

QPoint LayoutMapping::toLayout(QPoint qt) const
{
    const Area *area = areaAtQt(qt);
    if (!area)
        return qt;
    const QPoint from = qt - area->qt.topLeft();
    return area->layout.topLeft() + QPoint(scaled(from.x(), area->factor), scaled(from.y(), area->factor));
}

QSize LayoutMapping::sizeToLayout(QSize size, QPoint qtAt) const
{
    const Area *area = areaAtQt(qtAt);
    if (!area)
        return size;
    return {scaled(size.width(), area->factor), scaled(size.height(), area->factor)};
}
