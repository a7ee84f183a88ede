// capture_exact_test.cpp: what the capture writes, still or lossless video,
// is the frame the show's own code draws, pixel for pixel. The show is drawn
// here as well, off screen, once per process.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "capture/options.h"
#include "tests/capture/capture_bench.h"
#include "tests/render/offscreen_show.h"
#include "tests/support/show_data.h"

namespace {

// The show's own frames with these numbers, drawn in this process.
std::map<int, rgb_frame> frames_drawn_by_the_show(const std::vector<int>& wanted) {
  std::map<int, rgb_frame> frames;
  const auto run = run_show(built_data_folder(), *std::ranges::max_element(wanted), [&](int number, frame_pixels rgb) {
    if (std::ranges::find(wanted, number) != wanted.end())
      frames[number] = {.width = picture_width, .height = picture_height, .bytes = {rgb.begin(), rgb.end()}};
  });
  EXPECT_EQ(run.error, "");
  return frames;
}

TEST(capture_exactness, writes_stills_and_lossless_frames_that_are_the_shows_frames_pixel_for_pixel) {
  const show_data_folder folder;
  const auto stills = run_capture(folder.path, {"--png=1,481,2300"});
  ASSERT_TRUE(stills.exited_with(0)) << stills.errors;
  const auto video = run_capture(folder.path, {"--frames=2298-2300", "cube.mkv"});
  ASSERT_TRUE(video.exited_with(0)) << video.errors;

  auto drawn = frames_drawn_by_the_show({1, 481, 2298, 2299, 2300});
  ASSERT_EQ(drawn.size(), 5u);

  for (const int number : {1, 481, 2300})
    EXPECT_TRUE(read_png(folder.path / still_file_name(number)) == drawn[number])
        << still_file_name(number) << " differs from the show's frame " << number;
  const auto decoded = decode_frames(folder.path / "cube.mkv");
  ASSERT_EQ(decoded.size(), 3u);
  for (int i = 0; i < 3; ++i)
    EXPECT_TRUE(decoded[i] == drawn[2298 + i]) << "video frame " << i << " differs from show frame " << 2298 + i;
  // Different frames, so equality above is not that of blank pictures.
  EXPECT_NE(drawn[2298], drawn[2300]);
}

}  // namespace
