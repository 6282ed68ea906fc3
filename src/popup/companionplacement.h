#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Where the pop-up list and its preview and tooltip windows stand, on the
// screen (monitor) that holds the caret or pointer.
namespace CompanionPlacement {

// The list's anchor: the caret, or the target window's client origin when
// the caret lies more than 25 px beyond the right or bottom edge of its screen.
QPoint listAnchor(QPoint caret, QPoint windowOrigin, QRect screen);

// The top-left corner that keeps a window of `size` placed at `at` inside the
// screen's right and bottom edges.
QPoint keptOnScreen(QPoint at, QSize size, QRect screen);

// The preview's left edge: right of the list when it fits, else left of it.
int previewLeft(int listLeft, int listWidth, int previewWidth, QRect screen);

// The tooltip's top-left corner for a tip of `size` with the pointer at
// `pointer`: 15 px right and below it, pulled back inside the screen, and
// above the pointer (never above the screen) where it would run off the bottom.
QPoint tipPosition(QSize size, QPoint pointer, QRect screen);

} // namespace CompanionPlacement
