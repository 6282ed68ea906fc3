#include "popup/companionplacement.h"

#include <algorithm>

namespace CompanionPlacement {

namespace {
// Right and bottom edges as the first coordinate past the screen.
int rightOf(QRect screen) { return screen.x() + screen.width(); }
int bottomOf(QRect screen) { return screen.y() + screen.height(); }
} // namespace

QPoint listAnchor(QPoint caret, QPoint windowOrigin, QRect screen)
{
    if (caret.x() > rightOf(screen) + 25 || caret.y() > bottomOf(screen) + 25)
        return windowOrigin;
    return caret;
}

QPoint keptOnScreen(QPoint at, QSize size, QRect screen)
{
    if (at.y() + size.height() > bottomOf(screen))
        at.setY(bottomOf(screen) - size.height());
    if (at.x() + size.width() > rightOf(screen))
        at.setX(rightOf(screen) - size.width());
    return at;
}

int previewLeft(int listLeft, int listWidth, int previewWidth, QRect screen)
{
    const int listRight = listLeft + listWidth;
    return listRight < rightOf(screen) - previewWidth ? listRight : listLeft - previewWidth;
}

QPoint tipPosition(QSize size, QPoint pointer, QRect screen)
{
    QPoint at = pointer + QPoint(15, 15);
    if (size.width() + at.x() > rightOf(screen) && size.width() < screen.width())
        at.setX(rightOf(screen) - size.width());
    if (size.height() + at.y() > bottomOf(screen))
        at.setY(std::max(screen.y(), pointer.y() - size.height() - 15));
    return at;
}

} // namespace CompanionPlacement
