#pragma once

#include "platform/wayland/keyoutput.h"

#include <QList>
#include <QString>

#include <cstdint>

struct wl_display;
struct wl_registry;
struct wl_seat;
struct zwp_virtual_keyboard_manager_v1;
struct zwp_virtual_keyboard_v1;

// Keys sent to the window that has the keyboard, through the compositor's
// virtual-keyboard protocol. The keyboard brings its own keymap, built for
// what is to be typed: every character gets a key of its own, so any Unicode
// character can be typed whatever layout the user has, and the modifiers are
// the keyboard's own, not the ones the user holds.
class VirtualKeyboard : public KeyOutput
{
public:
    VirtualKeyboard();
    ~VirtualKeyboard() override;
    VirtualKeyboard(const VirtualKeyboard &) = delete;
    VirtualKeyboard &operator=(const VirtualKeyboard &) = delete;

    // False when the compositor offers no virtual keyboard (or no session is reachable).
    bool available() const override { return m_keyboard != nullptr; }

    void press(Named key) override;
    void pressCombination(std::uint32_t keysym, std::uint8_t modifiers) override;
    // Makes this keyboard the seat's current one before keys are sent. Another
    // keyboard (the user's, another tool's) may have been used since our last
    // key, and a window that gets our keymap together with a key may drop it.
    void takeSeat() override;
    // Gives the characters keys now, so a typing run needs no new keymap per character.
    void prepare(const QString &text) override;
    bool type(char32_t character) override;

    // The keymap for these keysyms, each on a key of its own from the first key up,
    // with the modifier keys first (XKB text, as the compositor reads it).
    static QByteArray keymapFor(const QList<std::uint32_t> &keysyms);

private:
    bool ensureKeys(const QList<std::uint32_t> &keysyms);
    void upload();
    void tap(std::uint32_t keysym, std::uint32_t modifiers);
    std::uint32_t now() const;

    wl_display *m_display = nullptr;
    wl_registry *m_registry = nullptr;
    wl_seat *m_seat = nullptr;
    zwp_virtual_keyboard_manager_v1 *m_manager = nullptr;
    zwp_virtual_keyboard_v1 *m_keyboard = nullptr;
    QList<std::uint32_t> m_keysyms;  // key i+5 (evdev) holds keysym i; 1 to 4 are the modifiers
    bool m_uploaded = false;
    static constexpr int kMaxKeys = 240;  // XKB keycodes end at 255, one spare

    friend struct VirtualKeyboardRegistry;
};
