#include "popup/itemtooltip.h"

#include "popup/companionplacement.h"
#include "popup/displaytext.h"

#include <QLabel>

ItemTooltip::ItemTooltip(QWidget *parent)
    : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus)
{
    setObjectName(QStringLiteral("frmHintWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setStyleSheet(QStringLiteral("ItemTooltip { background: palette(tooltip-base); border: 1px solid palette(dark); }"));
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::ToolTipBase);
    m_hint = new QLabel(this);
    m_hint->setObjectName(QStringLiteral("hint"));
    m_hint->setForegroundRole(QPalette::ToolTipText);
    // Item text is shown as the characters it holds, never read as markup.
    m_hint->setTextFormat(Qt::PlainText);
    m_hint->move(3, 3);
}

QString ItemTooltip::text() const
{
    return m_hint->text();
}

void ItemTooltip::showTip(const QString &text, QPoint pointer, QRect screen)
{
    m_hint->setWordWrap(false);
    m_hint->setText(DisplayText::excerpt(text));
    m_hint->adjustSize();
    QSize size = m_hint->size() + QSize(6, 6);
    // A tip that would run past the right edge from where it stood wraps instead.
    const int screenRight = screen.x() + screen.width();
    if (x() + size.width() > screenRight && x() < screenRight) {
        m_hint->setWordWrap(true);
        m_hint->setFixedWidth(std::max(20, screenRight - x()));
        m_hint->adjustSize();
        size = m_hint->size() + QSize(8, 8);
    }
    resize(size);
    move(CompanionPlacement::tipPosition(size, pointer, screen));
    if (isHidden())
        show();
}

void ItemTooltip::mousePressEvent(QMouseEvent *)
{
    hide();
}
