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

test_picture_folder::test_picture_folder() : scratch_folder("test-pictures") {
  for (const picture_file& picture : show_pictures)
    write_picture(path / picture.file_name, test_pictures[picture.texture_name - 1]);
}
