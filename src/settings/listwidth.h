#pragma once

#include <algorithm>

// The pop-up list's width as the configuration window offers it: chosen in
// steps between a narrowest and a widest list.
namespace ListWidth {

inline constexpr int Narrowest = 50;
inline constexpr int Widest = 393;
inline constexpr int Step = 3;

// The width a stored value stands for: a value too small to be a width
// means the narrowest list, and nothing beyond the widest is offered.
constexpr int fromStored(int stored)
{
    return std::clamp(stored < 5 ? Narrowest : stored, Narrowest, Widest);
}

} // namespace ListWidth
