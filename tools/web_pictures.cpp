// web_pictures.cpp: writes the show's seven pictures as PNG files for the
// page, which decodes them into the raw files the show reads: far smaller to
// send. A picture file that is missing or short is left out and reported; the
// page then shows that picture white, as the desktop does.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include "assets/show_pictures.h"
#include "png/png_file.h"

namespace {

// The picture as the show reads it: its first picture_bytes bytes.
std::vector<std::uint8_t> read_picture(const std::filesystem::path& file) {
  std::vector<std::uint8_t> rgb(picture_bytes);
  std::ifstream stream(file, std::ios::binary);
  if (!stream.read(reinterpret_cast<char*>(rgb.data()), picture_bytes)) rgb.clear();
  return rgb;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s DATA_FOLDER OUTPUT_FOLDER\n", argv[0]);
    return 2;
  }
  const std::filesystem::path data = argv[1];
  const std::filesystem::path output = argv[2];
  std::filesystem::create_directories(output);
  for (const picture_file& picture : show_pictures) {
    const std::filesystem::path png = (output / picture.file_name).replace_extension(".png");
    std::filesystem::remove(png);
    const std::vector<std::uint8_t> rgb = read_picture(data / picture.file_name);
    if (rgb.empty()) {
      std::fprintf(stderr, "%s: missing or shorter than %d bytes; left out\n",
                   (data / picture.file_name).c_str(), picture_bytes);
      continue;
    }
    if (const std::string why = write_png(png, rgb, picture_side, picture_side); !why.empty()) {
      std::fprintf(stderr, "%s\n", why.c_str());
      return 1;
    }
  }
  return 0;
}
