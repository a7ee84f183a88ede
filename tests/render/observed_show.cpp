// observed_show.cpp: runs the show with the test pictures and measures every
// frame as it is presented, as the pixels and the scenes' state are then.
#include "tests/render/observed_show.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "show/cube_scene.h"
#include "show/picture_scenes.h"
#include "tests/render/scene_frames.h"
#include "tests/render/test_pictures.h"

namespace {

bool bars_are_exact(frame_pixels rgb) {
  const auto is_black = [](colour c) { return c == black; };
  // The test pictures hold no black, so the rows next to the bars hold none either.
  return bars_are_black(rgb) && count_pixels(rgb, {open_rows.first, open_rows.first}, is_black) == 0 &&
         count_pixels(rgb, {open_rows.last, open_rows.last}, is_black) == 0;
}

// Which test pictures show on a frame, and whether it shows no colour but
// theirs, white, black and red.
void note_colours(frame_pixels rgb, frame_seen& frame) {
  frame.only_known_colours = true;
  for (int y = 0; y < picture_height; ++y)
    for (int x = 0; x < picture_width; ++x) {
      const colour c = pixel_at(rgb, x, y);
      if (c == white || c == black || c == red) continue;
      const auto picture = std::ranges::find(test_pictures, c, &test_picture::body);
      if (picture == test_pictures.end())
        frame.only_known_colours = false;
      else
        frame.pictures.set(picture - test_pictures.begin());
    }
}

auto is_picture(colour body) {
  return [body](colour c) { return c == body || c == red; };
}

int pixels_inside(frame_pixels rgb, const pixel_box& box, auto wanted) {
  return count_pixels(rgb, {box.top, box.bottom}, wanted, {box.left, box.right});
}

bool row_of_box_is(frame_pixels rgb, const pixel_box& box, int y, colour c) {
  return pixels_inside(rgb, {box.left, y, box.right, y}, [c](colour at) { return at != c; }) == 0;
}

int red_rows_on_top(frame_pixels rgb, const pixel_box& box) {
  int rows = 0;
  while (box.top + rows <= box.bottom && row_of_box_is(rgb, box, box.top + rows, red)) ++rows;
  const bool red_below = bounding_box(rgb, {box.top + rows, box.bottom}, [](colour c) { return c == red; }).has_value();
  return red_below ? -1 : rows;
}

std::optional<double> turn_of(frame_pixels rgb, colour body) {
  const auto whole = centroid(rgb, open_rows, is_picture(body));
  const auto upper = centroid(rgb, open_rows, [](colour c) { return c == red; });
  if (!whole || !upper) return std::nullopt;
  return std::atan2(whole->y - upper->y, upper->x - whole->x) * 180 / std::numbers::pi - 90;
}

std::optional<picture_seen> measure_picture(frame_pixels rgb, colour body) {
  const auto box = bounding_box(rgb, open_rows, is_picture(body));
  if (!box) return std::nullopt;
  const auto not_white = [](colour c) { return c != white; };
  return picture_seen{
      .box = *box,
      .not_white_outside = count_pixels(rgb, open_rows, not_white) - pixels_inside(rgb, *box, not_white),
      .holes = pixels_inside(rgb, *box, [&](colour c) { return !is_picture(body)(c); }),
      .red_rows_on_top = red_rows_on_top(rgb, *box),
      .bottom_row_is_body = row_of_box_is(rgb, *box, box->bottom, body),
      // Only the smiley's red part, its upper half, is large enough to show its turn.
      .turn = body == test_pictures[0].body ? turn_of(rgb, body) : std::nullopt};
}

// The body colour of the flat picture of the one scene running on a frame;
// nothing on the cube's frames and where one scene hands over to the next.
std::optional<colour> lone_flat_picture(int frame) {
  const auto running = [frame](const frame_range& scene) { return scene.holds(frame); };
  if (std::ranges::count_if(scene_frames, running) != 1) return std::nullopt;
  return flat_picture_colours[std::ranges::find_if(scene_frames, running) - scene_frames.begin()];
}

// Values that change on every call of their scene (the cube's angle z is not
// reset within its scene), so a change from one frame to the next shows that
// the scene's step ran on the later one.
std::array<double, scene_count> scene_progress() {
  return {double(smiley.frame_counter), who.depth, greets.depth, cube.angle_z, double(final_card.frame_counter)};
}

observed_show run_and_observe() {
  const test_picture_folder pictures;
  observed_show show;
  auto before = scene_progress();
  // Room for more frames than the show has, should it fail to end.
  show.run = run_show(pictures.path, frames_in_show + 100, [&](int number, frame_pixels rgb) {
    frame_seen& frame = show.frames[number];
    const auto now = scene_progress();
    for (int scene = 0; scene < scene_count; ++scene) frame.stepped[scene] = now[scene] != before[scene];
    before = now;
    frame.stage = stage;
    frame.bars_exact = bars_are_exact(rgb);
    note_colours(rgb, frame);
    if (const auto body = lone_flat_picture(number)) frame.picture = measure_picture(rgb, *body);
  });
  return show;
}

}  // namespace

const observed_show& show_with_test_pictures() {
  static const observed_show show = run_and_observe();
  EXPECT_EQ(show.run.error, "") << "the show did not run";
  return show;
}
