// capture_exact_test.cpp: what the capture writes, still or lossless video,
// is the frame the show's own code draws, pixel for pixel. The show is drawn
// here as well, off screen, once per process.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>

#include "tests/capture/capture_bench.h"
#include "tests/render/show_run.h"

namespace {

using frame = std::vector<std::uint8_t>;

// The show's own frames with these numbers, drawn in this process.
std::map<int, frame> frames_drawn_by_the_show(const std::vector<int>& wanted) {
  std::map<int, frame> frames;
  const int last = *std::ranges::max_element(wanted);
  const auto run =
      run_show(QUORVAN_DATA_DIR, last, [&](int number, std::span<const std::uint8_t> rgb) {
        if (std::ranges::find(wanted, number) != wanted.end())
          frames[number].assign(rgb.begin(), rgb.end());
      });
  EXPECT_EQ(run.error, "");
  return frames;
}

TEST(capture_exactness,
     writes_stills_and_lossless_frames_that_are_the_shows_frames_pixel_for_pixel) {
  const capture_folder folder;
  const auto stills = run_capture(folder.path, {"--png=1,481,2300"});
  ASSERT_EQ(stills.exit_status, 0) << stills.errors;
  const auto video = run_capture(folder.path, {"--frames=2298-2300", "cube.mkv"});
  ASSERT_EQ(video.exit_status, 0) << video.errors;

  auto drawn = frames_drawn_by_the_show({1, 481, 2298, 2299, 2300});
  ASSERT_EQ(drawn.size(), 5u);

  for (const int number : {1, 481, 2300}) {
    char name[32];
    std::snprintf(name, sizeof name, "quorvan-frame-%04d.png", number);
    EXPECT_TRUE(read_png_rgb(folder.path / name, screen_width, screen_height) == drawn[number])
        << name << " differs from the show's frame " << number;
  }
  const auto decoded = decode_frames(folder.path / "cube.mkv");
  ASSERT_EQ(decoded.size(), 3u);
  for (int i = 0; i < 3; ++i)
    EXPECT_TRUE(decoded[i] == drawn[2298 + i])
        << "video frame " << i << " differs from show frame " << 2298 + i;
  // Different frames, so equality above is not that of blank pictures.
  EXPECT_NE(drawn[2298], drawn[2300]);
}

}  // namespace
