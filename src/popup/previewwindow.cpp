#include "popup/previewwindow.h"



#include "richtext/richedit.h"
#include "store/item.h"
#include "store/itempictures.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>
#include <QSizeGrip>
#include <QToolButton>
#include <QVBoxLayout>

PreviewWindow::PreviewWindow(QWidget *parent)
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
    m_pictureArea = new QScrollArea(this);
    m_pictureArea->setObjectName(QStringLiteral("sb"));
    m_pictureArea->setBackgroundRole(QPalette::Dark);
    m_pictureArea->setStyleSheet(QStringLiteral("QScrollArea { background: black; }"));
    m_picture = new QLabel;
    m_picture->setObjectName(QStringLiteral("Img"));
    m_pictureArea->setWidget(m_picture);
    m_pictureArea->setWidgetResizable(false);
    layout->addWidget(m_pictureArea, 1);
    m_memo = new RichEdit(this);
    m_memo->setObjectName(QStringLiteral("pMemo"));
    m_memo->setReadOnly(true);
    m_memo->setFrameShape(QFrame::NoFrame);
    m_memo->setLineWrapMode(QTextEdit::NoWrap);
    layout->addWidget(m_memo, 1);

    m_bottomBar = new QWidget(this);
    m_bottomBar->setObjectName(QStringLiteral("wwpanel"));
    m_bottomBar->setFixedHeight(17);
    auto *bar = new QHBoxLayout(m_bottomBar);
    bar->setContentsMargins(2, 0, 0, 0);
    m_wordWrap = new QCheckBox(QStringLiteral("Word wrap"), m_bottomBar);
    m_wordWrap->setObjectName(QStringLiteral("wwcb"));
    auto *edit = new QToolButton(m_bottomBar);
    edit->setObjectName(QStringLiteral("editsb"));
    edit->setText(QStringLiteral("Edit Item"));
    edit->setToolTip(QStringLiteral("Edit this item"));
    edit->setAutoRaise(true);
    bar->addWidget(m_wordWrap);
    bar->addWidget(edit);
    bar->addStretch(1);
    bar->addWidget(new QSizeGrip(m_bottomBar), 0, Qt::AlignBottom | Qt::AlignRight);
    layout->addWidget(m_bottomBar);

    connect(m_wordWrap, &QCheckBox::toggled, this, [this](bool on) {
        m_memo->setLineWrapMode(on ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
        m_memo->setFocus();
    });
    connect(edit, &QToolButton::clicked, this, &PreviewWindow::editRequested);
    const auto shortcut = [this](const char *keys, auto signal) {
        connect(new QShortcut(QKeySequence(QLatin1String(keys)), this), &QShortcut::activated, this, signal);
    };
    shortcut("Ctrl+E", &PreviewWindow::configurationRequested);
    shortcut("Ctrl+D", &PreviewWindow::disableRequested);
    shortcut("Ctrl+P", &PreviewWindow::toggleRequested);
    shortcut("Ctrl+X", &PreviewWindow::closeListRequested);
    m_pictureArea->hide();
}

bool PreviewWindow::showingPicture() const
{
    return m_pictureArea->isVisibleTo(this);
}

void PreviewWindow::showItem(const Item &item)
{
    if (item.kind == ItemKind::Image) {
        // Never decoded larger than the screen could show it.
        const QImage picture = ItemPictures::shared().picture(item, screen()->availableGeometry().size());
        if (picture.isNull()) {
            // Why there is no picture, in words wrapped to the window.
            m_picture->clear();
            m_pictureArea->hide();
            m_memo->clear();
            resetRichEdit(m_memo);
            m_memo->setPlainText(ItemPictures::notShownNote(item.text));
            m_memo->setLineWrapMode(QTextEdit::WidgetWidth);
            m_memo->show();
            m_bottomBar->hide();
            return;
        }
        m_picture->setPixmap(QPixmap::fromImage(picture));
        m_picture->adjustSize();
        m_memo->hide();
        m_bottomBar->hide();
        m_pictureArea->show();
        return;
    }
    m_picture->clear();
    m_picture->resize(0, 0);
    m_pictureArea->hide();
    if (item.kind == ItemKind::RichText) {
        loadExcerpt(m_memo, item.text, true);
    } else {
        m_memo->clear();
        resetRichEdit(m_memo);
        loadExcerpt(m_memo, item.text, false);
    }
    m_memo->setLineWrapMode(m_wordWrap->isChecked() ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
    m_memo->show();
    m_bottomBar->show();
}

void PreviewWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        emit closeListRequested();
        return;
    }
    QWidget::keyPressEvent(event);
}

void PreviewWindow::closeEvent(QCloseEvent *event)
{
    emit closed();
    QWidget::closeEvent(event);
}
