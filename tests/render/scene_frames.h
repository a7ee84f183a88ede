// scene_frames.h: on which frames of the show each scene runs, as the show's
// timeline gives them: a scene's last frame is the next one's first.
#pragma once

#include <array>

#include "show/timeline.h"

struct frame_range {
  int first, last;  // both included
  bool holds(int frame) const { return first <= frame && frame <= last; }
  int count() const { return last - first + 1; }
};

// Scenes 1 to 5: smiley, who, greets, cube, final.
inline constexpr std::array<frame_range, scene_count> scene_frames = [] {
  std::array<frame_range, scene_count> ranges{};
  for (int scene = 0; scene < scene_count; ++scene)
    ranges[scene] = {scene_first_frames[scene],
                     scene + 1 < scene_count ? scene_first_frames[scene + 1] : frames_in_show};
  return ranges;
}();
