// sequencer.h: one frame of the show (display), the letterbox bars, and the two
// calls through which the show reaches whatever presents its frames.
#pragma once

#include <array>

#include "show/timeline.h"

// Which scenes run this frame, and whether the last one has ended.
// Scene 1 starts active; a scene that ends activates the next.
struct stage_flags {
  std::array<int, scene_count> active{1, 0, 0, 0, 0};
  int finished = 0;
};
extern stage_flags stage;

// The show draws with OpenGL only. The program that runs it supplies how a
// frame is presented (a buffer swap on screen, a read-back off screen) and how
// the show ends (leave full screen, then exit).
struct show_hooks {
  void (*present_frame)();
  void (*end_show)();
};
void set_show_hooks(show_hooks hooks);

// Puts the stage and every scene's state back at their start, as when the
// program began, for a run of the show again in the same process.
void reset_show_state();

// Draws one frame: clears, runs the active scenes in order (a scene that ends
// hands over to the next within the same frame), draws the letterbox bars,
// presents, and ends the show after the last scene.
void display();

// The two black bars at the top and bottom; finishes the frame and presents it.
void draw_letterbox();
