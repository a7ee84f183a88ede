// canvas.cpp: pixels, rectangles and smooth-edged shapes on a picture.
// All arithmetic on colours is in integers, so every run gives the same bytes.
#include "tools/pictures/canvas.h"

#include <algorithm>
#include <cstddef>

namespace {

// Each pixel is sampled on a 4 by 4 grid to find how much of it a shape covers.
constexpr int samples_per_side = 4;
constexpr int samples_per_pixel = samples_per_side * samples_per_side;

bool is_inside_picture(int x, int y) { return x >= 0 && x < picture_side && y >= 0 && y < picture_side; }

std::size_t offset_of(int x, int y) {
  return (static_cast<std::size_t>(y) * picture_side + static_cast<std::size_t>(x)) * 3;
}

int covered_samples(const shape_test& inside, int x, int y) {
  int covered = 0;
  for (int row = 0; row < samples_per_side; ++row) {
    for (int column = 0; column < samples_per_side; ++column) {
      const double sample_x = x + (column + 0.5) / samples_per_side;
      const double sample_y = y + (row + 0.5) / samples_per_side;
      covered += inside(sample_x, sample_y) ? 1 : 0;
    }
  }
  return covered;
}

}  // namespace

rgb pixel_at(const canvas& picture, int x, int y) {
  const std::size_t at = offset_of(x, y);
  return {picture.bytes[at], picture.bytes[at + 1], picture.bytes[at + 2]};
}

void set_pixel(canvas& picture, int x, int y, rgb colour) {
  if (!is_inside_picture(x, y)) return;
  const std::size_t at = offset_of(x, y);
  picture.bytes[at] = colour.red;
  picture.bytes[at + 1] = colour.green;
  picture.bytes[at + 2] = colour.blue;
}

void paint(canvas& picture, const colour_at& colour) {
  for (int y = 0; y < picture_side; ++y) {
    for (int x = 0; x < picture_side; ++x) set_pixel(picture, x, y, colour(x, y));
  }
}

void fill_rect(canvas& picture, int x, int y, int width, int height, rgb colour) {
  const int left = std::max(x, 0);
  const int right = std::min(x + width, picture_side);
  const int top = std::max(y, 0);
  const int bottom = std::min(y + height, picture_side);
  for (int row = top; row < bottom; ++row) {
    for (int column = left; column < right; ++column) set_pixel(picture, column, row, colour);
  }
}

void fill_shape(canvas& picture, const shape_test& inside, rgb colour) {
  for (int y = 0; y < picture_side; ++y) {
    for (int x = 0; x < picture_side; ++x) {
      const int covered = covered_samples(inside, x, y);
      if (covered == 0) continue;
      const int weight = covered * 256 / samples_per_pixel;
      set_pixel(picture, x, y, mix(pixel_at(picture, x, y), colour, weight));
    }
  }
}

void fill_ellipse(canvas& picture, double centre_x, double centre_y, double radius_x, double radius_y, rgb colour) {
  fill_shape(
      picture,
      [=](double x, double y) {
        const double across = (x - centre_x) / radius_x;
        const double down = (y - centre_y) / radius_y;
        return across * across + down * down <= 1.0;
      },
      colour);
}

void fill_disc(canvas& picture, double centre_x, double centre_y, double radius, rgb colour) {
  fill_ellipse(picture, centre_x, centre_y, radius, radius, colour);
}

rgb mix(rgb from, rgb to, int weight_of_256) {
  const auto channel = [weight_of_256](int a, int b) {
    return static_cast<std::uint8_t>((a * (256 - weight_of_256) + b * weight_of_256 + 128) / 256);
  };
  return {channel(from.red, to.red), channel(from.green, to.green), channel(from.blue, to.blue)};
}
