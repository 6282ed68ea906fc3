#pragma once

#include <QLabel>
#include <QPointer>

class QMenu;

// The picture in the configuration window's button bar that stands in for
// the tray icon when there is none: any mouse button on it opens the tray
// menu where the mouse is.
class MenuPicture : public QLabel
{
    Q_OBJECT
public:
    explicit MenuPicture(QWidget *parent = nullptr);

    void setMenu(QMenu *menu);
    QMenu *menu() const;

protected:
    void mousePressEvent(QMouseEvent *event) override;

private:
    QPointer<QMenu> m_menu;
};
