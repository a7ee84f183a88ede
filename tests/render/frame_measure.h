// frame_measure.h: reads colours off a 640 by 480 RGB frame and measures where
// a colour lies, and works out from the show's projection where things should be.
#pragma once

#include <cmath>
#include <cstdint>
#include <numbers>
#include <optional>
#include <span>

#include "tests/render/offscreen_show.h"

struct colour {
  std::uint8_t r, g, b;
  bool operator==(const colour&) const = default;
};

inline constexpr colour white{255, 255, 255};
inline constexpr colour black{0, 0, 0};

inline colour pixel_at(frame_pixels rgb, int x, int y) {
  const std::size_t at = (std::size_t(y) * picture_width + x) * 3;
  return {rgb[at], rgb[at + 1], rgb[at + 2]};
}

// Rows or columns, both ends included.
struct pixel_span {
  int first, last;
  int count() const { return last - first + 1; }
};

struct pixel_box {
  int left, top, right, bottom;
  int width() const { return right - left + 1; }
  int height() const { return bottom - top + 1; }
};

// The smallest box holding every pixel of the rows for which wanted(colour)
// holds; nothing if there is none. The rows are read from the top, so the
// first such pixel is on the box's top row and the last on its bottom row.
template <typename predicate>
std::optional<pixel_box> bounding_box(frame_pixels rgb, pixel_span rows, predicate wanted) {
  std::optional<pixel_box> box;
  for (int y = rows.first; y <= rows.last; ++y)
    for (int x = 0; x < picture_width; ++x)
      if (wanted(pixel_at(rgb, x, y)))
        box = box ? pixel_box{std::min(box->left, x), box->top, std::max(box->right, x), y} : pixel_box{x, y, x, y};
  return box;
}

template <typename predicate>
int count_pixels(frame_pixels rgb, pixel_span rows, predicate wanted, pixel_span columns = {0, picture_width - 1}) {
  int count = 0;
  for (int y = rows.first; y <= rows.last; ++y)
    for (int x = columns.first; x <= columns.last; ++x) count += wanted(pixel_at(rgb, x, y)) ? 1 : 0;
  return count;
}

struct point {
  double x, y;
};

// The mean position of the pixels of the rows for which wanted(colour) holds;
// nothing if there is none.
template <typename predicate>
std::optional<point> centroid(frame_pixels rgb, pixel_span rows, predicate wanted) {
  point sum{0, 0};
  int count = 0;
  for (int y = rows.first; y <= rows.last; ++y)
    for (int x = 0; x < picture_width; ++x)
      if (wanted(pixel_at(rgb, x, y))) {
        sum = {sum.x + x, sum.y + y};
        ++count;
      }
  if (count == 0) return std::nullopt;
  return point{sum.x / count, sum.y / count};
}

// The projection: a 45-degree vertical field of view over 480 rows, so a point
// at height y and depth z (negative, in front of the eye) lands y / -z times
// this many pixels above the centre row. Horizontally the same scale holds.
inline const double pixels_per_unit = (picture_height / 2.0) / std::tan(22.5 * std::numbers::pi / 180.0);

// Screen position, in pixels from the top or the left edge, of a point at
// height y (upwards) or at x (rightwards) and depth z.
inline double screen_row_of(double y, double z) { return picture_height / 2.0 - y / -z * pixels_per_unit; }
inline double screen_column_of(double x, double z) { return picture_width / 2.0 + x / -z * pixels_per_unit; }

// Pixels are filled when their centres fall inside a shape: the first and last
// pixel covered by the interval [from, to) of screen positions.
inline pixel_span covered_pixels(double from, double to) {
  return {int(std::ceil(from - 0.5)), int(std::ceil(to - 0.5)) - 1};
}

// The letterbox bars, whose inner edges lie at y = 1.5 and y = -1.5, 5.2 units
// in front of the eye, and the rows left open between them.
inline constexpr double bar_z = -5.2;
inline const pixel_span top_bar_rows = covered_pixels(0, screen_row_of(1.5, bar_z));
inline const pixel_span bottom_bar_rows = covered_pixels(screen_row_of(-1.5, bar_z), picture_height);
inline const pixel_span open_rows{top_bar_rows.last + 1, bottom_bar_rows.first - 1};

inline bool bars_are_black(frame_pixels rgb) {
  const auto not_black = [](colour c) { return c != black; };
  return count_pixels(rgb, top_bar_rows, not_black) == 0 && count_pixels(rgb, bottom_bar_rows, not_black) == 0;
}

// Where a picture quad (-1 to 1 in x and y) at eye depth z lands, as the pixels
// it covers, the rows cut off by the bars.
inline pixel_box square_at_depth(double z) {
  const pixel_span columns = covered_pixels(screen_column_of(-1, z), screen_column_of(1, z));
  const pixel_span rows = covered_pixels(screen_row_of(1, z), screen_row_of(-1, z));
  return {columns.first, std::max(rows.first, open_rows.first), columns.last, std::min(rows.last, open_rows.last)};
}

// The eye depth of the smiley on its calls 1 to 294 (its frames): from 2, 0.075
// further each call, beyond the base eye offset of 6.
inline double smiley_depth(int call) { return 2.0 - 0.075 * (call - 1) - 6.0; }
