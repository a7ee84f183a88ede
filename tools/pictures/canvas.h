// canvas.h: one 256 by 256 RGB picture in memory and the shapes drawn on it.
// Rows run from the top down, in the order they go into the raw file.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "assets/show_pictures.h"

struct rgb {
  std::uint8_t red;
  std::uint8_t green;
  std::uint8_t blue;
  bool operator==(const rgb&) const = default;
};

struct canvas {
  std::vector<std::uint8_t> bytes = std::vector<std::uint8_t>(picture_bytes);
};

// Colour of every pixel from its position (x to the right, y down).
using colour_at = std::function<rgb(int x, int y)>;
// Whether a point of the picture plane, in pixel units, lies inside a shape.
using shape_test = std::function<bool(double x, double y)>;

rgb pixel_at(const canvas& picture, int x, int y);
// Points outside the picture are silently dropped, so shapes may cross its edges.
void set_pixel(canvas& picture, int x, int y, rgb colour);

void paint(canvas& picture, const colour_at& colour);
void fill_rect(canvas& picture, int x, int y, int width, int height, rgb colour);

// Covers each pixel in proportion to how much of it lies inside the shape,
// so round edges come out smooth.
void fill_shape(canvas& picture, const shape_test& inside, rgb colour);
void fill_ellipse(canvas& picture, double centre_x, double centre_y, double radius_x, double radius_y, rgb colour);
void fill_disc(canvas& picture, double centre_x, double centre_y, double radius, rgb colour);

// Linear mix of two colours: 0 gives `from`, 256 gives `to`.
rgb mix(rgb from, rgb to, int weight_of_256);
