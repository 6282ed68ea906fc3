#include "common/modalsession.h"

ModalSessions &ModalSessions::instance()
{
    static ModalSessions sessions;
    return sessions;
}

void ModalSessions::leave()
{
    if (m_count > 0 && --m_count == 0)
        emit ended();
}
