#include "auxiliary/weblink.h"

#include <QMouseEvent>

WebLink::WebLink(const QString &address, QWidget *parent)
    : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setText(address);
    setCursor(Qt::PointingHandCursor);
    QFont underlined = font();
    underlined.setUnderline(true);
    setFont(underlined);
    showPressed(false);
}

void WebLink::mousePressEvent(QMouseEvent *event)
{
    showPressed(true);
    event->accept();
}

void WebLink::mouseReleaseEvent(QMouseEvent *event)
{
    const bool wasPressed = m_pressed;
    showPressed(false);
    event->accept();
    if (wasPressed && rect().contains(event->position().toPoint()))
        emit clicked();
}

void WebLink::showPressed(bool pressed)
{
    m_pressed = pressed;
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, pressed ? Qt::red : Qt::blue);
    setPalette(colours);
}
