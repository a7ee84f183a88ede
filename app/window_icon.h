// window_icon.h: the program's icon, the smiley, in every size of its icon
// theme, as the window's _NET_WM_ICON property holds it: for each size its
// width, its height, then its pixels as ARGB, top row first. The build draws it.
#pragma once

#include <cstddef>
#include <cstdint>

extern const std::uint32_t window_icon[];
extern const std::size_t window_icon_size;  // in 32-bit values
