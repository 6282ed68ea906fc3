#pragma once

class QWidget;

// Puts a window in the middle of its screen, as the program's windows open.
void centreOnScreen(QWidget *window);
