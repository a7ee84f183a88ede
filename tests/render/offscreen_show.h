// offscreen_show.h: runs the show offscreen, frame by frame, the way the program
// starts it, and hands every presented frame to the test.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>

#include "offscreen/picture_framebuffer.h"
#include "show/timeline.h"

// Called once per presented frame: its number (from 1) and its RGB pixels, top
// row first. The show's program-wide state (stage flags, scene states) is as
// the frame left it.
using frame_observer = std::function<void(int frame, std::span<const std::uint8_t> rgb)>;

struct offscreen_run {
  std::string error;           // empty when the show could be run
  std::string gl_description;  // GL_VERSION and GL_RENDERER, for the log
  int frames_presented = 0;
  bool ended = false;  // the show asked to end; no frame came after
};

// Loads the pictures from picture_folder (by their file names, from that folder
// as working directory) and runs the show as the capture tool does, each frame
// drawn into the 640 by 480 RGB565 picture, until the show asks to end or
// last_frame frames have been presented.
//
// The show's state is program-wide and never reset, so a process can run it
// once only; a second call returns an error. A test program that checks the
// show's frames runs it once and lets all its tests check that run.
offscreen_run run_show(const std::filesystem::path& picture_folder, int last_frame, const frame_observer& observe);
