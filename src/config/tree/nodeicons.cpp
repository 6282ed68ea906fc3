#include "config/tree/nodeicons.h"

#include <QPainter>
#include <QPainterPath>

#include <array>

namespace {

QPixmap canvas(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

void drawFolder(QPainter &p, qreal u, bool open)
{
    p.setPen(QPen(QColor(120, 90, 20), u * 0.8));
    p.setBrush(QColor(230, 190, 80));
    p.drawRect(QRectF(1.5 * u, 3.5 * u, 5 * u, 2 * u));  // the tab
    p.drawRect(QRectF(1.5 * u, 4.5 * u, 13 * u, 9 * u));
    if (open) {
        QPainterPath flap;
        flap.moveTo(3.5 * u, 7.5 * u);
        flap.lineTo(15.5 * u, 7.5 * u);
        flap.lineTo(13.5 * u, 13.5 * u);
        flap.lineTo(1.5 * u, 13.5 * u);
        flap.closeSubpath();
        p.setBrush(QColor(250, 220, 130));
        p.drawPath(flap);
    }
}

void drawPage(QPainter &p, qreal u, const QColor &lines)
{
    p.setPen(QPen(QColor(90, 90, 90), u * 0.8));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(3.5 * u, 1.5 * u, 9 * u, 13 * u));
    p.setPen(QPen(lines, u));
    for (int line = 0; line < 4; ++line)
        p.drawLine(QPointF(5 * u, (4.5 + 2.5 * line) * u), QPointF(11 * u, (4.5 + 2.5 * line) * u));
}

void drawPicture(QPainter &p, qreal u)
{
    p.setPen(QPen(QColor(60, 60, 60), u * 0.8));
    p.setBrush(QColor(150, 200, 245));
    p.drawRect(QRectF(1.5 * u, 3.5 * u, 13 * u, 10 * u));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 150, 60));
    QPainterPath hill;
    hill.moveTo(2 * u, 13 * u);
    hill.lineTo(6.5 * u, 7.5 * u);
    hill.lineTo(10 * u, 11 * u);
    hill.lineTo(12 * u, 9 * u);
    hill.lineTo(14 * u, 13 * u);
    hill.closeSubpath();
    p.drawPath(hill);
    p.setBrush(QColor(250, 210, 50));
    p.drawEllipse(QPointF(11.5 * u, 6 * u), 1.3 * u, 1.3 * u);
}

QIcon draw(NodeIcons::Kind kind)
{
    QIcon icon;
    for (const int size : {16, 24, 32}) {
        QPixmap pixmap = canvas(size);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        const qreal u = size / 16.0;
        switch (kind) {
        case NodeIcons::Kind::ClosedCategory: drawFolder(p, u, false); break;
        case NodeIcons::Kind::OpenCategory: drawFolder(p, u, true); break;
        case NodeIcons::Kind::Text: drawPage(p, u, QColor(110, 110, 110)); break;
        case NodeIcons::Kind::RichText:
            drawPage(p, u, QColor(200, 40, 40));
            p.setPen(QPen(QColor(30, 60, 200), 1.5 * u));
            p.drawLine(QPointF(5 * u, 12 * u), QPointF(11 * u, 12 * u));
            break;
        case NodeIcons::Kind::Picture: drawPicture(p, u); break;
        }
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace

const QIcon &NodeIcons::icon(Kind kind)
{
    static const std::array<QIcon, 5> icons{draw(Kind::ClosedCategory), draw(Kind::OpenCategory), draw(Kind::Text),
                                            draw(Kind::Picture), draw(Kind::RichText)};
    return icons[size_t(kind)];
}
