// scene_geometry_test.cpp: where the scenes put their pictures on a 640 by 480
// frame, measured against what the projection (45 degrees, vertical) gives for
// each depth: sizes, the red top row of each picture, the smiley's turn, the
// white background, the cube's three pictures.
//
// Every test runs the show from its first frame. The show's state is
// program-wide and never reset, so each test needs a process of its own: CTest
// gives it one (gtest_discover_tests runs every test separately); by hand, run
// one test at a time with --gtest_filter.
#include <gtest/gtest.h>

#include <algorithm>
#include <bitset>
#include <cmath>
#include <cstdio>
#include <map>
#include <vector>

#include "tests/render/frame_measure.h"
#include "tests/render/offscreen_show.h"
#include "tests/render/scene_frames.h"
#include "tests/render/test_pictures.h"

namespace {

constexpr int picture_rows = 256;

// Where the picture quad (-1 to 1 in x and y) at eye depth z lands, as the
// pixels it covers, the rows cut off by the bars.
struct expected_square {
  pixel_span columns, rows;
  double top_edge, side;  // in pixels
};

expected_square square_at_depth(double z) {
  const double top = screen_row_of(1, z);
  const double bottom = screen_row_of(-1, z);
  const pixel_span rows = covered_pixels(top, bottom);
  return {covered_pixels(screen_column_of(-1, z), screen_column_of(1, z)),
          {std::max(rows.first, open_rows.first), std::min(rows.last, open_rows.last)},
          top,
          bottom - top};
}

// Rasterisers may round a shared edge either way: one pixel either side is fine.
void expect_box_matches(const std::optional<pixel_box>& box, const expected_square& square, int frame) {
  ASSERT_TRUE(box.has_value()) << "no picture on frame " << frame;
  EXPECT_NEAR(box->left, square.columns.first, 1) << "frame " << frame;
  EXPECT_NEAR(box->right, square.columns.last, 1) << "frame " << frame;
  EXPECT_NEAR(box->top, square.rows.first, 1) << "frame " << frame;
  EXPECT_NEAR(box->bottom, square.rows.last, 1) << "frame " << frame;
}

auto is_picture(colour body) {
  return [body](colour c) { return c == body || c == red; };
}

// How many pixels between the bars and outside the box, or inside the box,
// are wanted(colour).
int pixels_outside(std::span<const std::uint8_t> rgb, const pixel_box& box, auto wanted) {
  int count = 0;
  for (int y = open_rows.first; y <= open_rows.last; ++y)
    for (int x = 0; x < picture_width; ++x) {
      const bool inside = box.left <= x && x <= box.right && box.top <= y && y <= box.bottom;
      if (!inside && wanted(pixel_at(rgb, x, y))) ++count;
    }
  return count;
}

int pixels_inside(std::span<const std::uint8_t> rgb, const pixel_box& box, auto wanted) {
  int count = 0;
  for (int y = box.top; y <= box.bottom; ++y)
    for (int x = box.left; x <= box.right; ++x) count += wanted(pixel_at(rgb, x, y)) ? 1 : 0;
  return count;
}

bool row_of_box_is(std::span<const std::uint8_t> rgb, const pixel_box& box, int y, colour c) {
  for (int x = box.left; x <= box.right; ++x)
    if (pixel_at(rgb, x, y) != c) return false;
  return true;
}

// How many rows at the top of the box are red all across; -1 if red shows
// anywhere below them.
int red_rows_on_top(std::span<const std::uint8_t> rgb, const pixel_box& box) {
  int rows = 0;
  while (box.top + rows <= box.bottom && row_of_box_is(rgb, box, box.top + rows, red)) ++rows;
  const pixel_box rest{box.left, box.top + rows, box.right, box.bottom};
  const bool red_below = bounding_box(rgb, rest.top, rest.bottom, [&](colour c) { return c == red; }).has_value();
  return red_below ? -1 : rows;
}

// The first picture row, one texel high, along the top edge of the square.
void expect_red_band_on_top(std::span<const std::uint8_t> rgb, const pixel_box& box, const expected_square& square,
                            int frame) {
  const double texel = square.side / picture_rows;
  const int expected = covered_pixels(square.top_edge, square.top_edge + texel).count();
  const int rows = red_rows_on_top(rgb, box);
  EXPECT_GE(rows, 1) << "frame " << frame;
  EXPECT_NEAR(rows, expected, 1) << "frame " << frame;
}

// The depth scene 2 or 3 draws at on its call-th call: from -0.3, 0.025 further each call.
double receding_depth(int call) { return -0.3 - 0.025 * (call - 1); }

// Runs the show as far as needed, keeping copies of the frames asked for.
std::map<int, std::vector<std::uint8_t>> frames_of_show(const std::vector<int>& wanted) {
  test_picture_folder pictures;
  std::map<int, std::vector<std::uint8_t>> frames;
  const int last = *std::max_element(wanted.begin(), wanted.end());
  const offscreen_run run = run_show(pictures.path, last, [&](int frame, auto rgb) {
    if (std::find(wanted.begin(), wanted.end(), frame) != wanted.end()) frames[frame].assign(rgb.begin(), rgb.end());
  });
  EXPECT_EQ(run.error, "");
  return frames;
}

// The frame of a scene's call, counted from 1 on the scene's first frame.
int frame_of_call(int scene, int call) { return scene_frames[scene].first - 1 + call; }

// The frames on which the scene (0 to 4) makes these calls, by call.
std::map<int, std::vector<std::uint8_t>> frames_of_scene_calls(int scene, const std::vector<int>& calls) {
  std::vector<int> wanted;
  for (int call : calls) wanted.push_back(frame_of_call(scene, call));
  auto frames = frames_of_show(wanted);
  std::map<int, std::vector<std::uint8_t>> by_call;
  for (int call : calls) by_call[call] = std::move(frames[frame_of_call(scene, call)]);
  return by_call;
}

}  // namespace

