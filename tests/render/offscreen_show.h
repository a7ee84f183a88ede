// offscreen_show.h: runs the show offscreen, frame by frame, the way the program
// starts it, and hands every presented frame to the test.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>

#include "capture/show_frames.h"
#include "offscreen/picture_framebuffer.h"
#include "show/timeline.h"

// A frame's RGB pixels, top row first.
using frame_pixels = std::span<const std::uint8_t>;

// Called once per presented frame with its number (from 1). The show's
// program-wide state (stage flags, scene states) is as the frame left it.
using frame_observer = std::function<void(int frame, frame_pixels rgb)>;

// How the run went (error is empty when the show could be run), and on what.
struct offscreen_run : show_outcome {
  std::string gl_description;  // GL_VERSION and GL_RENDERER, for the log
};

// Loads the pictures from picture_folder (by their file names, from that folder
// as working directory) and runs the show as the capture tool does, each frame
// drawn into the 640 by 480 RGB565 picture, until the show asks to end or
// last_frame frames have been presented.
//
// The show's state is program-wide and never reset, so a process can run it
// once only; a second call returns an error.
offscreen_run run_show(const std::filesystem::path& picture_folder, int last_frame, const frame_observer& observe);
