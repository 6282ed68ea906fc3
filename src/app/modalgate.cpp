#include "app/modalgate.h"

#include "common/modalsession.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

ModalGate::ModalGate(QObject *parent)
    : QObject(parent)
{
    m_retry.setInterval(100);
    connect(&m_retry, &QTimer::timeout, this, &ModalGate::release);
    // After the dialog's caller has applied its answer, not in the middle of it.
    connect(&ModalSessions::instance(), &ModalSessions::ended, this,
            [this] { QTimer::singleShot(0, this, &ModalGate::release); });
    if (qApp)
        qApp->installEventFilter(this);
}

bool ModalGate::modalUp()
{
    if (ModalSessions::instance().active())
        return true;
    return qobject_cast<QApplication *>(QCoreApplication::instance()) && QApplication::activeModalWidget();
}

void ModalGate::run(const QString &key, std::function<void()> command)
{
    if (!modalUp() && m_waiting.isEmpty()) {
        command();
        return;
    }
    const bool queued = std::any_of(m_waiting.cbegin(), m_waiting.cend(),
                                    [&key](const Waiting &waiting) { return waiting.key == key; });
    if (!queued)
        m_waiting.append({key, std::move(command)});
    m_retry.start();
    emit heldBack();
}

void ModalGate::release()
{
    // One at a time: a command may open a dialog of its own, and the next waits for it.
    while (!m_waiting.isEmpty() && !modalUp()) {
        const Waiting next = m_waiting.takeFirst();
        next.command();
    }
    if (m_waiting.isEmpty())
        m_retry.stop();
}

bool ModalGate::eventFilter(QObject *watched, QEvent *event)
{
    // A modal dialog the window manager iconified would block every other
    // window of the program out of sight: it comes straight back.
    if (event->type() == QEvent::WindowStateChange) {
        auto *window = qobject_cast<QWidget *>(watched);
        if (window && window->isWindow() && window == QApplication::activeModalWidget() && window->isMinimized()) {
            QTimer::singleShot(0, window, [window] {
                window->showNormal();
                window->raise();
                window->activateWindow();
            });
        }
    }
    return QObject::eventFilter(watched, event);
}
