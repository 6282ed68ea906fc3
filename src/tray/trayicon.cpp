#include "tray/trayicon.h"

#include <QPainter>

namespace {

// Drawn rather than shipped so the icon needs no image plugin: a clipboard,
// green while the hotkey is live and grey while it is off.
QIcon drawIcon(bool active)
{
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        const qreal u = size / 16.0;
        p.setPen(QPen(QColor(60, 40, 20), u));
        p.setBrush(QColor(181, 134, 84));
        p.drawRoundedRect(QRectF(2.5 * u, 2 * u, 11 * u, 13.5 * u), u, u);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4 * u, 4 * u, 8 * u, 10 * u));
        p.setBrush(active ? QColor(40, 160, 60) : QColor(150, 150, 150));
        p.drawRoundedRect(QRectF(5.5 * u, 1 * u, 5 * u, 3 * u), u, u);
        p.setPen(QPen(QColor(90, 90, 90), u * 0.8));
        for (int line = 0; line < 3; ++line)
            p.drawLine(QPointF(5 * u, (7 + 2.5 * line) * u), QPointF(11 * u, (7 + 2.5 * line) * u));
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace

TrayIcon::TrayIcon(QObject *parent)
    : QObject(parent)
{
    setObjectName(QStringLiteral("TI"));
    m_menu.setObjectName(QStringLiteral("stpm"));
    QAction *configuration = m_menu.addAction(QStringLiteral("&Configuration..."));
    configuration->setObjectName(QStringLiteral("Options1"));
    m_menu.setDefaultAction(configuration);
    m_menu.addSeparator();
    m_autoText = m_menu.addAction(QStringLiteral("Auto Capture &Text"));
    m_autoText->setObjectName(QStringLiteral("AutoText1"));
    m_autoText->setCheckable(true);
    m_autoImages = m_menu.addAction(QStringLiteral("Auto Capture &Images"));
    m_autoImages->setObjectName(QStringLiteral("AutoBmp1"));
    m_autoImages->setCheckable(true);
    m_menu.addSeparator();
    QAction *exit = m_menu.addAction(QStringLiteral("E&xit Scrapkeeper"));
    exit->setObjectName(QStringLiteral("Exit1"));
    connect(configuration, &QAction::triggered, this, &TrayIcon::configurationRequested);
    connect(exit, &QAction::triggered, this, &TrayIcon::exitRequested);

    m_icon.setContextMenu(&m_menu);
    m_icon.setToolTip(QStringLiteral("Scrapkeeper v2.3"));
    m_icon.setIcon(drawIcon(true));
    connect(&m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::DoubleClick)
            emit configurationRequested();
    });
}

void TrayIcon::setVisible(bool visible)
{
    m_icon.setVisible(visible);
}

void TrayIcon::setActive(bool active)
{
    if (m_active == active)
        return;
    m_active = active;
    m_icon.setIcon(drawIcon(active));
}
