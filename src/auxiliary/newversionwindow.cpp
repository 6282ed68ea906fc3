#include "auxiliary/newversionwindow.h"

#include "auxiliary/versionanswer.h"
#include "auxiliary/weblink.h"
#include "common/messageboxservice.h"
#include "config/dialogs/screencentre.h"
#include "platform/desktop.h"
#include "store/datafileformat.h"

#include <QLabel>
#include <QPushButton>
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
    setFixedSize(kClientWidth, kClientHeight);

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
    m_memo->setGeometry(0, 0, kClientWidth, kMemoHeight);
    m_memo->setPlainText(kChecking);

    m_homeCaption = new QLabel(QStringLiteral("Scrapkeeper home page:"), this);
    m_homeCaption->setObjectName(QStringLiteral("Label1"));
    m_homeCaption->setGeometry(6, kMemoHeight + 3, 190, 15);
    m_homeLink = new WebLink(m_homePage.toString(), this);
    m_homeLink->setObjectName(QStringLiteral("url"));
    m_homeLink->setToolTip(m_homePage.toString()); // the address may be wider than its place
    m_homeLink->setGeometry(6, kMemoHeight + 18, 190, 15);
    connect(m_homeLink, &WebLink::clicked, this, &NewVersionWindow::openHomePage);

    const QRect leftButton(201, kMemoHeight + 6, 70, 25);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("cancelbtn"));
    m_cancel->setGeometry(leftButton);
    connect(m_cancel, &QPushButton::clicked, &m_query, &VersionQuery::abort);

    m_browse = new QPushButton(QStringLiteral("Browse to"), this);
    m_browse->setObjectName(QStringLiteral("gobtn"));
    m_browse->setGeometry(leftButton);
    m_browse->hide();
    connect(m_browse, &QPushButton::clicked, this, &NewVersionWindow::browseToDownload);

    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setObjectName(QStringLiteral("OKbtn"));
    m_ok->setGeometry(leftButton.translated(leftButton.width() + 5, 0));
    m_ok->setEnabled(false);
    connect(m_ok, &QPushButton::clicked, this, &NewVersionWindow::leave);

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
