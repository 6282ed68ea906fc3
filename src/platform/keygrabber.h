#pragma once

#include <QObject>

#include <cstdint>

// System-wide key grabs: while a key is grabbed it reaches no other program
// and each press is announced. Modifier bits: 1 Shift, 2 Ctrl, 4 Alt, 8 Win.
class KeyGrabber : public QObject
{
    Q_OBJECT
public:
    enum Modifier : std::uint8_t { Shift = 1, Ctrl = 2, Alt = 4, Win = 8 };

    using QObject::QObject;

    // False when another program holds the combination (or the key has no
    // key on this keyboard); nothing stays grabbed then.
    virtual bool grab(int id, std::uint32_t keysym, std::uint8_t modifiers) = 0;
    virtual void ungrab(int id) = 0;

signals:
    void activated(int id);
};
