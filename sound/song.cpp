// song.cpp: opens a module file and hands it to libopenmpt, turning every
// failure into a null song.
#include "sound/song.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ext/stdio_filebuf.h>
#include <istream>
#include <memory>
#include <ostream>

namespace {

constexpr std::int32_t repeat_forever = -1;

// A larger file is not read at all. The module loads on the show's thread
// before the first frame, and libopenmpt may walk through every byte of a file:
// a module followed by 64 MiB of zeros took it 0.45 to 0.75 s (and 30 s with
// AddressSanitizer). 32 MiB halves that wait; the show's own module is 261 KiB.
constexpr off_t largest_module_bytes = off_t{32} << 20;

// libopenmpt writes warnings to a log stream that must outlive every module.
// A stream without a buffer swallows them; it is never destroyed, like the
// songs that refer to it.
std::ostream& silent_log() {
  static auto* const log = new std::ostream(nullptr);
  return *log;
}

// Opens without ever blocking (a FIFO with no writer would hold the show before
// its first frame). Only a regular file, symlinks followed, of at most the
// largest module's size is taken: a FIFO, a socket or a device may block or
// never end. Returns -1 for anything else.
int open_module_file(const char* file_name) {
  const int descriptor = open(file_name, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (descriptor < 0) return -1;
  struct stat status {};
  if (fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode) && status.st_size <= largest_module_bytes)
    return descriptor;
  close(descriptor);
  return -1;
}

}  // namespace

song* load_song(const char* file_name) {
  if (file_name == nullptr) return nullptr;
  const int descriptor = open_module_file(file_name);
  if (descriptor < 0) return nullptr;
  try {
    // From here the buffer owns the descriptor and closes it. Through a
    // seekable stream libopenmpt reads only what it needs, so the file is
    // never held in memory whole.
    __gnu_cxx::stdio_filebuf<char> file(descriptor, std::ios::in | std::ios::binary);
    if (!file.is_open()) {
      close(descriptor);
      return nullptr;
    }
    std::istream stream(&file);
    std::unique_ptr<song> loaded{new song{openmpt::module(stream, silent_log())}};
    loaded->module.set_repeat_count(repeat_forever);
    return loaded.release();
  } catch (...) {  // libopenmpt's exceptions for files it cannot parse, or no memory
    return nullptr;
  }
}
