#include "doubles/scriptedmessageboxes.h"

#include "common/modalsession.h"

MessageBoxService::Button ScriptedMessageBoxes::show(Icon icon, const QString &title, const QString &text,
                                                     Buttons buttons)
{
    Shown box{icon, title, text, buttons, Ok};
    if (m_autoAcknowledge && buttons == Buttons(Ok)) {
        box.answer = Ok;
    } else if (!m_answers.isEmpty()) {
        box.answer = m_answers.dequeue();
    } else {
        box.answer = buttons.testFlag(Cancel) ? Cancel : buttons.testFlag(No) ? No : Ok;
        m_unexpected.append(box);
    }
    m_shown.append(box);
    if (m_whileShown) {
        // The box is up for as long as its events run, as a real one is.
        const ModalSession session;
        m_whileShown(text);
    }
    return box.answer;
}

QStringList ScriptedMessageBoxes::texts() const
{
    QStringList result;
    for (const Shown &box : m_shown)
        result << box.text;
    return result;
}

void ScriptedMessageBoxes::clear()
{
    m_answers.clear();
    m_shown.clear();
    m_unexpected.clear();
}
