#pragma once

#include "auxiliary/versioncheckserver.h"

#include <QObject>
#include <QPointer>

class Desktop;
class MessageBoxService;
class NewVersionWindow;

// The "Check for Updates" command: one check window at a time, which frees
// itself when the user leaves it through OK.
class NewVersionCheck : public QObject
{
    Q_OBJECT
public:
    NewVersionCheck(MessageBoxService &messages, Desktop &desktop, QObject *parent = nullptr);
    ~NewVersionCheck() override;

    void setServer(const VersionCheckServer &server) { m_server = server; }
    // Opens the window and starts the check; false, and nothing happens, while a window is open.
    bool open();
    NewVersionWindow *window() const;

signals:
    void windowHidden();
    void windowClosed();

private:
    MessageBoxService &m_messages;
    Desktop &m_desktop;
    VersionCheckServer m_server = VersionCheckServer::builtIn();
    QPointer<NewVersionWindow> m_window;
};
