#pragma once

#include <QString>

#include <cstdint>

// Keys sent to the window that has the keyboard, by whatever the desktop
// allows (the compositor's virtual keyboard, the desktop portal).
class KeyOutput
{
public:
    virtual ~KeyOutput() = default;

    // False while no key can be sent (the desktop offers no way, or has not allowed it yet).
    virtual bool available() const = 0;

    enum class Named { Tab, Return, Space };
    virtual void press(Named key) = 0;
    // A key with modifiers held (Shift, Ctrl, Alt, Win bits as the key grabber's).
    virtual void pressCombination(std::uint32_t keysym, std::uint8_t modifiers) = 0;
    // Makes this keyboard the one the next keys come from.
    virtual void takeSeat() {}
    // Readies what typing `text` needs, so the run does not stop for it.
    virtual void prepare(const QString &) {}
    // False for a character that cannot be typed (a control character).
    virtual bool type(char32_t character) = 0;

    // The keysym that types a character (Tab and line breaks as their keys).
    static std::uint32_t keysymOf(char32_t character);
    // Whether a character is typed as itself: control characters are not (Tab
    // and line breaks are keys of their own).
    static bool isTypeable(char32_t character);
};
