// test_pictures.cpp: writes the pure-colour test pictures.
#include "tests/render/test_pictures.h"

#include <string>

#include "assets/show_pictures.h"
#include "tests/support/file_bytes.h"

namespace {

void write_picture(const std::filesystem::path& file, const test_picture& picture) {
  const int red_bytes = picture.red_rows * picture_side * 3;
  std::string bytes(picture_bytes, '\0');
  for (int at = 0; at < picture_bytes; at += 3) {
    const colour c = at < red_bytes ? red : picture.body;
    bytes[at] = char(c.r);
    bytes[at + 1] = char(c.g);
    bytes[at + 2] = char(c.b);
  }
  write_file(file, bytes);
}

}  // namespace

std::bitset<7> pictures_shown(std::span<const std::uint8_t> rgb) {
  std::bitset<7> shown;
  for (int y = 0; y < picture_height; ++y)
    for (int x = 0; x < picture_width; ++x) {
      const colour c = pixel_at(rgb, x, y);
      if (c == white || c == black || c == red) continue;
      for (std::size_t picture = 0; picture < test_pictures.size(); ++picture)
        if (c == test_pictures[picture].body) shown.set(picture);
    }
  return shown;
}

test_picture_folder::test_picture_folder() : scratch_folder("test-pictures") {
  for (const picture_file& picture : show_pictures)
    write_picture(path / picture.file_name, test_pictures[picture.texture_name - 1]);
}
