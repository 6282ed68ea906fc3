#pragma once

#include "common/messageboxservice.h"

#include <QList>
#include <QQueue>

#include <functional>

// The message-box service of tests: records every box and answers from a
// queue. A box nobody queued an answer for is recorded as unexpected and
// answered with its most cautious button, so a test fails instead of hanging.
class ScriptedMessageBoxes : public MessageBoxService
{
public:
    struct Shown
    {
        Icon icon;
        QString title;
        QString text;
        Buttons buttons;
        Button answer;
    };

    void answerNext(Button answer) { m_answers.enqueue(answer); }
    // Boxes with only an OK button are acknowledged without using up a queued answer.
    void setAutoAcknowledge(bool on) { m_autoAcknowledge = on; }
    // Runs while a box is up, as events that arrive during a modal question do.
    void setWhileShown(std::function<void(const QString &text)> event) { m_whileShown = std::move(event); }

    Button show(Icon icon, const QString &title, const QString &text, Buttons buttons) override;

    const QList<Shown> &shown() const { return m_shown; }
    QStringList texts() const;
    const QList<Shown> &unexpected() const { return m_unexpected; }
    int pendingAnswers() const { return int(m_answers.size()); }
    void clear();

private:
    QQueue<Button> m_answers;
    QList<Shown> m_shown;
    QList<Shown> m_unexpected;
    bool m_autoAcknowledge = true;
    std::function<void(const QString &)> m_whileShown;
};
