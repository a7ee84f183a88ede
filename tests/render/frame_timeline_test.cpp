// frame_timeline_test.cpp: the whole show drawn offscreen with pure-colour test
// pictures: the letterbox on every frame, the colours it draws, on which
// frames each scene runs, and the end.
//
// Every test runs the show from its first frame. The show's state is
// program-wide and never reset, so each test needs a process of its own: CTest
// gives it one (gtest_discover_tests runs every test separately); by hand, run
// one test at a time with --gtest_filter.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "show/cube_scene.h"
#include "show/picture_scenes.h"
#include "show/sequencer.h"
#include "tests/render/frame_measure.h"
#include "tests/render/offscreen_show.h"
#include "tests/render/scene_frames.h"
#include "tests/render/test_pictures.h"

namespace {

bool row_is_all(std::span<const std::uint8_t> rgb, int y, colour wanted) {
  for (int x = 0; x < picture_width; ++x)
    if (pixel_at(rgb, x, y) != wanted) return false;
  return true;
}

bool row_holds(std::span<const std::uint8_t> rgb, int y, colour wanted) {
  for (int x = 0; x < picture_width; ++x)
    if (pixel_at(rgb, x, y) == wanted) return true;
  return false;
}

bool bars_are_exact(std::span<const std::uint8_t> rgb) {
  for (int y = top_bar_rows.first; y <= top_bar_rows.last; ++y)
    if (!row_is_all(rgb, y, black)) return false;
  for (int y = bottom_bar_rows.first; y <= bottom_bar_rows.last; ++y)
    if (!row_is_all(rgb, y, black)) return false;
  // The test pictures hold no black, so the rows next to the bars hold none either.
  return !row_holds(rgb, top_bar_rows.last + 1, black) && !row_holds(rgb, bottom_bar_rows.first - 1, black);
}

bool is_known_colour(colour c) {
  if (c == white || c == black || c == red) return true;
  return std::ranges::any_of(test_pictures, [&](const test_picture& p) { return p.body == c; });
}

// Whether a picture of scene 1 to 5 shows on a frame, by the pictures shown.
bool shows_scene(std::bitset<7> shown, int scene) {
  switch (scene) {
    case 1: return shown[0];
    case 2: return shown[1];
    case 3: return shown[2];
    case 4: return shown[3] || shown[4] || shown[5];  // cul1, cul2, cul3
    default: return shown[6];
  }
}

// Values that change on every call of their scene (the cube's angle z is not
// reset within its scene), so a change from one frame to the next shows that
// the scene's step ran on the later one.
std::array<double, scene_count> scene_progress() {
  return {double(smiley.frame_counter), who.depth, greets.depth, cube.angle_z, double(final_card.frame_counter)};
}

std::string first_frames(const std::vector<int>& frames) {
  std::string text;
  for (std::size_t i = 0; i < std::min<std::size_t>(frames.size(), 10); ++i) text += std::to_string(frames[i]) + " ";
  return text + (frames.size() > 10 ? "..." : "");
}

}  // namespace

TEST(letterbox, covers_rows_0_to_72_and_407_to_479_in_black_on_every_frame) {
  ASSERT_EQ(top_bar_rows.last, 72);
  ASSERT_EQ(bottom_bar_rows.first, 407);
  test_picture_folder pictures;
  std::vector<int> wrong_frames;
  const offscreen_run run = run_show(pictures.path, frames_in_show, [&](int frame, auto rgb) {
    if (!bars_are_exact(rgb)) wrong_frames.push_back(frame);
  });
  ASSERT_EQ(run.error, "");
  EXPECT_EQ(run.frames_presented, frames_in_show);
  // Also where the cube's loose faces come nearer than the bars: without a
  // depth buffer the bars, drawn last, cover them.
  EXPECT_TRUE(wrong_frames.empty()) << wrong_frames.size() << " frames with wrong bars: " << first_frames(wrong_frames);
}

TEST(show_colours, are_only_white_black_and_the_pictures_own_on_every_frame) {
  // Pictures shown unchanged (modulated by white), on the white clear colour,
  // without shading, blending, fog or filtering between texels.
  test_picture_folder pictures;
  std::vector<int> wrong_frames;
  const offscreen_run run = run_show(pictures.path, frames_in_show, [&](int frame, auto rgb) {
    if (count_pixels(rgb, 0, picture_height - 1, [](colour c) { return !is_known_colour(c); }) > 0)
      wrong_frames.push_back(frame);
  });
  ASSERT_EQ(run.error, "");
  EXPECT_EQ(run.frames_presented, frames_in_show);
  EXPECT_TRUE(wrong_frames.empty()) << wrong_frames.size()
                                    << " frames with other colours: " << first_frames(wrong_frames);
}

