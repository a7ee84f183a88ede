// icon_test.cpp: the program's icon: shrinking by area keeps colours true at
// even and uneven ratios, and every size lands where desktops look for it.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <vector>

#include "tests/support/rgb_frame.h"
#include "tests/support/scratch_folder.h"
#include "tools/icons/icon_maker.h"
#include "tools/pictures/pictures.h"

namespace {

using bytes = std::vector<std::uint8_t>;

bytes plain_picture(int side, std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  bytes picture;
  for (int pixel = 0; pixel < side * side; ++pixel) picture.insert(picture.end(), {red, green, blue});
  return picture;
}

TEST(icon, keeps_a_plain_colour_plain_at_every_icon_size) {
  const bytes picture = plain_picture(256, 255, 214, 40);
  for (const int side : icon_sides)
    EXPECT_EQ(shrink_picture(picture, 256, side), plain_picture(side, 255, 214, 40)) << side;
}

TEST(icon, averages_the_area_each_new_pixel_covers_at_an_uneven_ratio) {
  // Three pixels to two: each new pixel covers one old pixel whole and half of
  // the middle one, so the old corner weighs 4/9 in its new corner and the
  // old centre 1/9 in every new pixel.
  bytes picture = plain_picture(3, 0, 0, 0);
  picture[0] = 90;          // red of the top left pixel
  picture[4 * 3 + 1] = 90;  // green of the centre
  const bytes shrunk = shrink_picture(picture, 3, 2);
  EXPECT_EQ(shrunk[0], 40);
  for (int pixel = 1; pixel < 4; ++pixel) EXPECT_EQ(shrunk[pixel * 3], 0) << pixel;
  for (int pixel = 0; pixel < 4; ++pixel) EXPECT_EQ(shrunk[pixel * 3 + 1], 10) << pixel;
}

TEST(icon, at_full_size_is_the_smiley_itself) {
  const canvas smiley = draw_smiley();
  EXPECT_EQ(shrink_picture(smiley.bytes, 256, 256), smiley.bytes);
}

TEST(icon, writes_every_size_as_a_png_of_that_size_in_the_hicolor_layout) {
  const scratch_folder folder("icons");
  const auto theme = folder.path / "hicolor";
  ASSERT_TRUE(write_icons(theme));
  for (const int side : icon_sides) {
    const auto file = theme / (std::to_string(side) + "x" + std::to_string(side)) / "apps" / "quorvan.png";
    EXPECT_EQ(icon_path(theme, side), file);
    const std::optional<rgb_frame> png = read_png(file);
    EXPECT_TRUE(png && png->width == side && png->height == side) << file;
  }
}

}  // namespace
