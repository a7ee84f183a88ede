// bitmap_font.h: the pictures' own 5 by 7 capital-letter font.
// Each glyph is seven rows from the top; bit 4 of a row is its leftmost column.
#pragma once

#include <array>
#include <cstdint>

inline constexpr int glyph_width = 5;
inline constexpr int glyph_height = 7;

using glyph_rows = std::array<std::uint8_t, glyph_height>;

// The glyph of a character; a character the font lacks comes out as a solid
// block, so a missing letter shows at once in the pictures.
const glyph_rows& glyph_of(char character);
