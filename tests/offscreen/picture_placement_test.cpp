// picture_placement_test.cpp: where the 640 by 480 picture goes in windows of
// every shape: as large as fits at 4:3, centred, never outside the window.
#include "offscreen/picture_placement.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

struct placed_case {
  const char* name;
  int window_width;
  int window_height;
  picture_placement wanted;  // x, y, width, height, whole scale
};

const placed_case cases[] = {
    {"the_picture_s_own_size_is_whole_scale_1", 640, 480, {0, 0, 640, 480, 1}},
    {"4_3_at_twice_the_size_is_whole_scale_2", 1280, 960, {0, 0, 1280, 960, 2}},
    {"4_3_at_1024x768_fills_it_smoothly", 1024, 768, {0, 0, 1024, 768, 1}},
    {"16_9_at_1920x1080_has_black_left_and_right", 1920, 1080, {240, 0, 1440, 1080, 2}},
    {"21_9_at_2560x1080_has_wider_black_bands", 2560, 1080, {560, 0, 1440, 1080, 2}},
    {"2560x1440_is_whole_scale_3_with_black_left_and_right", 2560, 1440, {320, 0, 1920, 1440, 3}},
    {"portrait_has_black_above_and_below", 1080, 1920, {0, 555, 1080, 810, 1}},
    {"an_odd_margin_leaves_the_extra_pixel_on_the_right", 643, 480, {1, 0, 640, 480, 1}},
    {"a_1x1_window_gets_its_one_pixel", 1, 1, {0, 0, 1, 1, 1}},
    {"a_height_of_0_has_no_room", 640, 0, {0, 0, 0, 0, 1}},
    {"a_width_of_0_has_no_room", 0, 480, {0, 0, 0, 0, 1}},
};

class placing : public ::testing::TestWithParam<placed_case> {};

TEST_P(placing, puts_the_picture_where_it_fits) {
  const placed_case& tried = GetParam();
  const picture_placement placed = place_picture(tried.window_width, tried.window_height);
  EXPECT_EQ(placed.x, tried.wanted.x);
  EXPECT_EQ(placed.y, tried.wanted.y);
  EXPECT_EQ(placed.width, tried.wanted.width);
  EXPECT_EQ(placed.height, tried.wanted.height);
  EXPECT_EQ(placed.whole_scale, tried.wanted.whole_scale);
}

INSTANTIATE_TEST_SUITE_P(windows, placing, ::testing::ValuesIn(cases),
                         [](const auto& info) { return std::string(info.param.name); });

// Every window up to 300 by 300: inside the window, 4:3 to the pixel, centred
// within a pixel, and touching two opposite edges.
TEST(placing_everywhere, keeps_4_3_inside_the_window_and_centred_for_every_small_size) {
  for (int width = 1; width <= 300; ++width)
    for (int height = 1; height <= 300; ++height) {
      const picture_placement placed = place_picture(width, height);
      ASSERT_GE(placed.x, 0);
      ASSERT_GE(placed.y, 0);
      ASSERT_LE(placed.x + placed.width, width);
      ASSERT_LE(placed.y + placed.height, height);
      ASSERT_TRUE(placed.width == width || placed.height == height) << width << "x" << height;
      // 4:3 to within the rounding of one side
      ASSERT_LE(std::abs(placed.width * 3 - placed.height * 4), 4) << width << "x" << height;
      ASSERT_LE(std::abs((width - placed.width) - 2 * placed.x), 1);
      ASSERT_LE(std::abs((height - placed.height) - 2 * placed.y), 1);
    }
}

}  // namespace
