#include "platform/wayland/keyoutput.h"

#include <xkbcommon/xkbcommon.h>

std::uint32_t KeyOutput::keysymOf(char32_t character)
{
    switch (character) {
    case U'\t': return XKB_KEY_Tab;
    case U'\r':
    case U'\n': return XKB_KEY_Return;
    default: return xkb_utf32_to_keysym(std::uint32_t(character));
    }
}

bool KeyOutput::isTypeable(char32_t character)
{
    return character >= 0x20 && !(character >= 0x7F && character < 0xA0) && keysymOf(character) != XKB_KEY_NoSymbol;
}
