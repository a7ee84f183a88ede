// picture_placement.cpp: fits 4:3 into the window, rounding to whole pixels.
#include "offscreen/picture_placement.h"

#include <algorithm>

#include "offscreen/picture_framebuffer.h"

bool picture_placement::is_whole_scale() const {
  return width == whole_scale * picture_width && height == whole_scale * picture_height;
}

picture_placement place_picture(int window_width, int window_height) {
  picture_placement placed;
  if (window_width <= 0 || window_height <= 0) return placed;
  // Narrower than 4:3: the width decides; wider: the height does. Rounded to
  // the nearest pixel, never past the window, and at least one pixel.
  const long wide = long(window_width) * picture_height;
  const long high = long(window_height) * picture_width;
  if (wide <= high) {
    placed.width = window_width;
    placed.height = int((wide + picture_width / 2) / picture_width);
  } else {
    placed.height = window_height;
    placed.width = int((high + picture_height / 2) / picture_height);
  }
  placed.width = std::clamp(placed.width, 1, window_width);
  placed.height = std::clamp(placed.height, 1, window_height);
  placed.x = (window_width - placed.width) / 2;
  placed.y = (window_height - placed.height) / 2;
  placed.whole_scale = std::max(1, std::min(placed.width / picture_width, placed.height / picture_height));
  return placed;
}
