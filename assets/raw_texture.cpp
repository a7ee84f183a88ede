// raw_texture.cpp: reads a raw 256 by 256 RGB picture from its file and turns
// it into a texture under a name the caller chooses.
#include "assets/raw_texture.h"

#include <GL/gl.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <utility>

#include "assets/show_pictures.h"

namespace {

struct file_closer {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
// Closes the file on every path on which it was opened.
using open_file = std::unique_ptr<std::FILE, file_closer>;

struct opened_picture {
  open_file file;
  bool regular = false;  // only a regular file is read
};

// Opens without ever blocking (a FIFO with no writer would hold the show before
// its first frame) and tells whether it is a regular file, symlinks followed.
// Nothing else is read: a FIFO, a socket or a device may block or never end.
// On a regular file the non-blocking flag changes nothing.
opened_picture open_picture(const char* file_name) {
  const int descriptor = open(file_name, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (descriptor < 0) return {};
  struct stat status {};
  const bool regular = fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode);
  open_file file{fdopen(descriptor, "rb")};
  if (!file) {
    close(descriptor);
    return {};
  }
  return {std::move(file), regular};
}

// The line on standard error that says which picture and what was wrong;
// standard output keeps the show's own lines.
void report(const char* file_name, const char* what) {
  std::fprintf(stderr, "%s: picture %s: %s\n", program_invocation_short_name, file_name, what);
}

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
  opened_picture picture = open_picture(file_name);
  if (!picture.file) {  // the show's own output says nothing of a missing picture
    report(file_name, std::strerror(errno));
    return nullptr;
  }

  // The size is fixed: nothing in the file says how big the picture is.
  width = picture_side;
  height = picture_side;
  pixel_buffer pixels{new (std::nothrow) std::uint8_t[picture_bytes]};
  if (!pixels) {
    std::fputs("Error out of Memory\n", stdout);
    report(file_name, "out of memory");
    width = 0;
    height = 0;
    return nullptr;
  }

  const std::size_t bytes_read = picture.regular ? std::fread(pixels.get(), 1, picture_bytes, picture.file.get()) : 0;
  picture.file.reset();
  if (bytes_read < picture_bytes) {
    std::fputs("Error while reading file\n", stdout);
    std::fflush(stdout);
    if (!picture.regular) {
      report(file_name, "not a regular file");
    } else {
      report(file_name, ("shorter than " + std::to_string(picture_bytes) + " bytes (" + std::to_string(bytes_read) +
                         ")").c_str());
    }
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
