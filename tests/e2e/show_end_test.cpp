// show_end_test.cpp: the whole show, run by the real program with its own data:
// what it prints, the window it shows in, the frames it presents and how it ends.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>

#include "tests/e2e/show_expectations.h"
#include "tests/e2e/show_run.h"
#include "tests/e2e/x_server_fixture.h"
#include "tests/support/rgb_frame.h"

namespace {

// The first frame of every scene (on which, but for the first, the one before
// draws its last), and the last frame.
constexpr std::array<int, scene_count + 1> looked_at_frames = [] {
  std::array<int, scene_count + 1> frames{};
  std::ranges::copy(scene_first_frames, frames.begin());
  frames.back() = frames_in_show;
  return frames;
}();

// The bars cover about 73 rows at each edge of the screen; these surely.
constexpr int bar_rows = 72;

using the_whole_show = on_x_server;

TEST_F(the_whole_show, loads_seven_pictures_presents_3194_frames_and_exits_0) {
  show_data_folder folder("whole-show");
  running_show show = start_show(folder);
  const show_result result = finish_show(show, run_limit);

  expect_ran_to_its_end(result);
  EXPECT_EQ(result.output, repeated(loaded_line, 7));
  // It exits right after presenting the last frame.
  ASSERT_FALSE(result.events.empty());
  EXPECT_EQ(result.events.back().name, "exit");
  EXPECT_EQ(result.events.back().frame, frames_in_show);
}

TEST_F(the_whole_show, opens_a_640_by_480_window_made_full_screen_and_sized_before_the_first_frame) {
  show_data_folder folder("window");
  running_show show = start_show(folder, {.hold_frames = {1}});
  ASSERT_TRUE(press_keys_at(show, 1, {"Escape"}));
  const show_result result = finish_show(show, run_limit);

  const std::vector<probe_event> windows = events_named(result.events, "window");
  ASSERT_EQ(windows.size(), 1u);
  EXPECT_EQ(windows[0].values, (std::vector<long>{picture_width, picture_height}));
  // No window manager on the bench's server: the show places its window over the monitor.
  const std::vector<probe_event> placed = events_named(result.events, "place_window");
  ASSERT_EQ(placed.size(), 1u);
  EXPECT_EQ(placed[0].frame, 0);
  EXPECT_EQ(placed[0].values, (std::vector<long>{0, 0, picture_width, picture_height}));

  const std::vector<probe_event> reshapes = events_named(result.events, "reshape");
  ASSERT_FALSE(reshapes.empty());
  EXPECT_EQ(reshapes[0].frame, 0) << "the first frame was drawn before the window had its size";
  EXPECT_EQ(reshapes[0].values, (std::vector<long>{picture_width, picture_height}));
}

TEST_F(the_whole_show, draws_black_bars_over_every_scene_with_the_picture_between_them) {
  show_data_folder folder("frames");
  running_show show = start_show(folder, {.saved_frames = {looked_at_frames.begin(), looked_at_frames.end()}});
  expect_ran_to_its_end(finish_show(show, run_limit));

  for (const int number : looked_at_frames) {
    SCOPED_TRACE("frame " + std::to_string(number));
    const std::optional<rgb_frame> frame = read_png(saved_frame_file(folder.path, number));
    ASSERT_TRUE(frame.has_value());
    ASSERT_EQ(frame->width, picture_width);
    ASSERT_EQ(frame->height, picture_height);
    for (int row = 0; row < bar_rows; ++row) {
      EXPECT_TRUE(frame->row_is_all(row, black_level)) << "upper bar, row " << row;
      EXPECT_TRUE(frame->row_is_all(picture_height - 1 - row, black_level)) << "lower bar, row " << row;
    }
    EXPECT_FALSE(frame->row_is_all(picture_height / 2, black_level)) << "nothing drawn between the bars";
  }
}

}  // namespace
