#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

// Holds back what arrives from outside (the tray icon and its menu, the
// desktop) while a modal dialog or question of the program is up: run in the
// middle of one, it could switch the group list and free every category the
// dialog is working on. A command held back runs once the last one has
// closed; meanwhile the dialog is brought forward, so the user sees why.
class ModalGate : public QObject
{
    Q_OBJECT
public:
    explicit ModalGate(QObject *parent = nullptr);

    // A dialog or question of ours is up (or the window system has one).
    static bool modalUp();

    // Runs `command` now, or once no dialog is up. A command waiting under
    // the same key is not queued again: three clicks open one window.
    void run(const QString &key, std::function<void()> command);
    bool holding() const { return !m_waiting.isEmpty(); }

signals:
    // A command waits for a dialog: it should come forward.
    void heldBack();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void release();

    struct Waiting
    {
        QString key;
        std::function<void()> command;
    };
    QList<Waiting> m_waiting;
    // A dialog of Qt's own (a font or colour chooser) is not counted; its
    // end is noticed by looking again now and then.
    QTimer m_retry;
};
