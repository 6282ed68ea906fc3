#include "popupplaceholder.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>

PopupPlaceholder::PopupPlaceholder(const QStringList &entries, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("frmlb"));
    setWindowTitle(QStringLiteral("Scrapkeeper pop-up list"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    const QStringList shown = entries.isEmpty() ? QStringList{QStringLiteral("(no items)")} : entries.mid(0, 8);
    for (const QString &entry : shown)
        layout->addWidget(new QLabel(entry, this));
    setStyleSheet(QStringLiteral("PopupPlaceholder { border: 1px solid palette(dark); background: palette(base); }"));
    setFocusPolicy(Qt::StrongFocus);
}

void PopupPlaceholder::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void PopupPlaceholder::mousePressEvent(QMouseEvent *)
{
    close();
}

void PopupPlaceholder::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::ActivationChange)
        return;
    // Losing the focus to another window ends the list, as a menu would.
    if (isActiveWindow())
        m_wasActive = true;
    else if (m_wasActive)
        close();
}

void PopupPlaceholder::closeEvent(QCloseEvent *event)
{
    emit closed();
    QWidget::closeEvent(event);
}
