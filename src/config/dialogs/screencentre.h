#pragma once

class QWidget;

// Puts a window in the middle of its screen, as the program's windows open.
void centreOnScreen(QWidget *window);

// Shrinks a window that would reach past its screen's free area (a large font
// or a scaled desktop), never below what its contents need.
void fitOnScreen(QWidget *window);
