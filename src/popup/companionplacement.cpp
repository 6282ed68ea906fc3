#include "companionplacement.h"

#include <algorithm>

namespace CompanionPlacement {

int previewLeft(int listLeft, int listWidth, int previewWidth, int screenWidth)
{
    const int listRight = listLeft + listWidth;
    return listRight < screenWidth - previewWidth ? listRight : listLeft - previewWidth;
}

QPoint tipPosition(QSize size, QPoint pointer, QSize screen)
{
    QPoint at = pointer + QPoint(15, 15);
    if (size.width() + at.x() > screen.width() && size.width() < screen.width())
        at.setX(screen.width() - size.width());
    if (size.height() + at.y() > screen.height())
        at.setY(std::max(0, pointer.y() - size.height() - 15));
    return at;
}

} // namespace CompanionPlacement
