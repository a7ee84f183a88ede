// scene_frames.h: on which frames of the show each scene runs, as the show's
// timeline gives them: a scene's last frame is the next one's first.
#pragma once

#include <array>

#include "show/sequencer.h"
#include "tests/render/show_run.h"

struct frame_range {
  int first, last;  // both included
  bool holds(int frame) const { return first <= frame && frame <= last; }
};

// Scenes 1 to 5: smiley, who, greets, cube, final.
inline constexpr std::array<frame_range, scene_count> scene_frames{{
    {1, 481}, {481, 1269}, {1269, 2057}, {2057, 2694}, {2694, show_frame_count}}};
