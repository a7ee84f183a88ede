// show_data_frames_test.cpp: the show with the build's own pictures, drawn
// offscreen from its first frame to its end; frames of every scene are saved
// as PNG files (in the build's tests/render/frames) for a person to look at.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <set>
#include <vector>

#include "png/png_file.h"
#include "tests/render/frame_measure.h"
#include "tests/render/offscreen_show.h"
#include "tests/render/scene_frames.h"
#include "tests/support/show_data.h"

namespace {

// The first and last frame of each scene, the hand-overs, and frames along the way.
const std::set<int> saved_frames{1,    100,  294,  400,  481,  482,  600,  900,  1268, 1269, 1270, 1500,
                                 2000, 2057, 2058, 2100, 2200, 2400, 2600, 2640, 2680, 2694, 2900, 3194};

void save_frame(int frame, frame_pixels rgb) {
  char name[32];
  std::snprintf(name, sizeof name, "/frame_%04d.png", frame);
  EXPECT_EQ(write_png(FRAMES_DIR + std::string(name), rgb, picture_width, picture_height), "");
}

}  // namespace

TEST(show_with_its_pictures, runs_to_the_end_under_black_bars_with_every_scenes_picture_in_view) {
  std::filesystem::create_directories(FRAMES_DIR);
  std::vector<int> frames_with_wrong_bars;
  std::array<int, scene_count> frames_with_picture{};
  const auto start = std::chrono::steady_clock::now();
  const offscreen_run run = run_show(built_data_folder(), frames_in_show + 100, [&](int frame, frame_pixels rgb) {
    if (saved_frames.contains(frame)) save_frame(frame, rgb);
    if (!bars_are_black(rgb)) frames_with_wrong_bars.push_back(frame);
    const bool picture_shows = count_pixels(rgb, open_rows, [](colour c) { return c != white; }) > 0;
    for (int scene = 0; scene < scene_count; ++scene)
      if (picture_shows && scene_frames[scene].holds(frame)) ++frames_with_picture[scene];
  });
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  ASSERT_EQ(run.error, "");
  std::printf("%s: %d frames in %.1f s\n", run.gl_description.c_str(), run.frames_presented, took.count());

  EXPECT_TRUE(run.ended);
  EXPECT_EQ(run.frames_presented, frames_in_show);
  EXPECT_TRUE(frames_with_wrong_bars.empty())
      << frames_with_wrong_bars.size() << " frames with bars not black, first " << frames_with_wrong_bars.front();
  // The flat pictures are always in view; the cube swings out of it now and then.
  for (int scene : {0, 1, 2, 4})
    EXPECT_EQ(frames_with_picture[scene], scene_frames[scene].count()) << "scene " << scene + 1;
  EXPECT_GT(frames_with_picture[3], 0) << "the cube never shows";
}