TEST(smiley_scene, recedes_from_4_to_26_units_away_by_0_point_075_a_frame) {
  // The base eye offset puts the picture at its depth minus 6. It draws at
  // depth -19.975 on call 294, then stops at -20, and turns from call 295 on.
  const std::vector<int> calls{1, 2, 50, 150, 250, 294};
  const auto frames = frames_of_show(calls);
  for (int call : calls) {
    const auto& rgb = frames.at(call);
    const double z = 2.0 - 0.075 * (call - 1) - 6.0;
    const auto box = bounding_box(rgb, open_rows.first, open_rows.last, is_picture(smiley_colour));
    expect_box_matches(box, square_at_depth(z), call);
  }
}

TEST(smiley_scene, turns_clockwise_by_half_a_degree_more_on_every_frame_from_295) {
  // The smiley's upper half is red: the direction from the picture's centre to
  // the red half's centre shows how far the picture has turned, to within a
  // degree on a picture 45 pixels wide; a straight line through the turn of
  // all frames from 295 to 480 gives the rate much closer.
  test_picture_folder pictures;
  std::map<int, double> turn;  // measured, degrees anticlockwise from upright
  const offscreen_run run = run_show(pictures.path, 480, [&](int frame, auto rgb) {
    const auto whole = centroid(rgb, open_rows.first, open_rows.last, is_picture(smiley_colour));
    const auto upper = centroid(rgb, open_rows.first, open_rows.last, [](colour c) { return c == red; });
    if (!whole || !upper) return;
    turn[frame] = std::atan2(whole->y - upper->y, upper->x - whole->x) * 180 / std::numbers::pi - 90;
  });
  ASSERT_EQ(run.error, "");
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
  const std::vector<int> calls{69, 129, 189, 389, 749};
  const auto frames = frames_of_scene_calls(1, calls);
  for (int call : calls) {
    const int frame = frame_of_call(1, call);
    const auto& rgb = frames.at(call);
    const auto square = square_at_depth(receding_depth(call));
    const auto box = bounding_box(rgb, open_rows.first, open_rows.last, is_picture(who_colour));
    expect_box_matches(box, square, frame);
    if (box) {
      EXPECT_EQ(pixels_outside(rgb, *box, [](colour c) { return c != white; }), 0)
          << "the background is not white on frame " << frame;
    }
  }
}

