// cards.cpp: the three text pictures: the credits, the greetings and the closing card.
// Text is enlarged two to five times and casts a dark shadow, to stay legible on screen.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "tools/pictures/pictures.h"
#include "tools/pictures/text.h"

namespace {

constexpr rgb white{255, 255, 255};
constexpr rgb shadow{10, 8, 20};

// A vertical blend from the top colour to the bottom colour over the rows first to last.
rgb vertical_blend(int y, int first, int last, rgb top, rgb bottom) {
  if (y <= first) return top;
  if (y >= last) return bottom;
  return mix(top, bottom, (y - first) * 256 / (last - first));
}

void draw_shadowed_line(canvas& picture, int y, int scale, std::string_view text, rgb colour) {
  const int x = (picture_side - text_width(text, scale)) / 2;
  draw_text(picture, x + scale / 2 + 1, y + scale / 2 + 1, scale, text, shadow);
  draw_text(picture, x, y, scale, text, colour);
}

// A bright band across the top of a card, with a light rule along its foot.
void draw_title_band(canvas& picture, int height, rgb band, rgb rule) {
  constexpr int rule_height = 3;
  fill_rect(picture, 0, 0, picture_side, height, band);
  fill_rect(picture, 0, height, picture_side, rule_height, rule);
}

// Where the closing card's night sky meets the sea.
constexpr int horizon_y = 204;

// Scattered stars above the horizon, from a fixed linear congruential sequence.
void draw_stars(canvas& picture) {
  constexpr int star_count = 90;
  constexpr rgb star{255, 250, 220};
  std::uint32_t state = 20240601u;
  const auto next = [&state](int below) {
    state = state * 1664525u + 1013904223u;
    return static_cast<int>((state >> 16) % static_cast<std::uint32_t>(below));
  };
  for (int count = 0; count < star_count; ++count) {
    const int x = next(picture_side);
    const int y = next(horizon_y - 40);
    const int size = next(4) == 0 ? 2 : 1;
    fill_rect(picture, x, y, size, size, star);
  }
}

// The sun's reflection: glittering lines on the water, shorter further down.
void draw_reflection(canvas& picture, rgb glitter) {
  constexpr int line_spacing = 6;
  for (int y = horizon_y + 3; y < picture_side; y += line_spacing) {
    const int half_length = 44 - (y - horizon_y) * 2 / 3;
    fill_rect(picture, picture_side / 2 - half_length, y, 2 * half_length, 2, glitter);
  }
}

}  // namespace

canvas draw_who() {
  constexpr rgb navy_top{24, 30, 84};
  constexpr rgb navy_bottom{6, 6, 28};
  constexpr rgb orange{245, 130, 25};
  constexpr rgb pale_orange{255, 200, 120};
  constexpr rgb cyan{100, 220, 255};
  constexpr int band_height = 52;
  constexpr int first_credit_y = 70;
  constexpr int credit_spacing = 62;
  constexpr int name_below_label = 20;
  constexpr std::array<std::string_view, 3> crafts{"CODE", "GRAPHICS", "MUSIC"};

  canvas picture;
  paint(picture, [&](int, int y) { return vertical_blend(y, band_height, picture_side - 1, navy_top, navy_bottom); });
  draw_title_band(picture, band_height, orange, pale_orange);
  draw_shadowed_line(picture, 9, 5, "QUORVAN", white);
  for (int y = first_credit_y; const std::string_view craft : crafts) {
    draw_shadowed_line(picture, y, 2, craft, cyan);
    draw_shadowed_line(picture, y + name_below_label, 2, "THE QUORVAN TEAM", white);
    y += credit_spacing;
  }
  return picture;
}

canvas draw_greets() {
  constexpr rgb plum_top{62, 18, 86};
  constexpr rgb plum_bottom{22, 6, 36};
  constexpr rgb teal{20, 170, 150};
  constexpr rgb pale_teal{150, 240, 220};
  constexpr std::array<rgb, 2> name_colours{{{255, 220, 90}, {255, 150, 210}}};
  constexpr int band_height = 40;
  constexpr int first_name_y = 58;
  constexpr int name_spacing = 27;
  constexpr std::array<std::string_view, 7> groups{"THE BYTE BAKERS", "RASTER RANGERS", "SINE SISTERS", "PIXEL PICNIC",
                                                   "COPPER KITTENS",  "NULL & VOID",    "THE LOOP CREW"};

  canvas picture;
  paint(picture, [&](int, int y) { return vertical_blend(y, band_height, picture_side - 1, plum_top, plum_bottom); });
  draw_title_band(picture, band_height, teal, pale_teal);
  draw_shadowed_line(picture, 10, 3, "GREETINGS TO", white);
  for (std::size_t line = 0; line < groups.size(); ++line) {
    const int y = first_name_y + static_cast<int>(line) * name_spacing;
    draw_shadowed_line(picture, y, 2, groups[line], name_colours[line % name_colours.size()]);
  }
  return picture;
}

canvas draw_the_end() {
  constexpr rgb night{6, 6, 32};
  constexpr rgb dusk{150, 50, 90};
  constexpr rgb sea{14, 18, 56};
  constexpr rgb sun{255, 150, 40};
  constexpr rgb glitter{240, 120, 50};
  constexpr rgb gold{255, 210, 90};
  constexpr rgb pale_blue{180, 210, 255};
  constexpr double sun_radius = 46.0;

  canvas picture;
  paint(picture, [&](int, int y) { return y < horizon_y ? vertical_blend(y, 0, horizon_y, night, dusk) : sea; });
  draw_stars(picture);
  fill_shape(
      picture,
      [&](double x, double y) {
        const double across = x - picture_side / 2.0;
        const double down = y - horizon_y;
        return y < horizon_y && across * across + down * down <= sun_radius * sun_radius;
      },
      sun);
  draw_reflection(picture, glitter);
  draw_shadowed_line(picture, 28, 5, "THE END", white);
  draw_shadowed_line(picture, 84, 3, "QUORVAN", gold);
  draw_shadowed_line(picture, 124, 2, "THANKS FOR WATCHING", pale_blue);
  return picture;
}
