// picture_maker.cpp: draws the seven pictures and writes each as a raw file
// and as a PNG copy of the same name.
#include "tools/pictures/picture_maker.h"

#include <array>
#include <fstream>

#include "assets/show_pictures.h"
#include "png/png_file.h"
#include "tools/pictures/pictures.h"

namespace {

// In the order of show_pictures: smiley, who, greets, the three cube faces, the end.
constexpr std::array<canvas (*)(), show_pictures.size()> painters{
    draw_smiley, draw_who, draw_greets, draw_cube_face_1, draw_cube_face_2, draw_cube_face_3, draw_the_end};

bool write_raw(const std::filesystem::path& file, const canvas& picture) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(picture.bytes.data()), static_cast<std::streamsize>(picture.bytes.size()));
  out.close();
  return !out.fail();
}

}  // namespace

bool write_pictures(const std::filesystem::path& folder) {
  bool all_written = true;
  for (std::size_t index = 0; index < show_pictures.size(); ++index) {
    const canvas picture = painters[index]();
    const std::filesystem::path raw_file = folder / show_pictures[index].file_name;
    std::filesystem::path png_file = raw_file;
    png_file.replace_extension(".png");
    const bool raw_ok = write_raw(raw_file, picture);
    const bool png_ok = write_png(png_file, picture.bytes, picture_side, picture_side).empty();
    all_written = all_written && raw_ok && png_ok;
  }
  return all_written;
}
