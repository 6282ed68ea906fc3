#pragma once

#include <QWidget>

class QLabel;

// The tooltip window that follows the mouse over the list.
class ItemTooltip : public QWidget
{
    Q_OBJECT
public:
    explicit ItemTooltip(QWidget *parent = nullptr);
    void showTip(const QString &text, QPoint pointer, QRect screen);
    QString text() const;

protected:
    void mousePressEvent(QMouseEvent *event) override;

private:
    QLabel *m_hint = nullptr;
};
