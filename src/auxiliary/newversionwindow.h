#pragma once

#include "auxiliary/versioncheckserver.h"
#include "auxiliary/versionquery.h"

#include <QDialog>
#include <QUrl>

class Desktop;
class MessageBoxService;
class QLabel;
class QPushButton;
class QTextEdit;
class WebLink;

// The small always-on-top window of the new-version check: it sends the
// program's version to the maker's server, shows what the server answers
// (or that it could not be asked), offers the download address the answer
// ends with, and is left only through OK.
class NewVersionWindow : public QDialog
{
    Q_OBJECT
public:
    static inline const QString kChecking = QStringLiteral("Checking...");
    static inline const QString kCheckFailed = QStringLiteral(
        "Error, could not complete action!  Check your Internet connection or try again later.");

    NewVersionWindow(const VersionCheckServer &server, MessageBoxService &messages, Desktop &desktop,
                     QWidget *parent = nullptr);

    // Shows the window and sends the question; the window stays responsive.
    void startCheck();
    bool isChecking() const { return m_query.isRunning(); }
    QUrl downloadAddress() const { return m_downloadAddress; }

    void reject() override;

signals:
    void hidden();
    // The check has ended and its outcome is shown.
    void checkEnded(bool ok);

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void showAnswer(bool ok, const QByteArray &body);
    void browseToDownload();
    void openHomePage();
    void leave();

    MessageBoxService &m_messages;
    Desktop &m_desktop;
    QUrl m_homePage;
    VersionQuery m_query;
    QUrl m_downloadAddress;
    bool m_leaving = false;

    QTextEdit *m_memo = nullptr;
    QPushButton *m_cancel = nullptr;
    QPushButton *m_browse = nullptr;
    QPushButton *m_ok = nullptr;
    QLabel *m_homeCaption = nullptr;
    WebLink *m_homeLink = nullptr;
};
