#include "auxiliary/newversioncheck.h"

#include "auxiliary/newversionwindow.h"

NewVersionCheck::NewVersionCheck(MessageBoxService &messages, Desktop &desktop, QObject *parent)
    : QObject(parent)
    , m_messages(messages)
    , m_desktop(desktop)
{
}

NewVersionCheck::~NewVersionCheck()
{
    if (m_window) {
        m_window->disconnect(this);
        delete m_window;
    }
}

NewVersionWindow *NewVersionCheck::window() const
{
    return m_window;
}

bool NewVersionCheck::open()
{
    if (m_window)
        return false;
    m_window = new NewVersionWindow(m_server, m_messages, m_desktop);
    m_window->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_window, &NewVersionWindow::hidden, this, &NewVersionCheck::windowHidden);
    connect(m_window, &QObject::destroyed, this, &NewVersionCheck::windowClosed);
    m_window->startCheck();
    return true;
}
