// test_pictures.cpp: writes the pure-colour test pictures.
#include "tests/render/test_pictures.h"

#include <string>

#include "assets/show_pictures.h"
#include "tests/support/file_bytes.h"

test_picture_folder::test_picture_folder() : scratch_folder("test-pictures") {
  for (const picture_file& file : show_pictures) {
    const test_picture& picture = test_pictures[file.texture_name - 1];
    const int red_bytes = picture.red_rows * picture_side * 3;
    std::string bytes;
    for (int at = 0; at < picture_bytes; at += 3) {
      const colour c = at < red_bytes ? red : picture.body;
      bytes += {char(c.r), char(c.g), char(c.b)};
    }
    write_file(path / file.file_name, bytes);
  }
}
