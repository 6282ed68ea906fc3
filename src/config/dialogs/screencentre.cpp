#include "config/dialogs/screencentre.h"

#include <QScreen>
#include <QStyle>
#include <QWidget>

#include <algorithm>

namespace {

// What the window manager's frame adds around the window: the title bar
// and borders. Before the window is framed it is not known yet, so allow
// for a title bar and borders of the style's size.
QSize frameAllowance(const QWidget *window)
{
    const QSize frame = window->frameGeometry().size() - window->geometry().size();
    if (!frame.isEmpty())
        return frame;
    const int border = window->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, window);
    return QSize(2 * border, window->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window) + 2 * border);
}

} // namespace

void fitOnScreen(QWidget *window)
{
    const QScreen *screen = window->screen();
    if (!screen)
        return;
    const QSize frame = frameAllowance(window);
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
    const QRect free = screen->availableGeometry();
    QPoint place(area.x() + area.width() / 2 - window->width() / 2,
                 area.y() + area.height() / 2 - window->height() / 2);
    // Centred on the whole screen, but never with the title bar above the
    // free area or the bottom under a panel, as far as the window fits.
    const QSize frame = frameAllowance(window);
    place.setY(std::min(place.y(), free.bottom() + 1 - window->height() - (frame.height() - frame.width() / 2)));
    place.setY(std::max(place.y(), free.top() + frame.height() - frame.width() / 2));
    window->move(place);
}
