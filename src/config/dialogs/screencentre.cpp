#include "config/dialogs/screencentre.h"

#include <QScreen>
#include <QWidget>

void centreOnScreen(QWidget *window)
{
    const QScreen *screen = window->screen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    window->move(area.x() + area.width() / 2 - window->width() / 2,
                 area.y() + area.height() / 2 - window->height() / 2);
}
