// song_file.cpp: loading a song in the browser, where the module is a file
// in the mixer's in-memory file system; the same module settings as on a
// desktop, without the desktop's guards against FIFOs and devices.
#include <fstream>
#include <memory>
#include <ostream>

#include "sound/song.h"

namespace {

constexpr std::int32_t repeat_forever = -1;

// libopenmpt's warnings go to a stream without a buffer, which outlives every song.
std::ostream& silent_log() {
  static auto* const log = new std::ostream(nullptr);
  return *log;
}

}  // namespace

song* load_song(const char* file_name) {
  if (file_name == nullptr) return nullptr;
  try {
    std::ifstream file(file_name, std::ios::in | std::ios::binary);
    if (!file) return nullptr;
    std::unique_ptr<song> loaded{new song{openmpt::module(file, silent_log())}};
    loaded->module.set_repeat_count(repeat_forever);
    return loaded.release();
  } catch (...) {  // libopenmpt's exceptions for a file it cannot parse, or no memory
    return nullptr;
  }
}
