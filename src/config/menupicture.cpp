#include "config/menupicture.h"

#include <QMenu>
#include <QMouseEvent>

MenuPicture::MenuPicture(QWidget *parent)
    : QLabel(parent)
{
    setObjectName(QStringLiteral("imgico"));
    const QString hint = QStringLiteral("Click to display menu!");
    setToolTip(hint);
    setAccessibleName(hint);
    setFixedSize(32, 32);
    setCursor(Qt::PointingHandCursor);
}

void MenuPicture::setMenu(QMenu *menu)
{
    m_menu = menu;
}

QMenu *MenuPicture::menu() const
{
    return m_menu;
}

void MenuPicture::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    if (m_menu)
        m_menu->popup(event->globalPosition().toPoint());
}
