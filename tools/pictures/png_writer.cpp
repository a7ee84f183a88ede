// png_writer.cpp: PNG copies of the pictures through libpng's simplified interface.
// The PNG's first row is the picture's top, as in the raw file.
#include "tools/pictures/png_writer.h"

#include <png.h>

bool write_png(const std::filesystem::path& file, const canvas& picture) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = picture_side;
  image.height = picture_side;
  image.format = PNG_FORMAT_RGB;
  constexpr png_int_32 row_stride = picture_side * 3;
  const bool written = png_image_write_to_file(&image, file.c_str(), 0, picture.bytes.data(),
                                               row_stride, nullptr) != 0;
  png_image_free(&image);
  return written;
}
