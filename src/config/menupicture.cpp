#include "config/menupicture.h"

#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QStyle>

MenuPicture::MenuPicture(QWidget *parent)
    : QLabel(parent)
{
    setObjectName(QStringLiteral("imgico"));
    const QString hint = QStringLiteral("Click to display menu!");
    setToolTip(hint);
    setAccessibleName(hint);
    setFixedSize(32, 32);
    QIcon icon = QApplication::windowIcon();
    if (icon.isNull())
        icon = style()->standardIcon(QStyle::SP_TitleBarMenuButton);
    setPixmap(icon.pixmap(32, 32));
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
