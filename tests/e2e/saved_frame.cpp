// saved_frame.cpp: PNG reading through libpng's simplified interface.
#include "tests/e2e/saved_frame.h"

#include <png.h>

#include <algorithm>

std::optional<saved_frame> read_saved_frame(const std::filesystem::path& file) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (png_image_begin_read_from_file(&image, file.c_str()) == 0) return std::nullopt;
  image.format = PNG_FORMAT_RGB;
  saved_frame frame{.width = int(image.width), .height = int(image.height), .rgb = {}};
  frame.rgb.resize(PNG_IMAGE_SIZE(image));
  if (png_image_finish_read(&image, nullptr, frame.rgb.data(), 0, nullptr) == 0) return std::nullopt;
  return frame;
}

bool row_is_all(const saved_frame& frame, int row, std::uint8_t level) {
  const auto first = frame.rgb.begin() + std::ptrdiff_t(row) * frame.width * 3;
  return std::all_of(first, first + frame.width * 3, [=](std::uint8_t value) { return value == level; });
}