TEST(show_timeline, runs_each_scene_on_its_own_frames_and_no_others) {
  // Written out, as this is where the scenes' frames are pinned down.
  constexpr std::array<frame_range, scene_count> pinned_scene_frames{
      {{1, 481}, {481, 1269}, {1269, 2057}, {2057, 2694}, {2694, 3194}}};
  test_picture_folder pictures;
  std::array<std::vector<int>, scene_count> ran_on;
  auto before = scene_progress();
  const offscreen_run run = run_show(pictures.path, frames_in_show, [&](int frame, auto) {
    const auto now = scene_progress();
    for (int scene = 0; scene < scene_count; ++scene)
      if (now[scene] != before[scene]) ran_on[scene].push_back(frame);
    before = now;
  });
  ASSERT_EQ(run.error, "");
  for (int scene = 0; scene < scene_count; ++scene) {
    const frame_range expected = pinned_scene_frames[scene];
    ASSERT_FALSE(ran_on[scene].empty()) << "scene " << scene + 1 << " never ran";
    EXPECT_EQ(ran_on[scene].front(), expected.first) << "scene " << scene + 1;
    EXPECT_EQ(ran_on[scene].back(), expected.last) << "scene " << scene + 1;
    // Frame numbers only grow, so this many means every frame in between.
    EXPECT_EQ(int(ran_on[scene].size()), expected.last - expected.first + 1) << "scene " << scene + 1;
  }
}

TEST(show_timeline, stage_flags_show_each_scene_active_from_its_first_frame_until_its_last) {
  test_picture_folder pictures;
  std::vector<int> wrong_frames;
  const offscreen_run run = run_show(pictures.path, frames_in_show, [&](int frame, auto) {
    bool right = stage.finished == (frame >= frames_in_show ? 1 : 0);
    for (int scene = 0; scene < scene_count; ++scene) {
      // A scene's flag is cleared on its last frame, as it hands over.
      const frame_range range = scene_frames[scene];
      const bool active = range.first <= frame && frame < range.last;
      right = right && (stage.active[scene] != 0) == active;
    }
    if (!right) wrong_frames.push_back(frame);
  });
  ASSERT_EQ(run.error, "");
  EXPECT_TRUE(wrong_frames.empty()) << wrong_frames.size()
                                    << " frames with wrong flags: " << first_frames(wrong_frames);
}

TEST(show_timeline, ends_once_right_after_presenting_frame_3194) {
  constexpr int pinned_last_frame = 3194;
  test_picture_folder pictures;
  int last_frame_seen = 0;
  // Room for more frames, should the show fail to end.
  const offscreen_run run =
      run_show(pictures.path, pinned_last_frame + 100, [&](int frame, auto) { last_frame_seen = frame; });
  ASSERT_EQ(run.error, "");
  EXPECT_TRUE(run.ended);
  EXPECT_EQ(run.frames_presented, pinned_last_frame);
  EXPECT_EQ(last_frame_seen, pinned_last_frame);
}

TEST(show_timeline, each_frame_shows_its_newest_picture_scene_and_nothing_of_idle_scenes) {
  test_picture_folder pictures;
  std::vector<int> idle_shown;
  std::vector<int> newest_missing;
  const offscreen_run run = run_show(pictures.path, frames_in_show, [&](int frame, auto rgb) {
    const auto shown = pictures_shown(rgb);
    int newest = 0;
    for (int scene = 1; scene <= scene_count; ++scene) {
      const bool running = scene_frames[scene - 1].holds(frame);
      if (running) newest = scene;
      if (!running && shows_scene(shown, scene)) idle_shown.push_back(frame);
    }
    // The cube swings out of sight on some of its frames; the flat pictures
    // are always in view. On a hand-over frame the new scene draws last.
    if (newest != 4 && !shows_scene(shown, newest)) newest_missing.push_back(frame);
  });
  ASSERT_EQ(run.error, "");
  EXPECT_TRUE(idle_shown.empty()) << "a scene that did not run shows on frames " << first_frames(idle_shown);
  EXPECT_TRUE(newest_missing.empty()) << "the newest scene is missing on frames " << first_frames(newest_missing);
}
