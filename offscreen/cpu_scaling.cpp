// cpu_scaling.cpp: per-column and per-row taps worked out from the placement,
// then each frame a pass along the rows and one down the columns.
#include "offscreen/cpu_scaling.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "offscreen/picture_framebuffer.h"

namespace {

constexpr int full_weight = 256;
// What a band keeps for each column: two picture rows blended across, three channels each.
constexpr std::size_t band_floats_per_column = 2 * 3;

// On x86-64 the loop that blends each frame's rows down comes twice, the
// second for processors with AVX2, whose wider registers take a sixth off a
// frame's scaling; the one that suits the processor is chosen as the program loads.
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define wide_vectors __attribute__((target_clones("avx2", "default")))
#else
#define wide_vectors
#endif

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

// A 16-bit pixel's channels widened to 8 bits, to the nearest level; and the
// same in 256ths of a level, for blending.
struct widened {
  std::array<std::uint8_t, 32> five{};
  std::array<std::uint8_t, 64> six{};
  std::array<float, 32> fine_five{};
  std::array<float, 64> fine_six{};
  widened() {
    for (std::size_t level = 0; level < 32; ++level) {
      five[level] = std::uint8_t((level * 255 * 2 + 31) / 62);
      fine_five[level] = float(five[level] * full_weight);
    }
    for (std::size_t level = 0; level < 64; ++level) {
      six[level] = std::uint8_t((level * 255 * 2 + 63) / 126);
      fine_six[level] = float(six[level] * full_weight);
    }
  }
  unsigned red(rgb565_pixel pixel) const { return five[pixel >> 11]; }
  unsigned green(rgb565_pixel pixel) const { return six[pixel >> 5 & 0x3f]; }
  unsigned blue(rgb565_pixel pixel) const { return five[pixel & 0x1f]; }
};
const widened widen;

// Channels of 8 bits packed as a target pixel: 0x00RRGGBB as they are, or
// narrowed to the nearest 5-6-5 level, which gives a 16-bit picture pixel back
// exactly where it was only widened.
template <typename pixel>
pixel pack(unsigned red, unsigned green, unsigned blue);

template <>
xrgb_pixel pack(unsigned red, unsigned green, unsigned blue) {
  return red << 16 | green << 8 | blue;
}

template <>
rgb565_pixel pack(unsigned red, unsigned green, unsigned blue) {
  const auto narrow = [](unsigned level, unsigned top) { return (level * top + 127) / 255; };
  return rgb565_pixel(narrow(red, 31) << 11 | narrow(green, 63) << 5 | narrow(blue, 31));
}

template <typename pixel>
pixel widened_pixel(rgb565_pixel from) {
  return pack<pixel>(widen.red(from), widen.green(from), widen.blue(from));
}

// At 16 bits a picture pixel is its own target pixel.
template <>
rgb565_pixel widened_pixel(rgb565_pixel from) {
  return from;
}

// The rows of `height` that a band takes, from the bottom: the lower half,
// the rest, or all of them.
std::pair<int, int> band_rows(scaling_band band, int height) {
  switch (band) {
    case scaling_band::lower: return {0, height / 2};
    case scaling_band::upper: return {height / 2, height};
    default: return {0, height};
  }
}

// Whole scales repeat each pixel along the row and each row down: no blend.
template <typename pixel>
void repeat_pixels(const scaling_plan& plan, std::span<const rgb565_pixel> picture, pixel* bottom_row,
                   std::ptrdiff_t row_step, scaling_band band) {
  const int scale = plan.placed.whole_scale;
  const int width = plan.placed.width;
  const auto [first_row, end_row] = band_rows(band, picture_height);
  for (int row = first_row; row < end_row; ++row) {
    const rgb565_pixel* from = &picture[std::size_t(row) * picture_width];
    pixel* to = bottom_row + row_step * row * scale;
    for (int x = 0; x < width; ++x) to[x] = widened_pixel<pixel>(from[plan.columns[std::size_t(x)].first]);
    for (int copy = 1; copy < scale; ++copy) std::copy_n(to, width, to + row_step * copy);
  }
}

// One picture row blended across into the placed area's columns, each
// channel in 256ths of a level, as the pass down needs it: three planes of
// floats in the plan's room, which hold these values and the blends down
// exactly (every one is a whole number of 65536ths below 256 levels, under
// 2^24), so that the pass down is plain arithmetic on arrays that the
// compiler spreads over vector registers.
struct fine_row {
  int picture_row = -1;
  float* red;
  float* green;
  float* blue;
};

void blend_across(const scaling_plan& plan, std::span<const rgb565_pixel> picture, int row, fine_row& into) {
  // The row's channels widened, in 256ths of a level, its last pixel
  // repeated once past the edge so that a tap without weight may read its
  // second pixel.
  std::array<std::array<float, picture_width + 1>, 3> levels;
  const rgb565_pixel* from = &picture[std::size_t(row) * picture_width];
  for (std::size_t x = 0; x <= picture_width; ++x) {
    const rgb565_pixel pixel = from[std::min(x, std::size_t(picture_width - 1))];
    levels[0][x] = widen.fine_five[pixel >> 11];
    levels[1][x] = widen.fine_six[pixel >> 5 & 0x3f];
    levels[2][x] = widen.fine_five[pixel & 0x1f];
  }
  const std::size_t width = std::size_t(plan.placed.width);
  into.picture_row = row;
  float* const planes[] = {into.red, into.green, into.blue};
  for (std::size_t channel = 0; channel < 3; ++channel) {
    const float* level = levels[channel].data();
    float* to = planes[channel];
    for (std::size_t x = 0; x < width; ++x) {
      const std::size_t first = std::size_t(plan.columns[x].first);
      to[x] = level[first] + (level[first + 1] - level[first]) * plan.column_shares[x];
    }
  }
}

// Fine values blended down, the second weighted in 256ths, to the nearest
// level, as OpenGL's filtering does: exact in single precision.
template <typename pixel>
[[gnu::always_inline]] inline void blend_rows_down(const fine_row& first, const fine_row& second, int weight, pixel* to,
                                                   int width) {
  const float second_share = float(weight) / float(full_weight);
  const auto level = [&](float from, float towards) {
    return unsigned(int((from + (towards - from) * second_share) * (1.0f / full_weight) + 0.5f));
  };
  for (std::size_t x = 0; x < std::size_t(width); ++x)
    to[x] = pack<pixel>(level(first.red[x], second.red[x]), level(first.green[x], second.green[x]),
                        level(first.blue[x], second.blue[x]));
}

wide_vectors void blend_down(const fine_row& first, const fine_row& second, int weight, xrgb_pixel* to, int width) {
  blend_rows_down(first, second, weight, to, width);
}

wide_vectors void blend_down(const fine_row& first, const fine_row& second, int weight, rgb565_pixel* to, int width) {
  blend_rows_down(first, second, weight, to, width);
}

template <typename pixel>
void scale_into(const scaling_plan& plan, std::span<const rgb565_pixel> picture, std::span<pixel> target,
                scaling_band band) {
  const picture_placement& placed = plan.placed;
  if (placed.width <= 0) return;
  // Row i of the placed area counts from its bottom; the target's rows from its top.
  pixel* const bottom_row =
      &target[std::size_t(plan.target_height - placed.y - 1) * std::size_t(plan.target_width) + std::size_t(placed.x)];
  const std::ptrdiff_t row_step = -std::ptrdiff_t(plan.target_width);
  if (placed.is_whole_scale()) {
    repeat_pixels(plan, picture, bottom_row, row_step, band);
    return;
  }
  // The rows a target row blends go up the picture, so two blended rows are
  // all that is kept: picture row r in slot r % 2, each made once. A row
  // that takes the same picture rows as the one before it is a copy. The
  // upper band keeps its rows in a room of its own.
  const std::size_t width = std::size_t(placed.width);
  float* const room = plan.blended_rows.data() + (band == scaling_band::upper ? band_floats_per_column * width : 0);
  std::array<fine_row, 2> across{fine_row{-1, room, room + width, room + 2 * width},
                                 fine_row{-1, room + 3 * width, room + 4 * width, room + 5 * width}};
  const auto blended_row = [&](int row) -> const fine_row& {
    fine_row& slot = across[std::size_t(row % 2)];
    if (slot.picture_row != row) blend_across(plan, picture, row, slot);
    return slot;
  };
  const auto [first_row, end_row] = band_rows(band, placed.height);
  for (int i = first_row; i < end_row; ++i) {
    const scaling_tap tap = plan.rows[std::size_t(i)];
    pixel* to = bottom_row + row_step * i;
    if (i > first_row && tap.first == plan.rows[std::size_t(i - 1)].first &&
        tap.weight == plan.rows[std::size_t(i - 1)].weight) {
      std::copy_n(to - row_step, placed.width, to);
      continue;
    }
    const fine_row& first = blended_row(tap.first);
    const fine_row& second = tap.weight == 0 ? first : blended_row(tap.first + 1);
    blend_down(first, second, tap.weight, to, placed.width);
  }
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
  for (const scaling_tap& column : plan.columns) plan.column_shares.push_back(float(column.weight) / full_weight);
  if (!placed.is_whole_scale()) plan.blended_rows.resize(2 * band_floats_per_column * plan.columns.size());
  return plan;
}

void scale_picture(const scaling_plan& plan, std::span<const rgb565_pixel> picture, std::span<xrgb_pixel> target,
                   scaling_band band) {
  scale_into(plan, picture, target, band);
}

void scale_picture(const scaling_plan& plan, std::span<const rgb565_pixel> picture, std::span<rgb565_pixel> target,
                   scaling_band band) {
  scale_into(plan, picture, target, band);
}
