#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

// Between the compositor's layout coordinates (where it reports windows and
// carets and takes places for ours) and Qt's own. They differ on an output
// where Qt scales by a factor of its own (QT_SCALE_FACTOR): the compositor
// knows nothing of it, so an output 1280 wide is 853 wide to Qt at 1.5. Qt
// keeps each output's top-left corner and scales from there. An output Qt
// does not know (or none at all) maps one to one.
class LayoutMapping
{
public:
    struct Output
    {
        QString name;
        QRect layout;        // as the compositor reports it
        double factor = 1;   // Qt's own scale on it: layout pixels per Qt pixel
    };

    LayoutMapping() = default;
    explicit LayoutMapping(QList<Output> outputs);

    QPoint toQt(QPoint layout) const;
    QPoint toLayout(QPoint qt) const;
    // A size of Qt's standing at `qtAt`, in layout pixels.
    QSize sizeToLayout(QSize size, QPoint qtAt) const;

private:
    struct Area
    {
        QRect layout;
        QRect qt;
        double factor;
    };
    const Area *areaAtLayout(QPoint layout) const;
    const Area *areaAtQt(QPoint qt) const;
    QList<Area> m_areas;
};
