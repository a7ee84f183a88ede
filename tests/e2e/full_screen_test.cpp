// full_screen_test.cpp: the show on the desktops people have: in every scene
// the whole picture, as large as fits at 4:3, centred on its monitor with black
// around it, the same pixels as the capture tool draws at that size; the
// desktop's mode and monitor layout left as they were; the show to its end.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "capture/options.h"
#include "png/png_file.h"
#include "tests/e2e/desktops.h"
#include "tests/e2e/screen_grab.h"
#include "tests/e2e/show_expectations.h"
#include "tests/e2e/show_run.h"

namespace {

constexpr desktop_kind desktops[] = {
    {.name = "xorg_640x480_depth_16", .width = 640, .height = 480, .depth = 16},
    {.name = "xorg_1024x768", .width = 1024, .height = 768},
    {.name = "xorg_1920x1080", .width = 1920, .height = 1080},
    {.name = "xorg_2560x1080", .width = 2560, .height = 1080},
    {.name = "xorg_two_1920x1080_monitors", .width = 1920, .height = 1080, .monitors = 2},
    {.name = "xorg_1024x768_without_640x480", .width = 1024, .height = 768, .offers_640x480 = false},
    {.name = "weston_xwayland_1920x1080", .width = 1920, .height = 1080, .wayland = true},
};

// One frame of each scene: the smiley, the credits, the greetings, the cube
// whole and coming apart, and the final card.
constexpr int looked_at_frames[] = {40, 600, 1420, 2512, 2645, 3000};
constexpr const char* window_title = "quorvan";
constexpr auto capture_limit = std::chrono::minutes(3);
constexpr auto full_screen_limit = std::chrono::seconds(20);

std::string frame_list() {
  std::string text;
  for (const int frame : looked_at_frames) text += (text.empty() ? "" : ",") + std::to_string(frame);
  return text;
}

// The monitor as the show covers it: Xorg's scanned-out part of the root
// window; under a compositor, the show's own window.
std::optional<rgb_frame> what_a_person_sees(const desktop_kind& kind, const std::string& display) {
  return kind.wayland ? grab_window(display, window_title) : grab_screen_area(display, kind.show_monitor());
}

// The same frames drawn off screen by the capture tool and scaled to that size.
std::map<int, rgb_frame> captured_frames(const show_data_folder& folder, int width, int height) {
  const process_setup capture{.command = {QUORVAN_CAPTURE, "--png=" + frame_list(),
                                          "--size=" + std::to_string(width) + "x" + std::to_string(height)},
                              .folder = folder.path};
  std::map<int, rgb_frame> frames;
  if (!run_program(capture, capture_limit).exited_with(0)) return frames;
  for (const int frame : looked_at_frames) {
    if (auto read = read_png(folder.path / still_file_name(frame))) frames.emplace(frame, std::move(*read));
  }
  return frames;
}

long differing_pixels(const rgb_frame& seen, const rgb_frame& wanted) {
  if (seen.width != wanted.width || seen.height != wanted.height) return long(seen.bytes.size() / 3);
  long count = 0;
  for (std::size_t i = 0; i < seen.bytes.size(); i += 3)
    count += !std::equal(&seen.bytes[i], &seen.bytes[i] + 3, &wanted.bytes[i]);
  return count;
}

// Worked out here from the monitor's size alone: a 4:3 picture as wide as
// fits, centred; everything left and right of it black, and its middle row
// (between the letterbox bars) not.
void expect_whole_picture_centred_at_4_3(const rgb_frame& frame) {
  const int picture_width = std::min(frame.width, (frame.height * 4 + 1) / 3);
  const int left = (frame.width - picture_width) / 2;
  for (int x = 0; x < frame.width; ++x) {
    const bool beside = x < left || x >= left + picture_width;
    if (beside) {
      ASSERT_TRUE(frame.column_is_all(x, black_level)) << "column " << x << " beside the picture";
    }
  }
  EXPECT_FALSE(frame.column_is_all(left, black_level)) << "the picture's left edge";
  EXPECT_FALSE(frame.column_is_all(left + picture_width - 1, black_level)) << "the picture's right edge";
  EXPECT_FALSE(frame.row_is_all(frame.height / 2, black_level)) << "nothing between the bars";
}

using full_screen = on_desktop;

TEST_P(full_screen, shows_the_whole_picture_at_4_3_as_the_capture_draws_it_and_leaves_the_desktop_as_it_was) {
  const desktop_kind& kind = GetParam();
  show_data_folder folder(kind.name);
  const std::string layout_before = desktop_layout(server.display);
  std::vector<int> holds{1};
  holds.insert(holds.end(), std::begin(looked_at_frames), std::end(looked_at_frames));
  running_show show = start_show_on(server.display, folder, {.hold_frames = holds});
  // A window manager makes the window full screen in its own time: the show
  // waits after its first frame until the window covers the monitor, so the
  // frames looked at are drawn at the full size.
  ASSERT_TRUE(wait_for_hold(show, 1, run_limit));
  const monitor_area monitor = kind.show_monitor();
  EXPECT_TRUE(wait_for_window_size(server.display, window_title, monitor.width, monitor.height, full_screen_limit))
      << "the window never covered the monitor";
  resume_show(show);
  std::map<int, rgb_frame> seen;
  for (const int frame : looked_at_frames) {
    ASSERT_TRUE(wait_for_hold(show, frame, run_limit)) << "frame " << frame;
    if (auto grab = what_a_person_sees(kind, server.display)) seen.emplace(frame, std::move(*grab));
    if (frame == looked_at_frames[0]) {
      EXPECT_EQ(desktop_layout(server.display), layout_before) << "the show changed the desktop";
    }
    resume_show(show);
  }
  expect_ran_to_its_end(finish_show(show, run_limit));
  EXPECT_EQ(desktop_layout(server.display), layout_before) << "the desktop did not get its layout back";
  if (kind.wayland) {
    std::string why_not;
    EXPECT_TRUE(first_xwayland_still_runs(server, why_not)) << why_not;
  }

  const std::map<int, rgb_frame> captured = captured_frames(folder, kind.width, kind.height);
  for (const int frame : looked_at_frames) {
    SCOPED_TRACE("frame " + std::to_string(frame));
    ASSERT_TRUE(seen.contains(frame)) << "no grab";
    ASSERT_TRUE(captured.contains(frame)) << "no capture";
    const rgb_frame& grab = seen.at(frame);
    ASSERT_EQ(grab.width, kind.width);
    ASSERT_EQ(grab.height, kind.height);
    write_png(folder.path / ("grab-" + std::to_string(frame) + ".png"), grab.bytes, grab.width, grab.height);
    expect_whole_picture_centred_at_4_3(grab);
    EXPECT_EQ(differing_pixels(grab, captured.at(frame)), 0) << "pixels differ from the capture";
  }
}

INSTANTIATE_TEST_SUITE_P(desktops, full_screen, ::testing::ValuesIn(desktops),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
