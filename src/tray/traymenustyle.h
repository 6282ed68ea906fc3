#pragma once

#include "tray/traymenulook.h"

#include <QProxyStyle>

// The tray menu's own look over the desktop's style: fixed entry heights, a
// bar in the highlight colour along the left edge, and optionally the entry
// under the mouse drawn as a raised or lowered button. Everything else is
// the desktop style's, so the menu fits light and dark themes.
class TrayMenuStyle : public QProxyStyle
{
    Q_OBJECT
public:
    void setLook(const TrayMenuLook &look) { m_look = look; }
    const TrayMenuLook &look() const { return m_look; }

    QSize sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &size,
                           const QWidget *widget) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget) const override;
    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget) const override;

    // Where the bar lies in a menu of this outer rectangle.
    QRect barRect(const QRect &menuRect, const QWidget *menu) const;

private:
    void drawBar(const QStyleOption *option, QPainter *painter, const QWidget *widget) const;

    TrayMenuLook m_look;
};
