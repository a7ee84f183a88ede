// make_data.cpp: writes the show's eight data files (seven pictures, one
// module) and PNG copies of the pictures into the folder it is given.
#include <cstdio>
#include <filesystem>

#include "tools/module/module_maker.h"
#include "tools/pictures/picture_maker.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) {
    std::fprintf(stderr, "cannot create %s: %s\n", argv[1], error.message().c_str());
    return 1;
  }
  const bool pictures_ok = write_pictures(folder);
  const bool module_ok = write_module(folder);
  return pictures_ok && module_ok ? 0 : 1;
}
