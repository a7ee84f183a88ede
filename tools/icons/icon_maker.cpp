// icon_maker.cpp: draws the smiley once and writes it, shrunk by area averaging,
// as one PNG per icon size.
#include "tools/icons/icon_maker.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>

#include "png/png_file.h"
#include "tools/pictures/pictures.h"

namespace {

// How much of old pixel `from` lies under new pixel `to`, along one axis, in
// units where an old pixel is new_side long and a new pixel side long.
int overlap(int from, int to, int side, int new_side) {
  const int start = std::max(from * new_side, to * side);
  const int end = std::min((from + 1) * new_side, (to + 1) * side);
  return std::max(0, end - start);
}

}  // namespace

std::vector<std::uint8_t> shrink_picture(std::span<const std::uint8_t> rgb, int side, int new_side) {
  std::vector<std::uint8_t> shrunk(std::size_t(new_side) * new_side * 3);
  const long long area = (long long)side * side;  // the weight of one whole new pixel
  for (int new_y = 0; new_y < new_side; ++new_y)
    for (int new_x = 0; new_x < new_side; ++new_x)
      for (int channel = 0; channel < 3; ++channel) {
        long long sum = 0;
        // Only the old pixels under this new one: from floor(new * side / new_side).
        for (int y = new_y * side / new_side; y < side && y * new_side < (new_y + 1) * side; ++y)
          for (int x = new_x * side / new_side; x < side && x * new_side < (new_x + 1) * side; ++x)
            sum += (long long)overlap(y, new_y, side, new_side) * overlap(x, new_x, side, new_side) *
                   rgb[(std::size_t(y) * side + x) * 3 + channel];
        shrunk[(std::size_t(new_y) * new_side + new_x) * 3 + channel] = std::uint8_t((sum + area / 2) / area);
      }
  return shrunk;
}

std::filesystem::path icon_path(const std::filesystem::path& theme_folder, int side) {
  const std::string size = std::to_string(side) + "x" + std::to_string(side);
  return theme_folder / size / "apps" / icon_file_name;
}

bool write_icons(const std::filesystem::path& theme_folder) {
  const canvas smiley = draw_smiley();
  bool all_written = true;
  for (const int side : icon_sides) {
    const std::filesystem::path file = icon_path(theme_folder, side);
    std::error_code error;
    std::filesystem::create_directories(file.parent_path(), error);
    const auto pixels = shrink_picture(smiley.bytes, picture_side, side);
    all_written = all_written && !error && write_png(file, pixels, side, side).empty();
  }
  return all_written;
}

bool write_window_icon_source(const std::filesystem::path& file) {
  const canvas smiley = draw_smiley();
  std::ofstream source(file);
  source << "// Written by quorvan-icons: the window's icon in every size, as _NET_WM_ICON holds it.\n"
            "#include \"app/window_icon.h\"\n\n"
            "const std::uint32_t window_icon[] = {\n";
  std::size_t count = 0;
  for (const int side : icon_sides) {
    source << side << ", " << side << ",\n";
    const auto pixels = shrink_picture(smiley.bytes, picture_side, side);
    for (std::size_t at = 0; at < pixels.size(); at += 3) {
      char argb[16];
      std::snprintf(argb, sizeof argb, "0xff%02x%02x%02x,", pixels[at], pixels[at + 1], pixels[at + 2]);
      source << argb << ((at / 3 + 1) % 8 == 0 ? "\n" : " ");
    }
    count += 2 + pixels.size() / 3;
  }
  source << "};\nconst std::size_t window_icon_size = " << count << ";\n";
  return bool(source.flush());
}
