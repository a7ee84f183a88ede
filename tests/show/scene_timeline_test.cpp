// scene_timeline_test.cpp: the picture scenes' state, call by call: when the
// smiley stops and how far it has turned, how long scenes 2, 3 and 5 last.
#include <gtest/gtest.h>

#include "show/picture_scenes.h"

namespace {

// Runs a scene's steps from its starting state until it reports its end;
// returns the number of calls, the last one included.
template <typename state_type, typename step_function>
int calls_until_end(state_type state, step_function step) {
  int calls = 0;
  do {
    ++calls;
  } while (step(state) && calls < 100000);
  return calls;
}

}  // namespace

TEST(SmileyScene, StopsRecedingAtDepthMinus20OnItsCall294) {
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

TEST(SmileyScene, EndsOnCall481HavingTurnedMinus93Point5Degrees) {
  smiley_state state;
  // Each call rotates the matrix by the angle it finds, on top of the turn so far.
  double accumulated_turn = 0.0;
  int calls = 0;
  int going_on = 1;
  while (going_on) {
    accumulated_turn += state.angle;
    going_on = advance_smiley(state);
    ++calls;
    if (calls == 480) {
      EXPECT_EQ(going_on, 1);
    }
  }
  EXPECT_EQ(calls, 481);
  EXPECT_DOUBLE_EQ(accumulated_turn, -93.5);
  EXPECT_EQ(state.angle, -0.5f);  // the angle itself changed once
}

TEST(RecedingScenes, LastExactly789CallsEndingJustPastMinus20) {
  receding_state state;
  for (int call = 1; call <= 788; ++call) ASSERT_EQ(advance_receding(state), 1) << "call " << call;
  EXPECT_NEAR(state.depth, -19.99984, 1e-5);
  EXPECT_GT(state.depth, -20.0f);

  EXPECT_EQ(advance_receding(state), 0);  // call 789
  EXPECT_NEAR(state.depth, -19.99984 - 0.025, 1e-5);
}

TEST(RecedingScenes, StartJustBeyondTheNearPlaneAndKeepTheirGrey) {
  const receding_state start;
  EXPECT_EQ(start.depth, -0.3f);
  receding_state state;
  calls_until_end(state, advance_receding);
  EXPECT_EQ(state.grey, 1.0f);
  EXPECT_EQ(calls_until_end(receding_state{}, advance_receding), 789);
}

TEST(FinalScene, DrawsOn501Calls) {
  EXPECT_EQ(calls_until_end(final_state{}, advance_final), 501);
}

TEST(SceneStates, ProgramWideInstancesStartAtTheSceneStartingValues) {
  EXPECT_EQ(smiley.depth, 2.0f);
  EXPECT_EQ(smiley.moving, 1);
  EXPECT_EQ(smiley.frame_counter, 0);
  EXPECT_EQ(who.depth, -0.3f);
  EXPECT_EQ(greets.depth, -0.3f);
  EXPECT_EQ(final_card.frame_counter, 0);
}
