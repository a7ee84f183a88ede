// full_screen_test.cpp: the show on the desktops people have: a window the
// desktop can name, full screen again on "f" once it was taken away; in every
// scene the whole picture, as large as fits at 4:3, centred on its monitor
// with black around it, the same pixels as the capture tool draws at that
// size; the desktop's mode and monitor layout left as they were; the show to
// its end, and exit status 0 there.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "capture/options.h"
#include "png/png_file.h"
#include "tests/e2e/desktops.h"
#include "tests/e2e/screen_grab.h"
#include "tests/e2e/show_expectations.h"
#include "tests/e2e/show_run.h"
#include "tests/e2e/x_server_fixture.h"

namespace {

// One frame of each scene: the smiley, the credits, the greetings, the cube
// whole and coming apart, and the final card.
constexpr int looked_at_frames[] = {40, 600, 1420, 2512, 2645, 3000};
constexpr const char* window_title = "quorvan";
constexpr auto capture_limit = std::chrono::minutes(3);
constexpr auto full_screen_limit = std::chrono::seconds(20);
constexpr int back_to_full_screen_frame = 20;  // the show is held here until "f" has brought full screen back

// What sway shows on its output, as grim grabs it. sway puts the window's
// last frame on its output at its next refresh: grabs are taken until two in
// a row agree.
std::optional<rgb_frame> grab_compositor_output(const desktop_server& server, const std::filesystem::path& file) {
  const process_setup grim{.command = {"grim", "-t", "png", file.string()}, .environment = server.wayland_environment};
  std::optional<rgb_frame> previous;
  for (int grab = 0; grab < 20; ++grab) {
    if (!run_program(grim, full_screen_limit).exited_with(0)) return std::nullopt;
    std::optional<rgb_frame> output = read_png(file);
    if (output && previous && output->bytes == previous->bytes) return output;
    previous = std::move(output);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return std::nullopt;
}

// The monitor as the show covers it: Xorg's scanned-out part of the root
// window; under weston, the show's own window; under sway, its output.
std::optional<rgb_frame> what_a_person_sees(const desktop_kind& kind, const desktop_server& server,
                                            const show_data_folder& folder) {
  switch (kind.session) {
    case desktop_session::weston: return grab_window(server.display, window_title);
    case desktop_session::sway: return grab_compositor_output(server, folder.path / "output.png");
    default: return grab_screen_area(server.display, kind.show_monitor());
  }
}

// The same frames drawn off screen by the capture tool and scaled to that size.
std::map<int, rgb_frame> captured_frames(const show_data_folder& folder, int width, int height) {
  std::string frame_list;
  for (const int frame : looked_at_frames) frame_list += (frame_list.empty() ? "" : ",") + std::to_string(frame);
  const process_setup capture{.command = {QUORVAN_CAPTURE, "--png=" + frame_list,
                                          "--size=" + std::to_string(width) + "x" + std::to_string(height)},
                              .folder = folder.path};
  std::map<int, rgb_frame> frames;
  if (!run_program(capture, capture_limit).exited_with(0)) return frames;
  for (const int frame : looked_at_frames)
    if (auto read = read_png(folder.path / still_file_name(frame))) frames.emplace(frame, std::move(*read));
  return frames;
}

// Pixels with a channel more than `levels` apart.
long differing_pixels(const rgb_frame& seen, const rgb_frame& wanted, int levels) {
  if (seen.width != wanted.width || seen.height != wanted.height) return long(seen.bytes.size() / 3);
  long count = 0;
  for (std::size_t i = 0; i < seen.bytes.size(); i += 3)
    count += !std::equal(&seen.bytes[i], &seen.bytes[i] + 3, &wanted.bytes[i],
                         [&](std::uint8_t a, std::uint8_t b) { return std::abs(int(a) - int(b)) <= levels; });
  return count;
}

// Worked out here from the monitor's size alone: a 4:3 picture as wide as
// fits, centred; everything left and right of it black, and its middle row
// (between the letterbox bars) not.
void expect_whole_picture_centred_at_4_3(const rgb_frame& frame) {
  const int picture_width = std::min(frame.width, (frame.height * 4 + 1) / 3);
  const int left = (frame.width - picture_width) / 2;
  for (int x = 0; x < frame.width; ++x) {
    if (x < left || x >= left + picture_width) {
      ASSERT_TRUE(frame.column_is_all(x, black_level)) << "column " << x << " beside the picture";
    }
  }
  EXPECT_FALSE(frame.column_is_all(left, black_level)) << "the picture's left edge";
  EXPECT_FALSE(frame.column_is_all(left + picture_width - 1, black_level)) << "the picture's right edge";
  EXPECT_FALSE(frame.row_is_all(frame.height / 2, black_level)) << "nothing between the bars";
}

// Full screen taken away as a user can: through the window manager where
// one runs, else by sizing the window down.
bool take_full_screen_away(const desktop_kind& kind, const std::string& display) {
  if (kind.has_window_manager()) return ask_window_manager_to_remove_full_screen(display, window_title);
  const process_setup size_down{.command = {"xdotool", "search", "--name", "^quorvan$", "windowsize", "320", "240"},
                                .environment = {"DISPLAY=" + display}};
  return run_program(size_down, full_screen_limit).exited_with(0);
}

// What the desktop knows the window by, as xprop reads it for a dock or a
// task switcher: its class (the menu entry's StartupWMClass), name, process
// and the sizes of its icon.
void expect_window_named_for_the_desktop(const std::string& display, const running_show& show) {
  const program_run xprop = run_program({.command = {"xprop", "-len", "1000000", "-name", window_title, "WM_CLASS",
                                                     "_NET_WM_NAME", "_NET_WM_PID", "_NET_WM_ICON"},
                                         .environment = {"DISPLAY=" + display}},
                                        full_screen_limit);
  ASSERT_TRUE(xprop.exited_with(0)) << xprop.errors;
  const std::string& told = xprop.output;
  const auto tells = [&](const std::string& line) { return told.find(line + "\n") != std::string::npos; };
  EXPECT_TRUE(tells("WM_CLASS(STRING) = \"quorvan\", \"Quorvan\"")) << told.substr(0, 400);
  EXPECT_TRUE(tells("_NET_WM_NAME(UTF8_STRING) = \"quorvan\"")) << told.substr(0, 400);
  EXPECT_TRUE(tells("_NET_WM_PID(CARDINAL) = " + std::to_string(show.process.pid))) << told.substr(0, 400);
  std::string icon_sizes;
  const std::regex icon("Icon \\(([0-9]+) x ([0-9]+)\\):");
  for (auto found = std::sregex_iterator(told.begin(), told.end(), icon); found != std::sregex_iterator(); ++found)
    icon_sizes += (icon_sizes.empty() ? "" : " ") + (*found)[1].str() + "x" + (*found)[2].str();
  EXPECT_EQ(icon_sizes, "16x16 22x22 24x24 32x32 48x48 64x64 128x128 256x256");
}

using full_screen = on_desktop;

TEST_P(full_screen, shows_the_whole_picture_at_4_3_as_the_capture_draws_it_and_leaves_the_desktop_as_it_was) {
  const desktop_kind& kind = GetParam();
  show_data_folder folder(kind.name);
  const std::string layout_before = desktop_layout(display);
  std::vector<int> holds{1, back_to_full_screen_frame};
  holds.insert(holds.end(), std::begin(looked_at_frames), std::end(looked_at_frames));
  running_show show = start_show(folder, {.hold_frames = holds});
  // A window manager makes the window full screen in its own time: the show
  // waits after its first frame until the window covers the monitor.
  ASSERT_TRUE(wait_for_hold(show, 1, run_limit));
  const monitor_area monitor = kind.show_monitor();
  const auto covers_monitor = [&](int width, int height) { return width == monitor.width && height == monitor.height; };
  EXPECT_TRUE(wait_for_window_size(display, window_title, full_screen_limit, covers_monitor))
      << "the window never covered the monitor";
  expect_window_named_for_the_desktop(display, show);
  // Full screen taken away, "f" brings it back before the frames looked at.
  // (weston's headless backend has no keyboard, and its window manager takes
  // the focus back from any window given it: no key reaches the show there.)
  if (kind.session != desktop_session::weston) {
    ASSERT_TRUE(take_full_screen_away(kind, display));
    EXPECT_TRUE(wait_for_window_size(display, window_title, full_screen_limit, std::not_fn(covers_monitor)))
        << "full screen was not taken away";
    ASSERT_TRUE(press_keys(show, {"f"}));
  }
  resume_show(show);
  ASSERT_TRUE(wait_for_hold(show, back_to_full_screen_frame, run_limit));
  EXPECT_TRUE(wait_for_window_size(display, window_title, full_screen_limit, covers_monitor))
      << "not full screen again";
  resume_show(show);
  std::map<int, rgb_frame> seen;
  for (const int frame : looked_at_frames) {
    ASSERT_TRUE(wait_for_hold(show, frame, run_limit)) << "frame " << frame;
    if (auto grab = what_a_person_sees(kind, server, folder)) seen.emplace(frame, std::move(*grab));
    if (frame == looked_at_frames[0]) {
      EXPECT_EQ(desktop_layout(display), layout_before) << "the show changed the desktop";
    }
    resume_show(show);
  }
  expect_ran_to_its_end(finish_show(show, run_limit));
  EXPECT_EQ(desktop_layout(display), layout_before) << "the desktop did not get its layout back";
  if (kind.session == desktop_session::weston) {
    EXPECT_EQ(why_first_xwayland_is_not_running(server), "");
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
    // Sway shows some 400 of the pixels that the scaling blends (of 2 million)
    // a level off what the show put on its window through shared memory;
    // every other desktop shows them all exactly.
    const int levels = kind.session == desktop_session::sway ? 1 : 0;
    EXPECT_EQ(differing_pixels(grab, captured.at(frame), levels), 0) << "pixels differ from the capture";
  }
}

INSTANTIATE_TEST_SUITE_P(desktops, full_screen, ::testing::ValuesIn(desktops),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
