// cube_timeline_test.cpp: the cube's bounces, angle resets, spread and end,
// call by call from its starting state.
#include <gtest/gtest.h>

#include <vector>

#include "show/cube_scene.h"

namespace {

// What happened on each call of the scene, counting its first call as 1.
struct cube_history {
  std::vector<int> bounce_calls;     // the bounce counter went up
  std::vector<int> turn_away_calls;  // the depth first went above 25 in a phase
  std::vector<int> angle_x_resets;
  std::vector<int> angle_y_resets;
  std::vector<int> angle_z_resets;
  std::vector<cube_state> states;  // states[call] is the state after that call
  int last_call = 0;
};

cube_history run_cube() {
  cube_history history;
  cube_state state;
  history.states.push_back(state);
  for (int call = 1; history.last_call == 0 && call < 10000; ++call) {
    const cube_state before = state;
    advance_cube(state);
    history.states.push_back(state);
    if (state.bounces > before.bounces) history.bounce_calls.push_back(call);
    if (state.receding && before.approaching) history.turn_away_calls.push_back(call);
    if (state.angle_x < before.angle_x) history.angle_x_resets.push_back(call);
    if (state.angle_y < before.angle_y) history.angle_y_resets.push_back(call);
    if (state.angle_z < before.angle_z) history.angle_z_resets.push_back(call);
    if (!cube_goes_on(state)) history.last_call = call;
  }
  return history;
}

const cube_history history = run_cube();

}  // namespace

TEST(cube_scene, bounces_on_calls_51_228_405_and_583) {
  // The third bounce comes on call 405 only because the depth is stored in
  // single precision (about -0.00004 there); in double it would be call 406.
  EXPECT_EQ(history.bounce_calls, (std::vector<int>{51, 228, 405, 583}));
  EXPECT_NEAR(history.states[404].depth - 0.2, -0.00004, 1e-5);
}

TEST(cube_scene, turns_away_after_passing_25_on_calls_101_278_455_and_633) {
  EXPECT_EQ(history.turn_away_calls, (std::vector<int>{101, 278, 455, 633}));
}

TEST(cube_scene, is_back_above_zero_when_drawn_on_the_call_of_each_bounce) {
  for (int call : history.bounce_calls) EXPECT_GT(history.states[call].depth, 0.0f) << call;
}

TEST(cube_scene, starts_coming_apart_on_its_fourth_bounce_and_ends_on_call_638_at_spread_56) {
  EXPECT_EQ(history.states[582].spread, 0.0f);
  EXPECT_EQ(history.states[583].spread, 1.0f);
  EXPECT_EQ(history.last_call, 638);
  EXPECT_EQ(history.states[638].spread, 56.0f);
  EXPECT_EQ(cube_goes_on(history.states[637]), 1);
}

TEST(cube_scene, resets_each_angle_to_zero_past_360) {
  EXPECT_EQ(history.angle_x_resets, (std::vector<int>{481}));
  EXPECT_EQ(history.states[480].angle_x, 360.0f);  // exactly 360 is kept
  EXPECT_EQ(history.angle_y_resets, (std::vector<int>{206, 412, 618}));
  EXPECT_TRUE(history.angle_z_resets.empty());
  EXPECT_EQ(history.states[638].angle_z, 319.0f);
}

TEST(cube_scene, program_wide_state_starts_at_the_starting_values) {
  EXPECT_EQ(cube.depth, 10.0f);
  EXPECT_EQ(cube.receding, 1);
  EXPECT_EQ(cube.approaching, 0);
  EXPECT_EQ(cube.spread, 0.0f);
}