TEST(who_scene, shows_the_pictures_first_row_as_a_red_band_along_the_top_edge) {
  // At depths 3.5 and 3.6 a texel is about 1.3 pixels high and the top edge is in view.
  const std::vector<int> calls{129, 133};
  const auto frames = frames_of_scene_calls(1, calls);
  for (int call : calls) {
    const int frame = frame_of_call(1, call);
    const auto square = square_at_depth(receding_depth(call));
    const auto box = bounding_box(frames.at(call), open_rows.first, open_rows.last, is_picture(who_colour));
    ASSERT_TRUE(box.has_value());
    expect_red_band_on_top(frames.at(call), *box, square, frame);
    EXPECT_TRUE(row_of_box_is(frames.at(call), *box, box->bottom, who_colour));
  }
}

TEST(greets_scene, draws_at_its_depth_as_scene_2_did_with_the_matrix_scene_2_left) {
  // Scene 3 does not reset the matrix: with scene 2's identity its square has
  // the sizes of scene 2's on the same calls.
  const std::vector<int> calls{129, 389, 749};
  const auto frames = frames_of_scene_calls(2, calls);
  for (int call : calls) {
    const auto square = square_at_depth(receding_depth(call));
    const auto box = bounding_box(frames.at(call), open_rows.first, open_rows.last, is_picture(greets_colour));
    expect_box_matches(box, square, frame_of_call(2, call));
  }
}

TEST(final_scene, shows_a_centred_square_of_332_pixels_with_a_red_top_row_on_white) {
  // At depth 3.5 the square spans 331.1 pixels: 332 pixel centres fall inside.
  const auto square = square_at_depth(-3.5);
  ASSERT_EQ(square.columns.count(), 332);
  ASSERT_EQ(square.rows.count(), 332);
  test_picture_folder pictures;
  const frame_range scene = scene_frames[4];
  int frames_checked = 0;
  const offscreen_run run = run_show(pictures.path, scene.last, [&](int frame, auto rgb) {
    // Its first frame also holds the cube's last.
    if (frame <= scene.first) return;
    ++frames_checked;
    const auto box = bounding_box(rgb, open_rows.first, open_rows.last, is_picture(final_colour));
    expect_box_matches(box, square, frame);
    if (!box) return;
    EXPECT_EQ(pixels_outside(rgb, *box, [](colour c) { return c != white; }), 0)
        << "the background is not white on frame " << frame;
    EXPECT_EQ(pixels_inside(rgb, *box, [](colour c) { return !is_picture(final_colour)(c); }), 0)
        << "holes in the picture on frame " << frame;
    expect_red_band_on_top(rgb, *box, square, frame);
  });
  ASSERT_EQ(run.error, "");
  EXPECT_EQ(frames_checked, scene.last - scene.first);
}

TEST(cube_scene, shows_its_three_pictures_and_no_other_on_its_own_frames) {
  test_picture_folder pictures;
  const frame_range scene = scene_frames[3];
  std::bitset<7> shown_in_scene;
  int frames_with_cube = 0;
  std::vector<int> foreign_frames;
  const offscreen_run run = run_show(pictures.path, scene.last, [&](int frame, auto rgb) {
    // The hand-over frames also hold the last of scene 3 and the first of scene 5.
    if (frame <= scene.first || frame >= scene.last) return;
    const auto shown = pictures_shown(rgb);
    if (shown.any()) ++frames_with_cube;
    shown_in_scene |= shown;
    if ((shown & ~std::bitset<7>{0b0111000}).any()) foreign_frames.push_back(frame);
  });
  ASSERT_EQ(run.error, "");
  EXPECT_TRUE(shown_in_scene[3]) << "cul1 never shows";
  EXPECT_TRUE(shown_in_scene[4]) << "cul2 never shows";
  EXPECT_TRUE(shown_in_scene[5]) << "cul3 never shows";
  EXPECT_TRUE(foreign_frames.empty()) << "another picture shows on frame " << foreign_frames.front();
  std::printf("the cube is in view on %d of its %d frames\n", frames_with_cube, scene.last - scene.first - 1);
}
