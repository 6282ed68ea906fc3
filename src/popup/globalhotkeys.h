#pragma once

#include <QList>
#include <QObject>

#include <cstdint>

class KeyGrabber;

struct HotkeyRecord
{
    std::uint8_t modifiers = 0;  // bit 0 Shift, 1 Ctrl, 2 Alt, 3 Win
    std::uint8_t keyIndex = 0;   // index into the key table
    bool registered = false;
};

// The program's system hotkeys: while Active every record is registered
// with the desktop; a press is announced with the record's index.
class GlobalHotkeys : public QObject
{
    Q_OBJECT
public:
    enum ModifierBit : std::uint8_t { Shift = 1, Ctrl = 2, Alt = 4, Win = 8 };

    explicit GlobalHotkeys(KeyGrabber &grabber, QObject *parent = nullptr);
    ~GlobalHotkeys() override;

    bool isActive() const { return m_active; }
    void setActive(bool active);

    HotkeyRecord addHotkey(std::uint8_t modifiers, std::uint8_t keyIndex);
    HotkeyRecord hotkeyAt(int index) const { return m_records.value(index); }
    int hotkeyCount() const { return int(m_records.size()); }
    void clearHotkeys();

signals:
    void pressed(int index);

private:
    void registerRecord(int index);
    void unregisterRecord(int index);

    KeyGrabber &m_grabber;
    QList<HotkeyRecord> m_records;
    bool m_active = true;
};
