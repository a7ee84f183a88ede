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

inline colour pixel_at(std::span<const std::uint8_t> rgb, int x, int y) {
  const std::size_t at = (std::size_t(y) * picture_width + x) * 3;
  return {rgb[at], rgb[at + 1], rgb[at + 2]};
}

// Rows and columns, both ends included.
struct pixel_box {
  int left, top, right, bottom;
  int width() const { return right - left + 1; }
  int height() const { return bottom - top + 1; }
};

// The smallest box holding every pixel of rows first_row..last_row for which
// wanted(colour) holds; nothing if there is none.
template <typename predicate>
std::optional<pixel_box> bounding_box(std::span<const std::uint8_t> rgb, int first_row, int last_row,
                                      predicate wanted) {
  std::optional<pixel_box> box;
  for (int y = first_row; y <= last_row; ++y)
    for (int x = 0; x < picture_width; ++x) {
      if (!wanted(pixel_at(rgb, x, y))) continue;
      if (!box) box = pixel_box{x, y, x, y};
      box->left = std::min(box->left, x);
      box->right = std::max(box->right, x);
      box->top = std::min(box->top, y);
      box->bottom = std::max(box->bottom, y);
    }
  return box;
}

template <typename predicate>
int count_pixels(std::span<const std::uint8_t> rgb, int first_row, int last_row, predicate wanted) {
  int count = 0;
  for (int y = first_row; y <= last_row; ++y)
    for (int x = 0; x < picture_width; ++x) count += wanted(pixel_at(rgb, x, y)) ? 1 : 0;
  return count;
}

struct point {
  double x, y;
};

// The mean position of the pixels of rows first_row..last_row for which
// wanted(colour) holds; nothing if there is none.
template <typename predicate>
std::optional<point> centroid(std::span<const std::uint8_t> rgb, int first_row, int last_row, predicate wanted) {
  double sum_x = 0, sum_y = 0;
  int count = 0;
  for (int y = first_row; y <= last_row; ++y)
    for (int x = 0; x < picture_width; ++x)
      if (wanted(pixel_at(rgb, x, y))) {
        sum_x += x;
        sum_y += y;
        ++count;
      }
  if (count == 0) return std::nullopt;
  return point{sum_x / count, sum_y / count};
}

// The projection: a 45-degree vertical field of view over 480 rows, so a point
// at height y and depth z (negative, in front of the eye) lands y / -z times
// this many pixels above the centre row. Horizontally the same scale holds.
inline const double pixels_per_unit_at_unit_distance =
    (picture_height / 2.0) / std::tan(22.5 * std::numbers::pi / 180.0);

// Screen position, in pixels from the top or the left edge, of a point at
// height y (upwards) or at x (rightwards) and depth z.
inline double screen_row_of(double y, double z) {
  return picture_height / 2.0 - y / -z * pixels_per_unit_at_unit_distance;
}
inline double screen_column_of(double x, double z) {
  return picture_width / 2.0 + x / -z * pixels_per_unit_at_unit_distance;
}

// Pixels are filled when their centres fall inside a shape: the first and last
// pixel covered by the interval [from, to) of screen positions.
struct pixel_span {
  int first, last;
  int count() const { return last - first + 1; }
};
inline pixel_span covered_pixels(double from, double to) {
  return {int(std::ceil(from - 0.5)), int(std::ceil(to - 0.5)) - 1};
}

// The letterbox bars, whose inner edges lie at y = 1.5 and y = -1.5, 5.2 units
// in front of the eye, and the rows left open between them.
inline constexpr double bar_z = -5.2;
inline const pixel_span top_bar_rows = covered_pixels(0, screen_row_of(1.5, bar_z));
inline const pixel_span bottom_bar_rows = covered_pixels(screen_row_of(-1.5, bar_z), picture_height);
inline const pixel_span open_rows{top_bar_rows.last + 1, bottom_bar_rows.first - 1};
