// frame_timeline_test.cpp: the whole show drawn offscreen with pure-colour test
// pictures: the letterbox on every frame, the colours it draws, on which
// frames each scene runs, and the end.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "tests/render/observed_show.h"
#include "tests/render/scene_frames.h"
#include "tests/render/test_pictures.h"

namespace {

// The numbers of the show's frames for which holds(number, frame) is true.
std::vector<int> frames_where(auto holds) {
  std::vector<int> numbers;
  for (const auto& [number, frame] : show_with_test_pictures().frames)
    if (holds(number, frame)) numbers.push_back(number);
  return numbers;
}

// How many frames, and the first ten of them.
std::string listed(const std::vector<int>& frames) {
  std::string text = std::to_string(frames.size()) + " frames:";
  for (std::size_t i = 0; i < std::min<std::size_t>(frames.size(), 10); ++i) text += " " + std::to_string(frames[i]);
  return text + (frames.size() > 10 ? " ..." : "");
}

}  // namespace

TEST(letterbox, covers_rows_0_to_72_and_407_to_479_in_black_on_every_frame) {
  ASSERT_EQ(top_bar_rows.last, 72);
  ASSERT_EQ(bottom_bar_rows.first, 407);
  EXPECT_EQ(show_with_test_pictures().run.frames_presented, frames_in_show);
  // Also where the cube's loose faces come nearer than the bars: without a
  // depth buffer the bars, drawn last, cover them.
  const auto wrong_frames = frames_where([](int, const frame_seen& frame) { return !frame.bars_exact; });
  EXPECT_TRUE(wrong_frames.empty()) << "wrong bars on " << listed(wrong_frames);
}

TEST(show_colours, are_only_white_black_and_the_pictures_own_on_every_frame) {
  // Pictures shown unchanged (modulated by white), on the white clear colour,
  // without shading, blending, fog or filtering between texels.
  EXPECT_EQ(show_with_test_pictures().run.frames_presented, frames_in_show);
  const auto wrong_frames = frames_where([](int, const frame_seen& frame) { return !frame.only_known_colours; });
  EXPECT_TRUE(wrong_frames.empty()) << "other colours on " << listed(wrong_frames);
}

TEST(show_timeline, runs_each_scene_on_its_own_frames_and_no_others) {
  // Written out, as this is where the scenes' frames are pinned down.
  constexpr std::array<frame_range, scene_count> pinned_scene_frames{
      {{1, 481}, {481, 1269}, {1269, 2057}, {2057, 2694}, {2694, 3194}}};
  for (int scene = 0; scene < scene_count; ++scene) {
    const frame_range expected = pinned_scene_frames[scene];
    const auto ran_on = frames_where([&](int, const frame_seen& frame) { return frame.stepped[scene]; });
    ASSERT_FALSE(ran_on.empty()) << "scene " << scene + 1 << " never ran";
    EXPECT_EQ(ran_on.front(), expected.first) << "scene " << scene + 1;
    EXPECT_EQ(ran_on.back(), expected.last) << "scene " << scene + 1;
    // Frame numbers only grow, so this many means every frame in between.
    EXPECT_EQ(int(ran_on.size()), expected.count()) << "scene " << scene + 1;
  }
}

TEST(show_timeline, stage_flags_show_each_scene_active_from_its_first_frame_until_its_last) {
  const auto wrong_frames = frames_where([](int number, const frame_seen& frame) {
    bool right = frame.stage.finished == (number >= frames_in_show ? 1 : 0);
    // A scene's flag is cleared on its last frame, as it hands over.
    for (int scene = 0; scene < scene_count; ++scene) {
      const auto [first, last] = scene_frames[scene];
      right = right && (frame.stage.active[scene] != 0) == (first <= number && number < last);
    }
    return !right;
  });
  EXPECT_TRUE(wrong_frames.empty()) << "wrong flags on " << listed(wrong_frames);
}

TEST(show_timeline, ends_once_right_after_presenting_frame_3194) {
  constexpr int pinned_last_frame = 3194;
  const observed_show& show = show_with_test_pictures();
  EXPECT_TRUE(show.run.ended);
  EXPECT_EQ(show.run.frames_presented, pinned_last_frame);
  ASSERT_FALSE(show.frames.empty());
  EXPECT_EQ(show.frames.rbegin()->first, pinned_last_frame);
}

TEST(show_timeline, each_frame_shows_its_newest_picture_scene_and_nothing_of_idle_scenes) {
  std::vector<int> idle_shown, newest_missing;
  for (const auto& [number, frame] : show_with_test_pictures().frames) {
    int newest = 0;
    for (int scene = 1; scene <= scene_count; ++scene) {
      const bool running = scene_frames[scene - 1].holds(number);
      if (running) newest = scene;
      if (!running && (frame.pictures & scene_pictures[scene - 1]).any()) idle_shown.push_back(number);
    }
    // The cube swings out of sight on some of its frames; the flat pictures
    // are always in view. On a hand-over frame the new scene draws last.
    // Past the show's end no scene runs, and at() fails the test.
    if (newest != 4 && (frame.pictures & scene_pictures.at(newest - 1)).none()) newest_missing.push_back(number);
  }
  EXPECT_TRUE(idle_shown.empty()) << "a scene that did not run shows on " << listed(idle_shown);
  EXPECT_TRUE(newest_missing.empty()) << "the newest scene is missing on " << listed(newest_missing);
}
