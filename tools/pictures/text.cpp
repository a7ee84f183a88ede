// text.cpp: lines of the bitmap font, letter by letter, one block per font pixel.
// Letters stand one font pixel apart.
#include "tools/pictures/text.h"

#include "tools/pictures/bitmap_font.h"

namespace {

constexpr int letter_advance = glyph_width + 1;

void draw_glyph(canvas& picture, int x, int y, int scale, char character, rgb colour) {
  const glyph_rows& rows = glyph_of(character);
  for (int row = 0; row < glyph_height; ++row) {
    for (int column = 0; column < glyph_width; ++column) {
      const bool lit = (rows[row] >> (glyph_width - 1 - column)) & 1;
      if (lit) fill_rect(picture, x + column * scale, y + row * scale, scale, scale, colour);
    }
  }
}

}  // namespace

int text_width(std::string_view text, int scale) {
  if (text.empty()) return 0;
  return (static_cast<int>(text.size()) * letter_advance - 1) * scale;
}

void draw_text(canvas& picture, int x, int y, int scale, std::string_view text, rgb colour) {
  for (const char character : text) {
    draw_glyph(picture, x, y, scale, character, colour);
    x += letter_advance * scale;
  }
}

void draw_centred_text(canvas& picture, int y, int scale, std::string_view text, rgb colour) {
  draw_text(picture, (picture_side - text_width(text, scale)) / 2, y, scale, text, colour);
}
