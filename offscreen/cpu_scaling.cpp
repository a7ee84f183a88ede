// cpu_scaling.cpp: per-column and per-row taps worked out from the placement,
// then each frame a pass along the rows and one down the columns.
#include "offscreen/cpu_scaling.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "offscreen/picture_framebuffer.h"

namespace {

constexpr int full_weight = 256;

// The tap of a linear lookup at position p, in picture pixels from the edge,
// clamped to the edge as the texture is.
scaling_tap linear_tap(float p, int size) {
  const float from_first_middle = p - 0.5f;
  const int first = int(std::floor(from_first_middle));
  if (first < 0) return {0, 0};
  if (first >= size - 1) return {size - 1, 0};
  return {first, int(std::lround((from_first_middle - float(first)) * full_weight))};
}

// The taps along one axis of `size` picture pixels over `placed` output
// pixels; `scale` is output pixels per picture pixel. The same arithmetic, in
// the same single precision, as the OpenGL presenter's shader and filters.
std::vector<scaling_tap> plan_axis(int size, int placed, int whole_scale, bool is_whole, float scale) {
  std::vector<scaling_tap> taps(std::size_t(std::max(placed, 0)));
  const bool sharp = !is_whole && scale > 1.0f;
  const float flat_half = 0.5f - 0.5f / scale;
  for (int i = 0; i < placed; ++i) {
    if (is_whole) {
      taps[std::size_t(i)] = {i / whole_scale, 0};
      continue;
    }
    const float texel = (float(i) + 0.5f) / float(placed) * float(size);
    if (!sharp) {
      taps[std::size_t(i)] = linear_tap(texel, size);
      continue;
    }
    const float from_middle = texel - std::floor(texel) - 0.5f;
    const float blend = (from_middle - std::clamp(from_middle, -flat_half, flat_half)) * scale;
    taps[std::size_t(i)] = linear_tap(std::floor(texel) + 0.5f + blend, size);
  }
  return taps;
}

// A blend of two values, the second weighted in 256ths, in 256ths of a level.
std::uint16_t blend_fine(int from, int to, int weight) {
  return std::uint16_t(from * full_weight + (to - from) * weight);
}

// The three channels of a pixel, each in 256ths of a level: the pass along
// the rows keeps its blends this fine for the pass down the columns.
struct fine_pixel {
  std::uint16_t red, green, blue;
};

// A 16-bit pixel's channels widened to 8 bits, to the nearest level.
struct widened {
  std::array<std::uint8_t, 32> five{};
  std::array<std::uint8_t, 64> six{};
  widened() {
    for (int level = 0; level < 32; ++level) five[std::size_t(level)] = std::uint8_t((level * 255 * 2 + 31) / 62);
    for (int level = 0; level < 64; ++level) six[std::size_t(level)] = std::uint8_t((level * 255 * 2 + 63) / 126);
  }
  int red(rgb565_pixel pixel) const { return five[pixel >> 11]; }
  int green(rgb565_pixel pixel) const { return six[pixel >> 5 & 0x3f]; }
  int blue(rgb565_pixel pixel) const { return five[pixel & 0x1f]; }
  fine_pixel fine(rgb565_pixel pixel) const {
    return {std::uint16_t(red(pixel) * full_weight), std::uint16_t(green(pixel) * full_weight),
            std::uint16_t(blue(pixel) * full_weight)};
  }
};
const widened widen;

fine_pixel blend_across(rgb565_pixel a, rgb565_pixel b, int weight) {
  return {blend_fine(widen.red(a), widen.red(b), weight), blend_fine(widen.green(a), widen.green(b), weight),
          blend_fine(widen.blue(a), widen.blue(b), weight)};
}

constexpr int fine_level = full_weight * full_weight;

// To the nearest level, as OpenGL's filtering does.
xrgb_pixel to_level(int fine) { return (unsigned(fine) + fine_level / 2) / fine_level; }

// A row taken from one picture row alone: only rounded.
xrgb_pixel to_pixel(const fine_pixel& fine) {
  const auto channel = [](unsigned value) { return (value + full_weight / 2) / full_weight; };
  return channel(fine.red) << 16 | channel(fine.green) << 8 | channel(fine.blue);
}

xrgb_pixel blend_down(const fine_pixel& a, const fine_pixel& b, int weight) {
  const auto channel = [&](int from, int to) { return to_level(from * full_weight + (to - from) * weight); };
  return channel(a.red, b.red) << 16 | channel(a.green, b.green) << 8 | channel(a.blue, b.blue);
}

}  // namespace

scaling_plan plan_scaling(int target_width, int target_height) {
  scaling_plan plan;
  plan.target_width = target_width;
  plan.target_height = target_height;
  plan.placed = place_picture(target_width, target_height);
  const picture_placement& placed = plan.placed;
  // One scale for both axes, from the width, as the shader has it.
  const float scale = float(placed.width) / float(picture_width);
  plan.columns = plan_axis(picture_width, placed.width, placed.whole_scale, placed.is_whole_scale(), scale);
  plan.rows = plan_axis(picture_height, placed.height, placed.whole_scale, placed.is_whole_scale(), scale);
  return plan;
}

void scale_picture(const scaling_plan& plan, std::span<const rgb565_pixel> picture, std::span<xrgb_pixel> target) {
  const picture_placement& placed = plan.placed;
  if (placed.width <= 0) return;
  // Along each picture row first, then down: a row a blend needs is made once.
  // The rows across stay from frame to frame, to be written over.
  thread_local std::vector<fine_pixel> across;
  across.resize(std::size_t(picture_height) * std::size_t(placed.width));
  for (int row = 0; row < picture_height; ++row) {
    const rgb565_pixel* from = &picture[std::size_t(row) * picture_width];
    fine_pixel* to = &across[std::size_t(row) * std::size_t(placed.width)];
    for (int x = 0; x < placed.width; ++x) {
      const scaling_tap tap = plan.columns[std::size_t(x)];
      to[x] = tap.weight == 0 ? widen.fine(from[tap.first])
                              : blend_across(from[tap.first], from[tap.first + 1], tap.weight);
    }
  }
  // Row i of the placed area counts from its bottom; the target's rows from its
  // top. A row that takes the same picture rows as the one before it is a copy.
  const auto target_row = [&](int i) {
    return &target[std::size_t(plan.target_height - placed.y - 1 - i) * std::size_t(plan.target_width) +
                   std::size_t(placed.x)];
  };
  for (int i = 0; i < placed.height; ++i) {
    const scaling_tap tap = plan.rows[std::size_t(i)];
    xrgb_pixel* to = target_row(i);
    if (i > 0 && tap.first == plan.rows[std::size_t(i - 1)].first && tap.weight == plan.rows[std::size_t(i - 1)].weight) {
      std::copy_n(target_row(i - 1), placed.width, to);
      continue;
    }
    const fine_pixel* first = &across[std::size_t(tap.first) * std::size_t(placed.width)];
    if (tap.weight == 0) {
      std::transform(first, first + placed.width, to, to_pixel);
      continue;
    }
    const fine_pixel* second = first + placed.width;
    for (int x = 0; x < placed.width; ++x) to[x] = blend_down(first[x], second[x], tap.weight);
  }
}
