#include "config/dialogs/screencentre.h"

#include <QScreen>
#include <QStyle>
#include <QWidget>

void fitOnScreen(QWidget *window)
{
    const QScreen *screen = window->screen();
    if (!screen)
        return;
    // Before the window manager framed the window its frame is not known yet:
    // allow for a title bar and borders of the style's size.
    QSize frame = window->frameGeometry().size() - window->geometry().size();
    if (frame.isEmpty()) {
        const int border = window->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, window);
        frame = QSize(2 * border, window->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window) + 2 * border);
    }
    const QSize room = screen->availableGeometry().size() - frame;
    const QSize fitted = window->size().boundedTo(room).expandedTo(window->minimumSizeHint());
    if (fitted != window->size())
        window->resize(fitted);
}

void centreOnScreen(QWidget *window)
{
    const QScreen *screen = window->screen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    window->move(area.x() + area.width() / 2 - window->width() / 2,
                 area.y() + area.height() / 2 - window->height() / 2);
}
