// timeline.h: on which frames the five scenes run and when the show ends,
// frames counted from 1. The scene steps decide this by their own state; these
// are the frames they come to from their starting values, for whatever counts
// the show's frames (the capture tool, the bench).
#pragma once

#include <array>

inline constexpr int scene_count = 5;

// The frame of each scene's first call: smiley, who, greets, cube, final.
// A scene's last call and the next one's first share a frame, which holds the
// last picture of the one and the first of the other.
inline constexpr std::array<int, scene_count> scene_first_frames{1, 481, 1269, 2057, 2694};

// The show presents this many frames and ends right after the last.
inline constexpr int frames_in_show = 3194;
