// desktop_test.cpp: the show on a desktop larger than its picture: every way
// out ends it at once with status 0, a missing display ends it with one clear
// line, and a storm of keys changes nothing of its course. (The show's end, and
// that the desktop's mode and layout stay as they were, are checked on every
// desktop, in full_screen_test.cpp.)
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "tests/e2e/show_expectations.h"
#include "tests/e2e/show_run.h"
#include "tests/e2e/x_server_fixture.h"

namespace {

constexpr int way_out_frame = 100;  // the show is held here while the way out is taken

struct way_out_case {
  const char* name;
  int signal_number;  // 0: Escape typed instead
};

constexpr way_out_case ways_out[] = {{"escape", 0}, {"ctrl_c", SIGINT}, {"sigterm", SIGTERM}, {"sighup", SIGHUP}};

void PrintTo(const way_out_case& tried, std::ostream* out) { *out << tried.name; }

class every_way_out : public on_x_server, public ::testing::WithParamInterface<way_out_case> {
 protected:
  void SetUp() override { use_desktop(larger_desktop); }
};

TEST_P(every_way_out, ends_the_show_and_exits_0) {
  const way_out_case& tried = GetParam();
  show_data_folder folder(tried.name);
  running_show show = start_show(folder, {.hold_frames = {way_out_frame}});
  ASSERT_TRUE(wait_for_hold(show, way_out_frame, run_limit));
  if (tried.signal_number == 0) {
    ASSERT_TRUE(press_keys(show, {"Escape"}));
  } else {
    ASSERT_EQ(kill(show.process.pid, tried.signal_number), 0);
  }
  resume_show(show);
  const show_result result = finish_show(show, run_limit);

  ASSERT_TRUE(result.end.has_value()) << "still running";
  EXPECT_TRUE(result.end->exited_with(0)) << describe(*result.end) << '\n' << result.errors;
  if (tried.signal_number != 0) {  // acted on between frames: the held frame is the last
    EXPECT_EQ(result.frames_presented, way_out_frame);
  }
}

INSTANTIATE_TEST_SUITE_P(desktop, every_way_out, ::testing::ValuesIn(ways_out), ::testing::PrintToStringParamName());

TEST(no_x_display, is_told_in_one_line_and_the_program_exits_1_before_loading_anything) {
  for (const char* display : {":65000", ""}) {
    SCOPED_TRACE(std::string("DISPLAY=") + display);
    show_data_folder folder("no-display");
    running_show show = start_show_on(display, folder);
    const show_result result = finish_show(show, run_limit);
    ASSERT_TRUE(result.end.has_value()) << "still running";
    EXPECT_TRUE(result.end->exited_with(1)) << describe(*result.end);
    EXPECT_TRUE(result.errors.starts_with("quorvan: cannot open the X display")) << result.errors;
    EXPECT_EQ(std::ranges::count(result.errors, '\n'), 1) << result.errors;
    EXPECT_EQ(result.output, "") << "pictures loaded without a window";
    EXPECT_LE(result.frames_presented, 0);
  }
}

// Every key the show knows but Escape, with some it ignores.
constexpr std::string_view storm_keys = "msfmsmfaxSMF q1";
constexpr int storm_length = 3000;
// Slowed down so the whole storm lands while the show runs.
constexpr auto storm_pause_per_frame = std::chrono::microseconds(2500);

using key_storm = on_x_server;

TEST_F(key_storm, of_thousands_of_keys_leaves_the_show_its_3194_frames_and_exit_0) {
  show_data_folder folder("key-storm");
  running_show show = start_show(folder, {.pause_per_frame = storm_pause_per_frame});
  std::string typed;
  while (typed.size() < storm_length) typed += storm_keys;
  typed.resize(storm_length);
  ASSERT_TRUE(wait_for_event(show, "reshape", std::nullopt, run_limit).has_value());
  const program_run typing = run_program(
      {.command = {"xdotool", "type", "--delay", "0", typed}, .environment = {"DISPLAY=" + display}}, run_limit);
  const show_result result = finish_show(show, run_limit);

  ASSERT_TRUE(typing.exited_with(0)) << "xdotool failed: " << typing.errors;
  expect_ran_to_its_end(result);
  const std::vector<probe_event> keys = events_named(result.events, "key");
  EXPECT_EQ(keys.size(), typed.size()) << "keys lost, or the show ended before the storm did";
  const auto received_f = std::ranges::count_if(keys, [](const probe_event& key) { return key.values.at(0) == 'f'; });
  EXPECT_EQ(std::ssize(full_screen_requests_after_start(result.events)), received_f);
  EXPECT_EQ(received_f, std::ranges::count(typed, 'f'));
}

}  // namespace
