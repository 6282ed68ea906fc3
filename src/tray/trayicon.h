#pragma once

#include "platform/desktop.h"

#include <QObject>
#include <QSystemTrayIcon>

class Collection;
class ItemClipboard;
class MessageBoxService;
class QMenu;
class Options;
class TrayMenu;

// The program's icon in the notification area. A double click asks for the
// configuration window; a right click opens the tray menu while it is
// attached, which the program does only while its window is out of sight.
// A StatusNotifierItem host knows no double click: its activation (a left
// click there) asks for the window instead.
class TrayIcon : public QObject
{
    Q_OBJECT
public:
    // Longer tips are cut to this many characters.
    static constexpr int ToolTipLength = 62;

    TrayIcon(const Collection &collection, const Options &options, ItemClipboard &clipboard,
             MessageBoxService &messages, const Desktop &desktop, QObject *parent = nullptr);
    ~TrayIcon() override;

    void setVisible(bool visible);
    bool isVisible() const { return m_icon.isVisible(); }
    // The active picture shows that the pop-up hotkey is live.
    void setActive(bool active);
    bool isActive() const { return m_active; }
    void setToolTip(const QString &tip);
    QString toolTip() const { return m_icon.toolTip(); }
    QIcon picture() const { return m_icon.icon(); }
    // The program's picture, as the tray shows it with the hotkey live or off.
    static QIcon drawIcon(bool active);
    void setMenuAttached(bool attached);
    bool isMenuAttached() const;

    TrayMenu *menu() const { return m_menu; }
    Desktop::TrayKind kind() const { return m_kind; }

    // A passing message at the icon; false when the desktop cannot show one there.
    bool showNotice(const QString &title, const QString &text);

    // What a click on the icon, as the notification area reports it, does.
    void activate(QSystemTrayIcon::ActivationReason reason);

signals:
    void configurationRequested();

private:
    QSystemTrayIcon m_icon;
    TrayMenu *m_menu = nullptr;
    QMenu *m_noMenu = nullptr;  // what a StatusNotifierItem exports while the menu is off
    bool m_active = true;
    Desktop::TrayKind m_kind;
};
