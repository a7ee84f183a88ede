// pictures_test.cpp: the seven pictures the build writes next to the program:
// their size, which way up they lie, that they differ, and that they redraw identically.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <vector>

#include "assets/show_pictures.h"
#include "tests/support/file_bytes.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/show_data.h"
#include "tools/pictures/picture_maker.h"

namespace {

using bytes = std::vector<std::uint8_t>;

bytes built_picture(const char* file_name) { return read_file_bytes(built_data_file(file_name)); }

struct pixel {
  int red, green, blue;
  int luminance() const { return (299 * red + 587 * green + 114 * blue) / 1000; }
  bool is_yellow() const { return red > 200 && green > 180 && blue < 100; }
  bool is_warm() const { return red > 200 && blue < 100; }
};

// (x, y) with y counted down from the first row of the file.
pixel pixel_at(const bytes& picture, int x, int y) {
  const std::size_t at = (static_cast<std::size_t>(y) * picture_side + x) * 3;
  return {picture.at(at), picture.at(at + 1), picture.at(at + 2)};
}

int mirrored(int y) { return picture_side - 1 - y; }

}  // namespace

TEST(picture_files, each_of_the_seven_raw_files_holds_exactly_196608_bytes) {
  for (const picture_file& picture : show_pictures)
    EXPECT_EQ(std::filesystem::file_size(built_data_file(picture.file_name)), 196'608u) << picture.file_name;
}

TEST(picture_files, each_raw_file_has_a_png_copy_of_the_same_name) {
  const bytes png_signature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  for (const picture_file& picture : show_pictures) {
    const bytes png = read_file_bytes((built_data_folder() / picture.file_name).replace_extension(".png"));
    ASSERT_GE(png.size(), png_signature.size()) << picture.file_name;
    EXPECT_TRUE(std::equal(png_signature.begin(), png_signature.end(), png.begin())) << picture.file_name;
  }
}

TEST(picture_files, no_two_of_the_seven_pictures_are_alike) {
  std::vector<bytes> pictures;
  for (const picture_file& picture : show_pictures) pictures.push_back(built_picture(picture.file_name));
  for (std::size_t first = 0; first < pictures.size(); ++first)
    for (std::size_t second = first + 1; second < pictures.size(); ++second)
      EXPECT_NE(pictures[first], pictures[second])
          << show_pictures[first].file_name << " and " << show_pictures[second].file_name;
}

// The first row of each file is the top of the picture on screen: each picture
// has something near its top that its mirror image would have near its bottom.
TEST(picture_orientation, the_smileys_eyes_lie_above_its_smile) {
  const bytes smiley = built_picture("smiley_256.raw");
  const int eye_x = 98, eye_y = 96, smile_y = 192, centre_x = 128;
  EXPECT_LT(pixel_at(smiley, eye_x, eye_y).luminance(), 80);
  EXPECT_TRUE(pixel_at(smiley, eye_x, mirrored(eye_y)).is_yellow());
  EXPECT_LT(pixel_at(smiley, centre_x, smile_y).luminance(), 80);
  EXPECT_TRUE(pixel_at(smiley, centre_x, mirrored(smile_y)).is_yellow());
}

TEST(picture_orientation, the_text_cards_open_with_a_bright_title_band_over_a_dark_foot) {
  for (const char* card : {"who_256.raw", "greets_256.raw"}) {
    const bytes picture = built_picture(card);
    EXPECT_GT(pixel_at(picture, 4, 4).luminance(), 100) << card;
    EXPECT_LT(pixel_at(picture, 4, mirrored(4)).luminance(), 40) << card;
  }
}

TEST(picture_orientation, each_cube_face_is_lit_along_its_top_edge_and_shaded_along_its_bottom) {
  for (const char* face : {"cul1_256.raw", "cul2_256.raw", "cul3_256.raw"}) {
    const bytes picture = built_picture(face);
    EXPECT_GT(pixel_at(picture, 128, 4).luminance(), pixel_at(picture, 128, mirrored(4)).luminance() + 80) << face;
  }
}

TEST(picture_orientation, the_closing_cards_sun_sets_low_under_a_night_sky) {
  const bytes the_end = built_picture("drevik_256.raw");
  const int sun_y = 190;
  EXPECT_LT(pixel_at(the_end, 128, 0).luminance(), 30);
  EXPECT_TRUE(pixel_at(the_end, 128, sun_y).is_warm());
  EXPECT_FALSE(pixel_at(the_end, 128, mirrored(sun_y)).is_warm());
}

TEST(picture_drawing, drawing_again_gives_the_same_bytes_as_the_built_files) {
  const scratch_folder folder("pictures");
  ASSERT_TRUE(write_pictures(folder.path));
  for (const picture_file& picture : show_pictures) {
    EXPECT_EQ(read_file_bytes(folder.path / picture.file_name), built_picture(picture.file_name)) << picture.file_name;
    const auto png_name = std::filesystem::path(picture.file_name).replace_extension(".png");
    EXPECT_EQ(read_file_bytes(folder.path / png_name), read_file_bytes(built_data_folder() / png_name)) << png_name;
  }
}

TEST(picture_drawing, reports_failure_when_the_folder_does_not_exist) {
  const scratch_folder folder("pictures");
  EXPECT_FALSE(write_pictures(folder.path / "missing"));
}
