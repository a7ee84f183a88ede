// cpu_scaling.h: the picture scaled on the CPU, as present_picture scales it
// with OpenGL (within one level a channel), for renderers that draw on the
// CPU anyway: there, reading the 640 by 480 picture back and scaling it here
// costs far less than having the renderer shade every screen pixel.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "offscreen/picture_placement.h"

// A pixel of the picture as glReadPixels gives it with GL_UNSIGNED_SHORT_5_6_5.
using rgb565_pixel = std::uint16_t;
// A pixel as X keeps a 24-bit TrueColor pixel in 32 bits: 0x00RRGGBB.
using xrgb_pixel = std::uint32_t;

// For one output pixel along one axis: the first of the two picture pixels
// it blends, and the second's weight in 256ths (0 takes the first alone).
struct scaling_tap {
  int first;
  int weight;
};

// How a target of a given size takes its pixels from the picture: worked out
// once for each size. Whole scales repeat pixels; other scales above the
// picture's size are sharp bilinear, below it plain bilinear.
struct scaling_plan {
  int target_width = 0;
  int target_height = 0;
  picture_placement placed;
  std::vector<scaling_tap> columns;  // one for each of the placed area's columns
  std::vector<scaling_tap> rows;     // one for each of its rows, the bottom row first
  std::vector<float> column_shares;  // each column's second weight as a fraction, for blending in floats
  // Room for two picture rows blended across, three channels each, for each
  // of the two bands, made with the plan so that scaling a frame allocates nothing.
  mutable std::vector<float> blended_rows;
};

scaling_plan plan_scaling(int target_width, int target_height);

// The placed area's rows split in two, so that two threads may scale one
// frame between them: the lower half, the upper half, or all of it.
enum class scaling_band { lower, upper, whole };

// Scales the picture (picture_width x picture_height, the bottom row first,
// as glReadPixels reads it) into the placed area of target (target_width x
// target_height, the top row first, as X takes it), widening 16-bit colour
// to 8 bits a channel as OpenGL does, to the nearest level. The bands around
// it are left as they are: black once, they stay black.
void scale_picture(const scaling_plan& plan, std::span<const rgb565_pixel> picture, std::span<xrgb_pixel> target,
                   scaling_band band = scaling_band::whole);
// The same for a 16-bit target, each channel narrowed back to the nearest
// 5-6-5 level: at whole scales the picture's own pixels.
void scale_picture(const scaling_plan& plan, std::span<const rgb565_pixel> picture, std::span<rgb565_pixel> target,
                   scaling_band band = scaling_band::whole);
