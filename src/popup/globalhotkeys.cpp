#include "popup/globalhotkeys.h"

#include "settings/hotkeykeys.h"

#include "platform/keygrabber.h"

GlobalHotkeys::GlobalHotkeys(KeyGrabber &grabber, QObject *parent)
    : QObject(parent), m_grabber(grabber)
{
    // The grabber also serves other grabs (the Esc of a paste run): only ours count.
    connect(&m_grabber, &KeyGrabber::activated, this, [this](int id) {
        if (id >= 0 && id < hotkeyCount())
            emit pressed(id);
    });
}

GlobalHotkeys::~GlobalHotkeys()
{
    clearHotkeys();
}

void GlobalHotkeys::setActive(bool active)
{
    if (m_active == active)
        return;
    m_active = active;
    for (int i = 0; i < hotkeyCount(); ++i) {
        if (active)
            registerRecord(i);
        else
            unregisterRecord(i);
    }
}

HotkeyRecord GlobalHotkeys::addHotkey(std::uint8_t modifiers, std::uint8_t keyIndex)
{
    m_records.append({modifiers, keyIndex, false});
    if (m_active)
        registerRecord(hotkeyCount() - 1);
    return m_records.last();
}

void GlobalHotkeys::clearHotkeys()
{
    if (m_active) {
        for (int i = 0; i < hotkeyCount(); ++i)
            unregisterRecord(i);
    }
    m_records.clear();
}

void GlobalHotkeys::registerRecord(int index)
{
    HotkeyRecord &record = m_records[index];
    const std::uint32_t keysym = HotkeyKeys::keysymOf(HotkeyKeys::virtualKey(record.keyIndex));
    record.registered = keysym != 0 && m_grabber.grab(index, keysym, record.modifiers);
}

void GlobalHotkeys::unregisterRecord(int index)
{
    HotkeyRecord &record = m_records[index];
    if (!record.registered)
        return;
    m_grabber.ungrab(index);
    record.registered = false;
}
