#pragma once

#include "platform/keygrabber.h"

// A Wayland client cannot grab keys: the hotkey is a binding in the
// compositor that runs the program's popup command. Every grab is taken as
// granted, so no "already registered" error blames another program.
class WaylandKeyGrabber : public KeyGrabber
{
    Q_OBJECT
public:
    using KeyGrabber::KeyGrabber;
    bool grab(int, std::uint32_t, std::uint8_t) override { return true; }
    void ungrab(int) override {}
};
