#pragma once

#include "platform/keygrabber.h"

#include <QMap>
#include <QSet>

// Grabs for tests: records them, refuses combinations "another program"
// holds, and lets a test press keys.
class FakeKeyGrabber : public KeyGrabber
{
    Q_OBJECT
public:
    using KeyGrabber::KeyGrabber;
    struct Grab
    {
        std::uint32_t keysym;
        std::uint8_t modifiers;
    };

    bool grab(int id, std::uint32_t keysym, std::uint8_t modifiers) override
    {
        if (heldElsewhere.contains(key(keysym, modifiers)))
            return false;
        grabs.insert(id, {keysym, modifiers});
        return true;
    }
    void ungrab(int id) override { grabs.remove(id); }

    // A key press: true when the program got it (grabbed), false when it
    // would have reached the application in front.
    bool press(std::uint32_t keysym, std::uint8_t modifiers)
    {
        for (auto it = grabs.begin(); it != grabs.end(); ++it) {
            if (it->keysym == keysym && it->modifiers == modifiers) {
                emit activated(it.key());
                return true;
            }
        }
        return false;
    }

    static quint64 key(std::uint32_t keysym, std::uint8_t modifiers) { return (quint64(modifiers) << 32) | keysym; }

    QMap<int, Grab> grabs;
    QSet<quint64> heldElsewhere;
};
