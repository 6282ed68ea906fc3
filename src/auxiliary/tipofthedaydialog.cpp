#include "auxiliary/tipofthedaydialog.h"

#include "auxiliary/tips.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QStyle>
#include <QStyleOptionButton>
#include <QVBoxLayout>

namespace {

// The tip's card: "Did you know..." with the program's picture, in the
// desktop's tooltip colours.
class TipCard : public QWidget
{
public:
    explicit TipCard(QWidget *parent)
        : QWidget(parent)
    {
        setFixedSize(265, 153);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        const QPalette &colours = palette();
        painter.fillRect(rect(), colours.color(QPalette::ToolTipBase));
        painter.setPen(colours.color(QPalette::ToolTipText));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
        const QIcon icon = QApplication::windowIcon().isNull()
                               ? style()->standardIcon(QStyle::SP_MessageBoxInformation)
                               : QApplication::windowIcon();
        icon.paint(&painter, QRect(8, 8, 32, 32));
        QFont heading = font();
        heading.setBold(true);
        painter.setFont(heading);
        painter.drawText(QPoint(48, 16 + painter.fontMetrics().ascent()), QStringLiteral("Did you know..."));
    }
};

} // namespace

TipOfTheDayDialog::TipOfTheDayDialog(int index, bool showOnStart, QWidget *parent)
    // Stays above other windows while open, as a reminder that it waits.
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint)
    , m_index(index >= 0 && index < Tips::count() ? index : 0)
{
    setObjectName(QStringLiteral("frmTotd"));
    setWindowTitle(QStringLiteral("Scrapkeeper: Tip Of The Day"));

    auto *card = new TipCard(this);
    card->setObjectName(QStringLiteral("paintbox"));
    m_tip = new QLabel(card);
    m_tip->setObjectName(QStringLiteral("tlbl"));
    m_tip->setTextFormat(Qt::PlainText);
    m_tip->setWordWrap(true);
    m_tip->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_tip->setGeometry(8, 45, 249, 104);
    m_tip->setForegroundRole(QPalette::ToolTipText);
    m_tip->setAccessibleName(QStringLiteral("Tip"));
    // The first tip points at the tray icon: a picture of it goes with it.
    m_trayPicture = new QLabel(card);
    m_trayPicture->setObjectName(QStringLiteral("trayimg"));
    m_trayPicture->setPixmap(QApplication::windowIcon().pixmap(22, 22));
    m_trayPicture->setGeometry(card->width() - 34, card->height() - 30, 22, 22);

    m_showOnStart = new QCheckBox(QStringLiteral("Show tips on startup"));
    m_showOnStart->setObjectName(QStringLiteral("showtipcb"));
    m_showOnStart->setChecked(showOnStart);
    auto *recommended = new QLabel(QStringLiteral("(recommended)"));
    recommended->setObjectName(QStringLiteral("recommendedlbl"));
    // It belongs to the box's caption: it stands under the caption's text,
    // not under the box, and keeps to one line.
    QStyleOptionButton box;
    box.initFrom(m_showOnStart);
    const int captionStart = m_showOnStart->style()->subElementRect(QStyle::SE_CheckBoxContents, &box, m_showOnStart).left();
    recommended->setIndent(0);
    recommended->setContentsMargins(std::max(0, captionStart), 0, 0, 0);
    recommended->setMinimumWidth(recommended->sizeHint().width());
    auto *next = new QPushButton(QStringLiteral("&Next Tip >>"));
    next->setObjectName(QStringLiteral("nexttipbtn"));
    auto *close = new QPushButton(QStringLiteral("&Close"));
    close->setObjectName(QStringLiteral("closebtn"));
    close->setDefault(true);

    auto *choice = new QVBoxLayout;
    choice->setSpacing(0);
    choice->addWidget(m_showOnStart);
    choice->addWidget(recommended);
    auto *buttons = new QHBoxLayout;
    buttons->addLayout(choice);
    buttons->addStretch(1);
    buttons->addWidget(next);
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(card, 0, Qt::AlignHCenter);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(next, &QPushButton::clicked, this, &TipOfTheDayDialog::nextTip);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    showTip();
}

bool TipOfTheDayDialog::showOnStart() const
{
    return m_showOnStart->isChecked();
}

void TipOfTheDayDialog::nextTip()
{
    m_index = Tips::next(m_index);
    showTip();
}

void TipOfTheDayDialog::showTip()
{
    m_tip->setText(Tips::text(m_index));
    m_trayPicture->setVisible(m_index == 0);
}

void TipOfTheDayDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    findChild<QPushButton *>(QStringLiteral("closebtn"))->setFocus();
    activateWindow();
    raise();
}
