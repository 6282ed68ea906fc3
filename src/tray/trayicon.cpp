#include "tray/trayicon.h"

#include "tray/traymenu.h"

#include <QMenu>
#include <QPainter>

// Drawn rather than shipped so the icon needs no image plugin: a clipboard,
// green while the hotkey is live and grey while it is off.
QIcon TrayIcon::drawIcon(bool active)
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

TrayIcon::TrayIcon(const Collection &collection, const Options &options, ItemClipboard &clipboard,
                   MessageBoxService &messages, const Desktop &desktop, QObject *parent)
    : QObject(parent)
    , m_menu(new TrayMenu(collection, options, clipboard, messages))
    // Qt chose its back end when m_icon was made; this is the same choice.
    , m_kind(desktop.trayKind())
{
    setObjectName(QStringLiteral("TI"));
    setToolTip(QStringLiteral("Scrapkeeper v2.3"));
    m_icon.setIcon(drawIcon(true));
    connect(&m_icon, &QSystemTrayIcon::activated, this, &TrayIcon::activate);
}

void TrayIcon::activate(QSystemTrayIcon::ActivationReason reason)
{
    // An embedded icon: a single click does nothing, the menu comes from the
    // right button. A StatusNotifierItem's activation is the only left click
    // its host reports, so it stands for the double click.
    const bool opens = reason == QSystemTrayIcon::DoubleClick
        || (reason == QSystemTrayIcon::Trigger && m_kind == Desktop::TrayKind::StatusNotifier);
    if (opens)
        emit configurationRequested();
}

TrayIcon::~TrayIcon()
{
    m_icon.setContextMenu(nullptr);
    delete m_menu;
    delete m_noMenu;
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

void TrayIcon::setToolTip(const QString &tip)
{
    m_icon.setToolTip(tip.left(ToolTipLength));
}

bool TrayIcon::isMenuAttached() const
{
    return m_icon.contextMenu() == m_menu;
}

void TrayIcon::setMenuAttached(bool attached)
{
    if (m_kind == Desktop::TrayKind::XEmbed) {
        m_icon.setContextMenu(attached ? m_menu : nullptr);
        return;
    }
    if (attached == isMenuAttached())
        return;
    // A StatusNotifierItem host draws the menu itself from what the item
    // exports, and Qt goes on exporting the last menu it was given when it is
    // taken away: an empty menu in its place offers nothing. Qt's bus export
    // of a menu cannot be taken up again once it was dropped (the program
    // crashes), so each change exports a menu never exported before: a new
    // empty one, or the tray menu with a new bus counterpart.
    QMenu *dropped = m_noMenu;
    if (attached) {
        m_noMenu = nullptr;
        m_menu->setPlatformMenu(nullptr);
        m_icon.setContextMenu(m_menu);
    } else {
        m_noMenu = new QMenu;
        m_icon.setContextMenu(m_noMenu);
    }
    delete dropped;
}

bool TrayIcon::showNotice(const QString &title, const QString &text)
{
    if (!m_icon.isVisible() || !QSystemTrayIcon::supportsMessages())
        return false;
    m_icon.showMessage(title, text, QSystemTrayIcon::Warning);
    return true;
}
