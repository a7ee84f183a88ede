// scene_geometry_test.cpp: where the scenes put their pictures on a 640 by 480
// frame, measured against what the projection (45 degrees, vertical) gives for
// each depth: sizes, the red top row of each picture, the smiley's turn, the
// white background, the cube's three pictures.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <vector>

#include "assets/show_pictures.h"
#include "tests/render/observed_show.h"
#include "tests/render/scene_frames.h"
#include "tests/render/test_pictures.h"

namespace {

const std::optional<picture_seen>& picture_on(int frame) { return show_with_test_pictures().frames.at(frame).picture; }

// The frame's picture where the quad at eye depth z lands. Rasterisers may
// round a shared edge either way: one pixel either side is fine.
void expect_square_at(int frame, double z) {
  const auto& picture = picture_on(frame);
  const pixel_box square = square_at_depth(z);
  ASSERT_TRUE(picture.has_value()) << "no picture on frame " << frame;
  EXPECT_NEAR(picture->box.left, square.left, 1) << "frame " << frame;
  EXPECT_NEAR(picture->box.right, square.right, 1) << "frame " << frame;
  EXPECT_NEAR(picture->box.top, square.top, 1) << "frame " << frame;
  EXPECT_NEAR(picture->box.bottom, square.bottom, 1) << "frame " << frame;
}

// The first picture row, one texel high, along the top edge of the square at eye depth z.
void expect_red_band_on_top(const picture_seen& picture, double z, int frame) {
  const double top_edge = screen_row_of(1, z);
  const double texel = (screen_row_of(-1, z) - top_edge) / picture_side;
  const int expected = covered_pixels(top_edge, top_edge + texel).count();
  EXPECT_GE(picture.red_rows_on_top, 1) << "frame " << frame;
  EXPECT_NEAR(picture.red_rows_on_top, expected, 1) << "frame " << frame;
}

// The depth scene 2 or 3 draws at on its call-th call: from -0.3, 0.025 further each call.
double receding_depth(int call) { return -0.3 - 0.025 * (call - 1); }

// The frame of a scene's call, counted from 1 on the scene's first frame.
int frame_of_call(int scene, int call) { return scene_frames[scene].first - 1 + call; }

}  // namespace

TEST(smiley_scene, recedes_from_4_to_26_units_away_by_0_point_075_a_frame) {
  // It draws at depth -19.975 on call 294, then stops at -20, and turns from call 295 on.
  for (int call : {1, 2, 50, 150, 250, 294}) expect_square_at(call, smiley_depth(call));
}

TEST(smiley_scene, turns_clockwise_by_half_a_degree_more_on_every_frame_from_295) {
  // The smiley's upper half is red: the direction from the picture's centre to
  // the red half's centre shows how far the picture has turned, to within a
  // degree on a picture 45 pixels wide; a straight line through the turn of
  // all frames from 295 to 480 gives the rate much closer.
  std::map<int, double> turn;  // measured, degrees anticlockwise from upright
  for (const auto& [number, frame] : show_with_test_pictures().frames)
    if (number <= 480 && frame.picture && frame.picture->turn) turn[number] = *frame.picture->turn;
  ASSERT_EQ(turn.size(), 480u) << "the smiley is missing on some frames";

  double worst_error = 0;
  for (const auto& [frame, measured] : turn) {
    const double expected = frame <= 294 ? 0.0 : -0.5 * (frame - 294);
    worst_error = std::max(worst_error, std::abs(measured - expected));
  }
  EXPECT_LT(worst_error, 1.5);

  // Least squares over the turning frames: turn = rate * frame + offset.
  double n = 0, sum_f = 0, sum_t = 0, sum_ff = 0, sum_ft = 0;
  for (const auto& [frame, measured] : turn) {
    if (frame < 295) continue;
    n += 1, sum_f += frame, sum_t += measured, sum_ff += double(frame) * frame;
    sum_ft += frame * measured;
  }
  const double rate = (n * sum_ft - sum_f * sum_t) / (n * sum_ff - sum_f * sum_f);
  const double turn_at_294 = (sum_t - rate * sum_f) / n + rate * 294;
  EXPECT_NEAR(rate, -0.5, 0.005);
  EXPECT_NEAR(turn_at_294, 0.0, 0.25);  // half a frame's turn
  std::printf("turn: %.4f degrees a frame from %.3f at frame 294; worst single frame off by %.3f\n", rate, turn_at_294,
              worst_error);
}

