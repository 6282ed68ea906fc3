#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Where the preview and tooltip windows stand beside the pop-up list.
namespace CompanionPlacement {

// The preview's left edge: right of the list when it fits, else left of it.
int previewLeft(int listLeft, int listWidth, int previewWidth, int screenWidth);

// The tooltip's top-left corner for a tip of `size` with the pointer at
// `pointer`: 15 px right and below it, pulled back inside the screen, and
// above the pointer (never above the screen) where it would run off the bottom.
QPoint tipPosition(QSize size, QPoint pointer, QSize screen);

} // namespace CompanionPlacement
