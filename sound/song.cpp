// song.cpp: reads a module file into memory and hands it to libopenmpt,
// turning every failure into a null song.
#include "sound/song.h"

#include <fstream>
#include <iterator>
#include <memory>
#include <ostream>
#include <vector>

namespace {

constexpr std::int32_t repeat_forever = -1;

// libopenmpt writes warnings to a log stream that must outlive every module.
// A stream without a buffer swallows them; it is never destroyed, like the
// songs that refer to it.
std::ostream& silent_log() {
  static auto* const log = new std::ostream(nullptr);
  return *log;
}

// A file that cannot be opened reads as empty.
std::vector<char> read_whole_file(const char* file_name) {
  std::ifstream file(file_name, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

}  // namespace

song* load_song(const char* file_name) {
  if (file_name == nullptr) return nullptr;
  try {
    const std::vector<char> bytes = read_whole_file(file_name);
    if (bytes.empty()) return nullptr;
    std::unique_ptr<song> loaded{new song{openmpt::module(bytes, silent_log())}};
    loaded->module.set_repeat_count(repeat_forever);
    return loaded.release();
  } catch (...) {  // libopenmpt's exceptions for files it cannot parse, or no memory
    return nullptr;
  }
}
