// observed_show.h: the show drawn offscreen with the test pictures, from its
// first frame to its end, once per test program, and what each frame showed:
// the measurements the frame and scene tests check, and the show's state as
// the frame left it.
#pragma once

#include <bitset>
#include <map>
#include <optional>

#include "show/sequencer.h"
#include "tests/render/frame_measure.h"
#include "tests/render/offscreen_show.h"

// The picture of the one scene running on a frame, where that scene draws a
// flat picture: its pixels are those of its body colour or red.
struct picture_seen {
  pixel_box box;
  int not_white_outside;  // pixels between the bars and outside the box that are not white
  int holes;              // pixels in the box that are not the picture's
  int red_rows_on_top;    // rows red all across at the top of the box; -1 if red shows below them
  bool bottom_row_is_body;
  // The smiley's: degrees anticlockwise from upright, by the direction from
  // the picture's centre to the centre of its red half; nothing where no red shows.
  std::optional<double> turn;
};

struct frame_seen {
  bool bars_exact;          // the bars' rows all black, and no black on the rows next to them
  bool only_known_colours;  // white, black, red and the test pictures' own colours
  std::bitset<7> pictures;  // which test pictures show, by texture name - 1
  stage_flags stage;
  std::bitset<scene_count> stepped;     // the scenes whose state changed on this frame
  std::optional<picture_seen> picture;  // nothing where none shows or more than one scene runs
};

struct observed_show {
  offscreen_run run;
  std::map<int, frame_seen> frames;  // by frame number, from 1
};

// Runs the show on the first call (the show's state is program-wide, so a
// program runs it once); fails the calling test if the show could not run.
const observed_show& show_with_test_pictures();
