#include "settings/hotkeykeys.h"

#include <array>

namespace HotkeyKeys {

namespace {

const std::array<int, KeyTableSize> &keyTable()
{
    static const std::array<int, KeyTableSize> table = [] {
        std::array<int, KeyTableSize> t{};
        int i = 0;
        for (const int vk : {0x00, 0x03, 0x08, 0x09, 0x0C, 0x0D, 0x13, 0x14, 0x1B, 0x20})
            t[size_t(i++)] = vk;
        for (int vk = 0x21; vk <= 0x28; ++vk)
            t[size_t(i++)] = vk;
        for (const int vk : {0x29, 0x2B, 0x2C, 0x2D, 0x2E, 0x2F})
            t[size_t(i++)] = vk;
        for (int vk = 0x30; vk <= 0x39; ++vk)
            t[size_t(i++)] = vk;
        for (int vk = 0x41; vk <= 0x5A; ++vk)
            t[size_t(i++)] = vk;
        for (int vk = 0x60; vk <= 0x6F; ++vk)
            t[size_t(i++)] = vk;
        for (int vk = 0x70; vk <= 0x87; ++vk)
            t[size_t(i++)] = vk;
        t[size_t(i++)] = 0x90;
        t[size_t(i++)] = 0x91;
        return t;
    }();
    return table;
}

// The codes the list entries register, in list order ("Home" before "End",
// no 0x6C).
const std::array<int, ListSize> &listCodes()
{
    static const std::array<int, ListSize> codes = [] {
        std::array<int, ListSize> c{};
        int i = 0;
        for (const int vk : {0x08, 0x09, 0x0D, 0x13, 0x14, 0x1B, 0x20, 0x21, 0x22, 0x24, 0x23, 0x25, 0x26, 0x27,
                             0x28, 0x2C, 0x2D, 0x2E})
            c[size_t(i++)] = vk;
        for (int vk = 0x30; vk <= 0x39; ++vk)
            c[size_t(i++)] = vk;
        for (int vk = 0x41; vk <= 0x5A; ++vk)
            c[size_t(i++)] = vk;
        for (int vk = 0x60; vk <= 0x69; ++vk)
            c[size_t(i++)] = vk;
        for (const int vk : {0x6A, 0x6B, 0x6D, 0x6E, 0x6F})
            c[size_t(i++)] = vk;
        for (int vk = 0x70; vk <= 0x87; ++vk)
            c[size_t(i++)] = vk;
        c[size_t(i++)] = 0x90;
        c[size_t(i++)] = 0x91;
        return c;
    }();
    return codes;
}

} // namespace

int virtualKey(int keyIndex)
{
    return keyIndex >= 0 && keyIndex < KeyTableSize ? keyTable()[size_t(keyIndex)] : 0;
}

int keyIndexOf(int listIndex)
{
    if (listIndex < 0 || listIndex >= ListSize)
        return 0;
    const int vk = listCodes()[size_t(listIndex)];
    for (int i = 0; i < KeyTableSize; ++i) {
        if (keyTable()[size_t(i)] == vk)
            return i;
    }
    return 0;
}

const QStringList &listEntries()
{
    static const QStringList entries = [] {
        QStringList e{"Backspace", "Tab", "Return", "Pause", "Caps Lock", "Escape", "Space", "PgUp", "PgDn",
                      "Home", "End", "Left Arrow", "Up Arrow", "Right Arrow", "Down Arrow", "PrintScreen", "Insert",
                      "Delete"};
        for (char c = '0'; c <= '9'; ++c)
            e << QString(QLatin1Char(c));
        for (char c = 'A'; c <= 'Z'; ++c)
            e << QString(QLatin1Char(c));
        for (int n = 0; n <= 9; ++n)
            e << QStringLiteral("Num %1").arg(n);
        e << "Num *" << "Num +" << "Num -" << "Num ." << "Num /";
        for (int n = 1; n <= 24; ++n)
            e << QStringLiteral("F%1").arg(n);
        e << "Numlock" << "Scrolllock";
        return e;
    }();
    return entries;
}

std::uint32_t keysymOf(int vk)
{
    // X keysym values (X11/keysymdef.h), kept here so logic needs no X header.
    if (vk >= 0x30 && vk <= 0x39)
        return std::uint32_t(vk);              // XK_0 .. XK_9
    if (vk >= 0x41 && vk <= 0x5A)
        return std::uint32_t(vk + 0x20);       // XK_a .. XK_z: the unshifted letter
    if (vk >= 0x60 && vk <= 0x69)
        return 0xFFB0 + std::uint32_t(vk - 0x60);  // XK_KP_0 ..
    if (vk >= 0x70 && vk <= 0x87)
        return 0xFFBE + std::uint32_t(vk - 0x70);  // XK_F1 .. XK_F24
    switch (vk) {
    case 0x03: return 0xFF6B;  // Break
    case 0x08: return 0xFF08;  // BackSpace
    case 0x09: return 0xFF09;  // Tab
    case 0x0C: return 0xFF0B;  // Clear
    case 0x0D: return 0xFF0D;  // Return
    case 0x13: return 0xFF13;  // Pause
    case 0x14: return 0xFFE5;  // Caps_Lock
    case 0x1B: return 0xFF1B;  // Escape
    case 0x20: return 0x0020;  // space
    case 0x21: return 0xFF55;  // Prior
    case 0x22: return 0xFF56;  // Next
    case 0x23: return 0xFF57;  // End
    case 0x24: return 0xFF50;  // Home
    case 0x25: return 0xFF51;  // Left
    case 0x26: return 0xFF52;  // Up
    case 0x27: return 0xFF53;  // Right
    case 0x28: return 0xFF54;  // Down
    case 0x29: return 0xFF60;  // Select
    case 0x2B: return 0xFF62;  // Execute
    case 0x2C: return 0xFF61;  // Print
    case 0x2D: return 0xFF63;  // Insert
    case 0x2E: return 0xFFFF;  // Delete
    case 0x2F: return 0xFF6A;  // Help
    case 0x6A: return 0xFFAA;  // KP_Multiply
    case 0x6B: return 0xFFAB;  // KP_Add
    case 0x6C: return 0xFFAC;  // KP_Separator
    case 0x6D: return 0xFFAD;  // KP_Subtract
    case 0x6E: return 0xFFAE;  // KP_Decimal
    case 0x6F: return 0xFFAF;  // KP_Divide
    case 0x90: return 0xFF7F;  // Num_Lock
    case 0x91: return 0xFF14;  // Scroll_Lock
    default: return 0;
    }
}

} // namespace HotkeyKeys
