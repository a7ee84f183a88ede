// cube_faces.cpp: the three pictures on the tumbling cube's faces, each a pattern
// of its own colour with a large digit, framed by a bevel that marks the cube's edges.
#include <algorithm>
#include <cstdlib>
#include <string_view>

#include "tools/pictures/bitmap_font.h"
#include "tools/pictures/pictures.h"
#include "tools/pictures/text.h"

namespace {

constexpr int bevel_width = 12;
constexpr int digit_scale = 16;
constexpr int digit_outline = 4;
constexpr rgb digit_white{255, 255, 255};
constexpr rgb digit_outline_black{0, 0, 0};

// The bevel is lit along the top and left edges and shaded along the bottom and
// right ones, like a raised tile lit from the upper left.
struct bevel {
  rgb lit;
  rgb shaded;
};

bool is_on_lit_side(int x, int y) {
  const int from_bottom = picture_side - 1 - y;
  const int from_right = picture_side - 1 - x;
  const int nearest_lit = std::min(x, y);
  return nearest_lit <= std::min(from_bottom, from_right);
}

bool is_on_bevel(int x, int y) {
  const int from_edge = std::min({x, y, picture_side - 1 - x, picture_side - 1 - y});
  return from_edge < bevel_width;
}

void draw_outlined_digit(canvas& picture, char digit) {
  const std::string_view text(&digit, 1);
  const int x = (picture_side - text_width(text, digit_scale)) / 2;
  const int y = (picture_side - glyph_height * digit_scale) / 2;
  for (int dy = -digit_outline; dy <= digit_outline; dy += digit_outline) {
    for (int dx = -digit_outline; dx <= digit_outline; dx += digit_outline) {
      draw_text(picture, x + dx, y + dy, digit_scale, text, digit_outline_black);
    }
  }
  draw_text(picture, x, y, digit_scale, text, digit_white);
}

canvas draw_cube_face(const colour_at& pattern, bevel frame, char digit) {
  canvas picture;
  paint(picture, [&](int x, int y) {
    if (!is_on_bevel(x, y)) return pattern(x, y);
    return is_on_lit_side(x, y) ? frame.lit : frame.shaded;
  });
  draw_outlined_digit(picture, digit);
  return picture;
}

}  // namespace

canvas draw_cube_face_1() {
  constexpr int square = (picture_side - 2 * bevel_width) / 8;  // eight squares across
  // Static, so the lambdas below may use the colours without capturing them.
  static constexpr rgb red{215, 35, 35};
  static constexpr rgb dark_red{125, 12, 22};
  return draw_cube_face(
      [](int x, int y) {
        const int across = (x - bevel_width) / square;
        const int down = (y - bevel_width) / square;
        return (across + down) % 2 == 0 ? red : dark_red;
      },
      {{255, 150, 140}, {80, 5, 10}}, '1');
}

canvas draw_cube_face_2() {
  constexpr int stripe = 20;
  static constexpr rgb green{60, 190, 70};
  static constexpr rgb dark_green{20, 110, 40};
  return draw_cube_face([](int x, int y) { return (x + y) / stripe % 2 == 0 ? green : dark_green; },
                        {{175, 250, 165}, {8, 60, 18}}, '2');
}

canvas draw_cube_face_3() {
  constexpr int ring = 32;  // in half pixels: diamonds 16 pixels apart
  static constexpr rgb blue{55, 115, 240};
  static constexpr rgb dark_blue{20, 40, 150};
  return draw_cube_face(
      [](int x, int y) {
        // Twice the diamond distance from the centre (127.5, 127.5), in whole numbers.
        constexpr int twice_centre = picture_side - 1;
        const int distance = std::abs(2 * x - twice_centre) + std::abs(2 * y - twice_centre);
        return distance / ring % 2 == 0 ? blue : dark_blue;
      },
      {{165, 200, 255}, {10, 18, 85}}, '3');
}
