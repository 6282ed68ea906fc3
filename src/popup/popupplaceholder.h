#pragma once

#include <QWidget>

class QLabel;

// Stands where the pop-up list will open: a small frameless window at the
// anchor point, listing the current category's entries. It closes on Esc,
// Enter, a click or when another window takes the focus.
class PopupPlaceholder : public QWidget
{
    Q_OBJECT
public:
    explicit PopupPlaceholder(const QStringList &entries, QWidget *parent = nullptr);

signals:
    void closed();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    bool m_wasActive = false;
};
