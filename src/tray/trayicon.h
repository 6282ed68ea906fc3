#pragma once

#include <QMenu>
#include <QObject>
#include <QSystemTrayIcon>

// The program's icon in the notification area and its menu.
class TrayIcon : public QObject
{
    Q_OBJECT
public:
    explicit TrayIcon(QObject *parent = nullptr);

    void setVisible(bool visible);
    bool isVisible() const { return m_icon.isVisible(); }
    // The active picture shows that the pop-up hotkey is live.
    void setActive(bool active);
    bool isActive() const { return m_active; }
    QMenu *menu() { return &m_menu; }
    QAction *autoTextAction() const { return m_autoText; }
    QAction *autoImagesAction() const { return m_autoImages; }

signals:
    void configurationRequested();
    void exitRequested();

private:
    QSystemTrayIcon m_icon;
    QMenu m_menu;
    bool m_active = true;
    QAction *m_autoText = nullptr;
    QAction *m_autoImages = nullptr;
};
