#include "auxiliary/newversionwindow.h"

#include "auxiliary/versionanswer.h"
#include "auxiliary/weblink.h"
#include "common/messageboxservice.h"
#include "config/dialogs/screencentre.h"
#include "platform/desktop.h"
#include "store/datafileformat.h"

#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTextEdit>

namespace {

constexpr int kClientWidth = 349;
constexpr int kClientHeight = 204;
constexpr int kMemoHeight = 169;

} // namespace

NewVersionWindow::NewVersionWindow(const VersionCheckServer &server, MessageBoxService &messages,
                                   Desktop &desktop, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint)
    , m_messages(messages)
    , m_desktop(desktop)
    , m_homePage(server.homePage)
{
    setObjectName(QStringLiteral("frmNewVersion"));
    setWindowTitle(QStringLiteral("Your current version is ") + DataFileFormat::kVersion);

    m_memo = new QTextEdit(this);
    m_memo->setObjectName(QStringLiteral("msgmemo"));
    m_memo->setReadOnly(true);
    m_memo->setAcceptRichText(false);
    m_memo->setLineWrapMode(QTextEdit::WidgetWidth);
    m_memo->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    m_memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QFont memoFont(QStringLiteral("MS Sans Serif"));
    memoFont.setPixelSize(13);
    m_memo->setFont(memoFont);
    m_memo->setPlainText(kChecking);

    m_homeCaption = new QLabel(QStringLiteral("Scrapkeeper home page:"), this);
    m_homeCaption->setObjectName(QStringLiteral("Label1"));
    m_homeLink = new WebLink(m_homePage.toString(), this);
    m_homeLink->setObjectName(QStringLiteral("url"));
    m_homeLink->setToolTip(m_homePage.toString());
    connect(m_homeLink, &WebLink::clicked, this, &NewVersionWindow::openHomePage);

    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("cancelbtn"));
    connect(m_cancel, &QPushButton::clicked, &m_query, &VersionQuery::abort);

    m_browse = new QPushButton(QStringLiteral("Browse to"), this);
    m_browse->setObjectName(QStringLiteral("gobtn"));
    m_browse->hide();
    connect(m_browse, &QPushButton::clicked, this, &NewVersionWindow::browseToDownload);

    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setObjectName(QStringLiteral("OKbtn"));
    m_ok->setEnabled(false);
    connect(m_ok, &QPushButton::clicked, this, &NewVersionWindow::leave);

    // The design's places, widened where the desktop's font needs more: the
    // address and the buttons' captions are never cut.
    const QSize captionSize = m_homeCaption->sizeHint().expandedTo(QSize(190, 15));
    const QSize linkSize = m_homeLink->sizeHint().expandedTo(QSize(190, 15));
    QSize buttonSize(70, 25);
    for (const QPushButton *button : {m_cancel, m_browse, m_ok}) {
        const int margins = 2 * (button->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button)
                                 + button->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button));
        buttonSize = buttonSize.expandedTo(QSize(button->fontMetrics().horizontalAdvance(button->text()) + margins,
                                                 button->minimumSizeHint().height()));
    }
    const int textWidth = std::max(captionSize.width(), linkSize.width());
    const int buttonsLeft = std::max(201, 6 + textWidth + 5);
    const int width = std::max(kClientWidth, buttonsLeft + 2 * buttonSize.width() + 5 + 6);
    const int height = std::max(kClientHeight, kMemoHeight + 3 + std::max(captionSize.height() + linkSize.height(),
                                                                          3 + buttonSize.height()) + 3);
    setFixedSize(width, height);
    m_memo->setGeometry(0, 0, width, kMemoHeight);
    m_homeCaption->setGeometry(6, kMemoHeight + 3, textWidth, captionSize.height());
    m_homeLink->setGeometry(6, kMemoHeight + 3 + captionSize.height(), textWidth, linkSize.height());
    const QRect leftButton(QPoint(buttonsLeft, kMemoHeight + 6), buttonSize);
    m_cancel->setGeometry(leftButton);
    m_browse->setGeometry(leftButton);
    m_ok->setGeometry(leftButton.translated(leftButton.width() + 5, 0));

    m_query.setServer(server.host, server.port);
    m_query.setTimeLimit(server.timeLimit);
    m_query.setSizeLimit(server.sizeLimit);
    connect(&m_query, &VersionQuery::finished, this, &NewVersionWindow::showAnswer);
}

void NewVersionWindow::startCheck()
{
    show();
    m_query.start(DataFileFormat::kVersion.toLatin1());
}

void NewVersionWindow::showAnswer(bool ok, const QByteArray &body)
{
    m_cancel->hide();
    if (ok) {
        m_memo->setPlainText(VersionAnswer::text(body));
        m_downloadAddress = VersionAnswer::takeDownloadAddress(*m_memo->document());
        m_browse->setVisible(!m_downloadAddress.isEmpty());
    } else {
        m_memo->setPlainText(kCheckFailed);
    }
    m_ok->setEnabled(true);
    // From here the window is modal: the user reads the outcome and leaves through OK.
    if (isVisible()) {
        hide();
        setWindowModality(Qt::ApplicationModal);
        show();
        m_ok->setFocus();
    }
    emit checkEnded(ok);
}

void NewVersionWindow::browseToDownload()
{
    if (!VersionAnswer::isWebAddress(m_downloadAddress) || !m_desktop.openDocument(m_downloadAddress))
        m_messages.show(MessageBoxService::Icon::Error, kApplicationTitle, QStringLiteral("Error launching web browser."),
                        MessageBoxService::Ok);
}

void NewVersionWindow::openHomePage()
{
    if (!VersionAnswer::isWebAddress(m_homePage) || !m_desktop.openDocument(m_homePage))
        m_messages.show(MessageBoxService::Icon::Error, kApplicationTitle,
                        QStringLiteral("Error launching default browser"), MessageBoxService::Ok);
}

void NewVersionWindow::leave()
{
    m_leaving = true;
    close();
}

// Escape and the window manager's close do nothing: the window is left through OK.
void NewVersionWindow::reject()
{
    if (m_leaving)
        done(Accepted);
}

void NewVersionWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    centreOnScreen(this);
}

void NewVersionWindow::hideEvent(QHideEvent *event)
{
    QDialog::hideEvent(event);
    emit hidden();
}
