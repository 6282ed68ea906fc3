#pragma once

#include <QObject>

// Counts the program's modal dialogs and questions while they are up. What
// arrives from outside meanwhile (the tray, the desktop) can then wait for
// them instead of changing the collection the dialog is working on.
class ModalSessions : public QObject
{
    Q_OBJECT
public:
    static ModalSessions &instance();
    bool active() const { return m_count > 0; }

signals:
    // The last session has ended.
    void ended();

private:
    friend class ModalSession;
    ModalSessions() = default;
    void enter() { ++m_count; }
    void leave();

    int m_count = 0;
};

// One modal dialog or question, for as long as the object lives.
class ModalSession
{
public:
    ModalSession() { ModalSessions::instance().enter(); }
    ~ModalSession() { ModalSessions::instance().leave(); }
    ModalSession(const ModalSession &) = delete;
    ModalSession &operator=(const ModalSession &) = delete;
};
