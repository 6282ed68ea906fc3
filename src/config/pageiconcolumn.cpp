#include "config/pageiconcolumn.h"

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QVBoxLayout>

namespace {

constexpr int kIconWidth = 60;
constexpr int kPictureSize = 32;
constexpr int kIndentTop = 5;
constexpr int kIndent = 2;
constexpr int kTextFlags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap;

} // namespace

QPixmap PageIcon::picture(const QIcon &icon, int side, qreal ratio, QIcon::Mode mode)
{
    // A theme may offer a picture only smaller and larger than the column's
    // size: the larger one, scaled down, keeps every page's picture one size.
    QSize source;
    QSize largest;
    for (const QSize &size : icon.availableSizes(mode)) {
        if (size.width() >= side && (source.isEmpty() || size.width() < source.width()))
            source = size;
        if (size.width() > largest.width())
            largest = size;
    }
    if (source.isEmpty())
        source = largest.isEmpty() ? QSize(side, side) : largest;
    QPixmap pixmap = icon.pixmap(source, ratio, mode);
    const QSize wanted = QSize(side, side) * ratio;
    if (!pixmap.isNull() && pixmap.size() != wanted)
        pixmap = pixmap.scaled(wanted, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    pixmap.setDevicePixelRatio(ratio);
    return pixmap;
}

PageIcon::PageIcon(const QIcon &icon, const QString &caption, QWidget *parent)
    : QWidget(parent)
    , m_icon(icon)
    , m_caption(caption)
{
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    setAccessibleName(caption);
    setToolTip(caption);
    setFixedWidth(kIconWidth);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setFixedHeight(heightForWidth(kIconWidth));
}

void PageIcon::setCurrent(bool current)
{
    if (m_current == current)
        return;
    m_current = current;
    update();
}

void PageIcon::setColumnActive(bool active)
{
    if (m_columnActive == active)
        return;
    m_columnActive = active;
    update();
}

QRect PageIcon::captionRect(int width) const
{
    const QRect bounds = fontMetrics().boundingRect(QRect(kIndent, 0, width - 2 * kIndent, 1000), kTextFlags, m_caption);
    return QRect(kIndent, kPictureSize + kIndentTop, width - 2 * kIndent, bounds.height() + 2);
}

QSize PageIcon::sizeHint() const
{
    return {kIconWidth, heightForWidth(kIconWidth)};
}

int PageIcon::heightForWidth(int width) const
{
    return captionRect(width).bottom() + 3;
}

void PageIcon::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QPalette &colours = palette();
    const bool bright = m_current && m_columnActive;
    const QRect picture((width() - kPictureSize) / 2, 0, kPictureSize, kPictureSize);
    const QPixmap shown = PageIcon::picture(m_icon, kPictureSize, devicePixelRatioF(), bright ? QIcon::Selected : QIcon::Normal);
    painter.drawPixmap(picture.topLeft() + QPoint((kPictureSize - int(shown.deviceIndependentSize().width())) / 2,
                                                  (kPictureSize - int(shown.deviceIndependentSize().height())) / 2),
                       shown);

    // Chosen and in use: the highlight; chosen while the focus is elsewhere: a softer face.
    const QRect caption = captionRect(width());
    QColor background = colours.color(QPalette::Base);
    QColor text = colours.color(QPalette::Text);
    if (bright) {
        background = colours.color(QPalette::Highlight);
        text = colours.color(QPalette::HighlightedText);
    } else if (m_current) {
        background = colours.color(QPalette::Button);
        text = colours.color(QPalette::ButtonText);
    }
    painter.fillRect(caption, background);
    painter.setPen(text);
    painter.drawText(caption.adjusted(0, 1, 0, 0), kTextFlags, m_caption);
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = caption;
        focus.backgroundColor = background;
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}

void PageIcon::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    setFocus(Qt::MouseFocusReason);
    emit chosen();
}

void PageIcon::keyPressEvent(QKeyEvent *event)
{
    auto *column = qobject_cast<PageIconColumn *>(parentWidget());
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        emit chosen();
        return;
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (column)
            column->moveFocus(int(column->m_icons.indexOf(this)), event->key() == Qt::Key_Up ? -1 : 1);
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void PageIcon::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    update();
}

void PageIcon::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    update();
}

// ---- the column ---------------------------------------------------------------------

PageIconColumn::PageIconColumn(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("OptionsPanel"));
    setAccessibleName(QStringLiteral("Pages"));
    setFixedWidth(ColumnWidth);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(0, 6, 0, 6);
    m_layout->setSpacing(10);
    m_layout->addStretch(1);
    connect(qApp, &QApplication::focusChanged, this, &PageIconColumn::followFocus);
}

int PageIconColumn::addIcon(const char *objectName, const QIcon &icon, const QString &caption)
{
    auto *added = new PageIcon(icon, caption, this);
    added->setObjectName(QLatin1String(objectName));
    const int index = int(m_icons.size());
    m_icons.append(added);
    m_layout->insertWidget(index, added, 0, Qt::AlignHCenter);
    connect(added, &PageIcon::chosen, this, [this, index] { emit pageChosen(index); });
    return index;
}

void PageIconColumn::setCurrent(int index)
{
    m_current = index;
    for (int i = 0; i < m_icons.size(); ++i)
        m_icons[i]->setCurrent(i == index);
    if (QAccessible::isActive() && index >= 0 && index < m_icons.size()) {
        QAccessibleEvent selected(m_icons[index], QAccessible::Selection);
        QAccessible::updateAccessibility(&selected);
    }
}

void PageIconColumn::followFocus()
{
    const QWidget *focus = QApplication::focusWidget();
    const bool active = focus && isAncestorOf(focus);
    for (PageIcon *icon : std::as_const(m_icons))
        icon->setColumnActive(active);
}

void PageIconColumn::moveFocus(int from, int step)
{
    const int to = from + step;
    if (to >= 0 && to < m_icons.size())
        m_icons[to]->setFocus(Qt::TabFocusReason);
}
