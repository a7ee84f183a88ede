// module_maker.cpp: composes the song, encodes it as XM and writes it to
// "quorvan.xm" in the given folder.
#include "tools/module/module_maker.h"

#include <cstdio>
#include <fstream>
#include <stdexcept>

#include "assets/show_pictures.h"
#include "tools/module/module_song.h"
#include "tools/module/xm_writer.h"

bool write_module(const std::filesystem::path& folder) {
  const std::filesystem::path path = folder / music_file_name;
  try {
    const std::vector<std::uint8_t> bytes = encode_xm(compose_song());
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (file.fail()) {
      std::fprintf(stderr, "cannot write %s\n", path.c_str());
      return false;
    }
    return true;
  } catch (const std::exception& error) {
    // A part that does not fit its pattern or the format: a fault in the song.
    std::fprintf(stderr, "cannot compose %s: %s\n", path.c_str(), error.what());
    return false;
  }
}
