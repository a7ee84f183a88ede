// show_frames.h: runs the show in an offscreen context as the program starts
// it, frame by frame, and hands the presented frames to the capture.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>

class offscreen_context;

struct frame_handler {
  // Whether the pixels of this frame (from 1) are read back.
  std::function<bool(int frame)> wants_pixels;
  // Called once per presented frame, with its RGB pixels (top row first) or,
  // when they were not wanted, with none. Returning false stops the show.
  std::function<bool(int frame, std::span<const std::uint8_t> rgb)> take_frame;
};

struct show_outcome {
  int frames_presented = 0;
  bool ended = false;    // the show reached its end
  bool stopped = false;  // the handler asked to stop
  std::string error;     // why no frame could be drawn
};

// Loads the pictures from the working directory, sets the start-up graphics
// state (init_gl, then reshape to the 640 by 480 picture) and draws frames,
// each into the picture and then scaled into the context's frame, until
// the show ends, the handler stops it or last_frame has been presented.
// The show's state is program-wide and never reset: once per process.
show_outcome run_show_frames(const offscreen_context& context, int last_frame, const frame_handler& handler);
