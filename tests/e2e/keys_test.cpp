// keys_test.cpp: keys typed into the running show: Escape ends it at once,
// upper-case or other keys change nothing, and keys reach the show on a bare
// X session whatever focus another program left. ("f" is tried on every
// desktop, in full_screen_test.cpp.)
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/e2e/show_expectations.h"
#include "tests/e2e/show_run.h"
#include "tests/e2e/x_server.h"
#include "tests/e2e/x_server_fixture.h"

namespace {

constexpr int key_frame = 100;  // the show is held after this frame while keys are typed
// A key typed during the hold reaches the program within a frame or two.
constexpr int key_delay_frames = 5;

constexpr long escape = 27;

std::vector<long> key_codes(const show_result& result) {
  std::vector<long> codes;
  for (const probe_event& key : events_named(result.events, "key")) codes.push_back(key.values.at(0));
  return codes;
}

using keys = on_x_server;

TEST_F(keys, escape_exits_0_without_presenting_another_frame) {
  show_data_folder folder("escape");
  running_show show = start_show(folder, {.hold_frames = {key_frame}});
  ASSERT_TRUE(press_keys_at(show, key_frame, {"Escape"}));
  const show_result result = finish_show(show, run_limit);

  ASSERT_TRUE(result.end.has_value()) << "still running after Escape";
  EXPECT_TRUE(result.end->exited_with(0)) << describe(*result.end) << '\n' << result.errors;
  const std::vector<probe_event> pressed = events_named(result.events, "key");
  ASSERT_EQ(pressed.size(), 1u);
  EXPECT_EQ(pressed[0].values.at(0), escape);
  EXPECT_LE(pressed[0].frame, key_frame + key_delay_frames);
  EXPECT_EQ(result.frames_presented, pressed[0].frame) << "frames presented after Escape";
  ASSERT_FALSE(result.events.empty());
  EXPECT_EQ(result.events.back().name, "exit");
  EXPECT_EQ(result.events.back().frame, pressed[0].frame);
}

TEST_F(keys, upper_case_f_m_s_and_other_keys_change_nothing_and_the_show_goes_on_to_its_end) {
  show_data_folder folder("other-keys");
  running_show show = start_show(folder, {.hold_frames = {key_frame}});
  ASSERT_TRUE(
      press_keys_at(show, key_frame, {"shift+f", "shift+m", "shift+s", "a", "q", "x", "space", "Return", "Tab"}));
  const show_result result = finish_show(show, run_limit);

  expect_ran_to_its_end(result);
  EXPECT_EQ(key_codes(result), (std::vector<long>{'F', 'M', 'S', 'a', 'q', 'x', ' ', '\r', '\t'}));
  EXPECT_TRUE(full_screen_requests_after_start(result.events).empty());
}

TEST_F(keys, reach_the_show_on_a_bare_x_session_where_another_program_left_the_focus_nowhere) {
  ASSERT_TRUE(leave_keyboard_focus_nowhere(display));
  show_data_folder folder("focus-nowhere");
  running_show show = start_show(folder, {.hold_frames = {key_frame}});
  ASSERT_TRUE(press_keys_at(show, key_frame, {"x", "Escape"}));
  const show_result result = finish_show(show, run_limit);

  ASSERT_TRUE(result.end.has_value()) << "Escape did not reach the show";
  EXPECT_TRUE(result.end->exited_with(0)) << describe(*result.end) << '\n' << result.errors;
  EXPECT_EQ(key_codes(result), (std::vector<long>{'x', escape}));
}

}  // namespace
