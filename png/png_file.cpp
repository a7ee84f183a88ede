// png_file.cpp: 8-bit RGB PNG files through libpng's simplified interface.
#include "png/png_file.h"

#include <png.h>

std::string write_png(const std::filesystem::path& file, std::span<const std::uint8_t> rgb, int width, int height) {
  if (width <= 0 || height <= 0 || rgb.size() < std::size_t(width) * height * 3)
    return "no picture of " + std::to_string(width) + "x" + std::to_string(height) + " to write";
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = png_uint_32(width);
  image.height = png_uint_32(height);
  image.format = PNG_FORMAT_RGB;
  if (png_image_write_to_file(&image, file.c_str(), 0, rgb.data(), 0, nullptr) == 0)
    return "cannot write " + file.string() + ": " + image.message;
  return {};
}
