// rgb_frame.cpp: PNG reading through libpng's simplified interface.
#include "tests/support/rgb_frame.h"

#include <png.h>

#include <algorithm>

bool rgb_frame::row_is_all(int row, std::uint8_t level) const {
  const auto first = bytes.begin() + std::ptrdiff_t(row) * width * 3;
  return std::all_of(first, first + width * 3, [=](std::uint8_t value) { return value == level; });
}

bool rgb_frame::column_is_all(int column, std::uint8_t level) const {
  for (int row = 0; row < height; ++row) {
    const auto pixel = bytes.begin() + (std::ptrdiff_t(row) * width + column) * 3;
    if (!std::all_of(pixel, pixel + 3, [=](std::uint8_t value) { return value == level; })) return false;
  }
  return true;
}

std::optional<rgb_frame> read_png(const std::filesystem::path& file) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (png_image_begin_read_from_file(&image, file.c_str()) == 0) return std::nullopt;
  image.format = PNG_FORMAT_RGB;
  rgb_frame frame{.width = int(image.width), .height = int(image.height), .bytes = {}};
  frame.bytes.resize(PNG_IMAGE_SIZE(image));
  if (png_image_finish_read(&image, nullptr, frame.bytes.data(), 0, nullptr) == 0) return std::nullopt;
  return frame;
}
