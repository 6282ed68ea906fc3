#pragma once

#include <QStringList>

#include <cstdint>

// The keys a hotkey can use: the hotkey component's key table of virtual
// key codes, the 95 entries the user picks from, and the X keysym each code
// stands for on this desktop.
namespace HotkeyKeys {

inline constexpr int KeyTableSize = 102;
inline constexpr int ListSize = 95;

// Virtual key code at a key-table index (0 = none).
int virtualKey(int keyIndex);
// The key-table index of a list entry; an index outside the list gives 0.
int keyIndexOf(int listIndex);
const QStringList &listEntries();
// The X keysym of a virtual key code; 0 when it has none.
std::uint32_t keysymOf(int virtualKey);

} // namespace HotkeyKeys
