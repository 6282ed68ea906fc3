#include "tfrmpreview.h"

#include "companionplacement.h"
#include "displaytext.h"

#include "config/richedit.h"
#include "store/itemrec.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QScrollArea>
#include <QShortcut>
#include <QSizeGrip>
#include <QToolButton>
#include <QVBoxLayout>

TfrmPreview::TfrmPreview(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("frmPreview"));
    // The list keeps the keyboard; the preview only shows.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowTitle(QStringLiteral("Preview Window"));
    setAttribute(Qt::WA_DeleteOnClose);
    setMinimumWidth(MinimumWidth);
    resize(229, 157);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(0);
    m_sb = new QScrollArea(this);
    m_sb->setObjectName(QStringLiteral("sb"));
    m_sb->setBackgroundRole(QPalette::Dark);
    m_sb->setStyleSheet(QStringLiteral("QScrollArea { background: black; }"));
    m_img = new QLabel;
    m_img->setObjectName(QStringLiteral("Img"));
    m_sb->setWidget(m_img);
    m_sb->setWidgetResizable(false);
    layout->addWidget(m_sb, 1);
    m_memo = new RichEdit(this);
    m_memo->setObjectName(QStringLiteral("pMemo"));
    m_memo->setReadOnly(true);
    m_memo->setFrameShape(QFrame::NoFrame);
    m_memo->setLineWrapMode(QTextEdit::NoWrap);
    layout->addWidget(m_memo, 1);

    m_wwpanel = new QWidget(this);
    m_wwpanel->setObjectName(QStringLiteral("wwpanel"));
    m_wwpanel->setFixedHeight(17);
    auto *bar = new QHBoxLayout(m_wwpanel);
    bar->setContentsMargins(2, 0, 0, 0);
    m_wwcb = new QCheckBox(QStringLiteral("Word wrap"), m_wwpanel);
    m_wwcb->setObjectName(QStringLiteral("wwcb"));
    auto *edit = new QToolButton(m_wwpanel);
    edit->setObjectName(QStringLiteral("editsb"));
    edit->setText(QStringLiteral("Edit Item"));
    edit->setToolTip(QStringLiteral("Edit this item"));
    edit->setAutoRaise(true);
    bar->addWidget(m_wwcb);
    bar->addWidget(edit);
    bar->addStretch(1);
    bar->addWidget(new QSizeGrip(m_wwpanel), 0, Qt::AlignBottom | Qt::AlignRight);
    layout->addWidget(m_wwpanel);

    connect(m_wwcb, &QCheckBox::toggled, this, [this](bool on) {
        m_memo->setLineWrapMode(on ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
        m_memo->setFocus();
    });
    connect(edit, &QToolButton::clicked, this, &TfrmPreview::editRequested);
    const auto shortcut = [this](const char *keys, auto signal) {
        connect(new QShortcut(QKeySequence(QLatin1String(keys)), this), &QShortcut::activated, this, signal);
    };
    shortcut("Ctrl+E", &TfrmPreview::configurationRequested);
    shortcut("Ctrl+D", &TfrmPreview::disableRequested);
    shortcut("Ctrl+P", &TfrmPreview::toggleRequested);
    shortcut("Ctrl+X", &TfrmPreview::closeListRequested);
    m_sb->hide();
}

bool TfrmPreview::showingPicture() const
{
    return m_sb->isVisibleTo(this);
}

void TfrmPreview::ShowPreviewItem(const TItemRec &item)
{
    if (item.Kind == TItemRec::Image) {
        const QImage picture = item.Bitmap.isNull() ? QImage(item.Text) : item.Bitmap;
        m_img->setPixmap(QPixmap::fromImage(picture));
        m_img->adjustSize();
        m_memo->hide();
        m_wwpanel->hide();
        m_sb->show();
        return;
    }
    m_img->clear();
    m_img->resize(0, 0);
    m_sb->hide();
    if (item.Kind == TItemRec::RichText) {
        LoadRichText(m_memo, item.Text);
    } else {
        m_memo->clear();
        ResetRichEdit(m_memo);
        m_memo->setPlainText(QString(item.Text).replace(QLatin1String("\r\n"), QLatin1String("\n")));
    }
    m_memo->setLineWrapMode(m_wwcb->isChecked() ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
    m_memo->show();
    m_wwpanel->show();
}

void TfrmPreview::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        emit closeListRequested();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TfrmPreview::closeEvent(QCloseEvent *event)
{
    emit closed();
    QWidget::closeEvent(event);
}

TfrmHintWindow::TfrmHintWindow(QWidget *parent)
    : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus)
{
    setObjectName(QStringLiteral("frmHintWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setStyleSheet(QStringLiteral("TfrmHintWindow { background: palette(tooltip-base); border: 1px solid palette(dark); }"));
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::ToolTipBase);
    m_hint = new QLabel(this);
    m_hint->setObjectName(QStringLiteral("hint"));
    m_hint->setForegroundRole(QPalette::ToolTipText);
    // Item text is shown as the characters it holds, never read as markup.
    m_hint->setTextFormat(Qt::PlainText);
    m_hint->move(3, 3);
}

QString TfrmHintWindow::text() const
{
    return m_hint->text();
}

void TfrmHintWindow::ShowTipText(const QString &text, QPoint pointer, QRect screen)
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

void TfrmHintWindow::mousePressEvent(QMouseEvent *)
{
    hide();
}
