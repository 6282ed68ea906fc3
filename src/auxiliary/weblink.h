#pragma once

#include <QLabel>

// An address shown as a link: blue and underlined with a hand cursor, red
// while a mouse button is held on it; a click on it asks for it to be opened.
class WebLink : public QLabel
{
    Q_OBJECT
public:
    explicit WebLink(const QString &address, QWidget *parent = nullptr);

    bool isPressed() const { return m_pressed; }

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void showPressed(bool pressed);

    bool m_pressed = false;
};