TEST(who_scene, square_has_the_size_its_depth_gives_on_white) {
  // Calls at depths 2, 3.5, 5, 10 and 19 in front of the eye; at 2 the square
  // reaches under the bars, so only its width is whole.
  for (int call : {69, 129, 189, 389, 749}) {
    const int frame = frame_of_call(1, call);
    expect_square_at(frame, receding_depth(call));
    const auto& picture = picture_on(frame);
    if (!picture) continue;
    EXPECT_EQ(picture->not_white_outside, 0) << "the background is not white on frame " << frame;
  }
}

TEST(who_scene, shows_the_pictures_first_row_as_a_red_band_along_the_top_edge) {
  // At depths 3.5 and 3.6 a texel is about 1.3 pixels high and the top edge is in view.
  for (int call : {129, 133}) {
    const int frame = frame_of_call(1, call);
    const auto& picture = picture_on(frame);
    ASSERT_TRUE(picture.has_value()) << "no picture on frame " << frame;
    expect_red_band_on_top(*picture, receding_depth(call), frame);
    EXPECT_TRUE(picture->bottom_row_is_body) << "frame " << frame;
  }
}

TEST(greets_scene, draws_at_its_depth_as_scene_2_did_with_the_matrix_scene_2_left) {
  // Scene 3 does not reset the matrix: with scene 2's identity its square has
  // the sizes of scene 2's on the same calls.
  for (int call : {129, 389, 749}) expect_square_at(frame_of_call(2, call), receding_depth(call));
}

TEST(final_scene, shows_a_centred_square_of_332_pixels_with_a_red_top_row_on_white) {
  // At depth 3.5 the square spans 331.1 pixels: 332 pixel centres fall inside.
  constexpr double depth = -3.5;
  const auto square = square_at_depth(depth);
  ASSERT_EQ(square.width(), 332);
  ASSERT_EQ(square.height(), 332);
  const frame_range scene = scene_frames[4];
  int frames_checked = 0;
  for (const auto& [number, frame] : show_with_test_pictures().frames) {
    // Its first frame also holds the cube's last.
    if (number <= scene.first || number > scene.last) continue;
    ++frames_checked;
    expect_square_at(number, depth);
    if (!frame.picture) continue;
    EXPECT_EQ(frame.picture->not_white_outside, 0) << "the background is not white on frame " << number;
    EXPECT_EQ(frame.picture->holes, 0) << "holes in the picture on frame " << number;
    expect_red_band_on_top(*frame.picture, depth, number);
  }
  EXPECT_EQ(frames_checked, scene.last - scene.first);
}

TEST(cube_scene, shows_its_three_pictures_and_no_other_on_its_own_frames) {
  const frame_range scene = scene_frames[3];
  std::bitset<7> shown_in_scene;
  int frames_with_cube = 0;
  std::vector<int> foreign_frames;
  for (const auto& [number, frame] : show_with_test_pictures().frames) {
    // The hand-over frames also hold the last of scene 3 and the first of scene 5.
    if (number <= scene.first || number >= scene.last) continue;
    if (frame.pictures.any()) ++frames_with_cube;
    shown_in_scene |= frame.pictures;
    if ((frame.pictures & ~scene_pictures[3]).any()) foreign_frames.push_back(number);
  }
  for (int cul : {1, 2, 3}) EXPECT_TRUE(shown_in_scene[2 + cul]) << "cul" << cul << " never shows";
  EXPECT_TRUE(foreign_frames.empty()) << "another picture shows on frame " << foreign_frames.front();
  std::printf("the cube is in view on %d of its %d frames\n", frames_with_cube, scene.last - scene.first - 1);
}
