// png_file.cpp: a small PNG writer on libpng's simplified interface.
#include "tests/support/png_file.h"

#include <png.h>

#include <cstddef>

bool write_png(const std::string& path, std::span<const std::uint8_t> rgb, int width, int height) {
  if (width <= 0 || height <= 0 || rgb.size() < std::size_t(width) * height * 3) return false;
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = png_uint_32(width);
  image.height = png_uint_32(height);
  image.format = PNG_FORMAT_RGB;
  return png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), 0, nullptr) != 0;
}
