// scene_timeline_test.cpp: the picture scenes' state, call by call: when the
// smiley stops and how far it has turned, how long scenes 2, 3 and 5 last.
#include <gtest/gtest.h>

#include "show/picture_scenes.h"

namespace {

// Runs a scene's steps on the state until it reports its end; returns the
// number of calls, the last one included, and leaves the state as they left it.
int calls_until_end(auto& state, auto step) {
  int calls = 1;
  while (step(state) && calls < 100000) ++calls;
  return calls;
}

}  // namespace

TEST(smiley_scene, stops_receding_at_depth_minus_20_on_its_call_294) {
  smiley_state state;
  for (int call = 1; call <= 293; ++call) advance_smiley(state);
  EXPECT_EQ(state.moving, 1);
  EXPECT_GT(state.depth, -20.0f);
  EXPECT_EQ(state.angle, 0.0f);

  advance_smiley(state);  // call 294
  EXPECT_EQ(state.moving, 0);
  EXPECT_EQ(state.depth, -20.0f);
  EXPECT_EQ(state.angle, -0.5f);
  EXPECT_EQ(state.spin_pending, 0);
}

TEST(smiley_scene, ends_on_call_481_having_turned_minus_93_point_5_degrees) {
  smiley_state state;
  // Each call rotates the matrix by the angle it finds, on top of the turn so far.
  double accumulated_turn = 0.0;
  int calls = 0;
  for (int going_on = 1; going_on;) {
    accumulated_turn += state.angle;
    going_on = advance_smiley(state);
    if (++calls == 480) {
      EXPECT_EQ(going_on, 1);
    }
  }
  EXPECT_EQ(calls, 481);
  EXPECT_DOUBLE_EQ(accumulated_turn, -93.5);
  EXPECT_EQ(state.angle, -0.5f);  // the angle itself changed once
}

TEST(receding_scenes, last_exactly_789_calls_ending_just_past_minus_20) {
  receding_state state;
  for (int call = 1; call <= 788; ++call) ASSERT_EQ(advance_receding(state), 1) << "call " << call;
  EXPECT_NEAR(state.depth, -19.99984, 1e-5);
  EXPECT_GT(state.depth, -20.0f);

  EXPECT_EQ(advance_receding(state), 0);  // call 789
  EXPECT_NEAR(state.depth, -19.99984 - 0.025, 1e-5);
}

TEST(receding_scenes, start_just_beyond_the_near_plane_and_keep_their_grey) {
  receding_state state;
  EXPECT_EQ(state.depth, -0.3f);
  EXPECT_EQ(calls_until_end(state, advance_receding), 789);
  EXPECT_LT(state.depth, -20.0f);  // the state checked is the one at the end
  EXPECT_EQ(state.grey, 1.0f);
}

TEST(final_scene, draws_on_501_calls) {
  final_state state;
  EXPECT_EQ(calls_until_end(state, advance_final), 501);
}

TEST(scene_states, program_wide_instances_start_at_the_scene_starting_values) {
  EXPECT_EQ(smiley.depth, 2.0f);
  EXPECT_EQ(smiley.moving, 1);
  EXPECT_EQ(smiley.frame_counter, 0);
  EXPECT_EQ(who.depth, -0.3f);
  EXPECT_EQ(greets.depth, -0.3f);
  EXPECT_EQ(final_card.frame_counter, 0);
}
