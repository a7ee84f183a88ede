// raw_texture.cpp: reads a raw 256 by 256 RGB picture from its file and turns
// it into a texture under a name the caller chooses.
#include "assets/raw_texture.h"

#include <GL/gl.h>

#include <cstdio>
#include <new>

#include "assets/show_pictures.h"

namespace {

struct file_closer {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
// Closes the file on every path on which it was opened.
using open_file = std::unique_ptr<std::FILE, file_closer>;

void set_texture_parameters() {
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
}

}  // namespace

pixel_buffer load_raw_image(const char* file_name, int& width, int& height) {
  width = 0;
  height = 0;
  open_file file{std::fopen(file_name, "rb")};
  if (!file) return nullptr;  // a missing picture is not reported

  // The size is fixed: nothing in the file says how big the picture is.
  width = picture_side;
  height = picture_side;
  pixel_buffer pixels{new (std::nothrow) std::uint8_t[picture_bytes]};
  if (!pixels) {
    std::fputs("Error out of Memory\n", stdout);
    width = 0;
    height = 0;
    return nullptr;
  }

  const std::size_t bytes_read = std::fread(pixels.get(), 1, picture_bytes, file.get());
  file.reset();
  if (bytes_read < picture_bytes) {
    std::fputs("Error while reading file\n", stdout);
    width = 0;
    height = 0;
    return nullptr;
  }

  std::fputs(" ca passe \n", stdout);
  std::fflush(stdout);
  return pixels;
}

int load_texture(const char* file_name, unsigned texture_name) {
  // Rows of 256 RGB pixels are 768 bytes: tightly packed, no row padding.
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  if (file_name == nullptr) return 0;

  int width = 0;
  int height = 0;
  pixel_buffer pixels = load_raw_image(file_name, width, height);
  if (!pixels) return 0;

  // The file's first row becomes texture row 0 (t = 0), the top of the picture quad.
  glBindTexture(GL_TEXTURE_2D, texture_name);
  glTexImage2D(GL_TEXTURE_2D, 0, 3, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels.get());
  pixels.reset();  // the texture holds its own copy now

  set_texture_parameters();
  glEnable(GL_TEXTURE_2D);
  return 1;
}
