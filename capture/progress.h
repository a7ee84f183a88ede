// progress.h: a one-line progress bar on standard error (frame n of N, frames
// per second, time left), drawn only when standard error is a terminal.
#pragma once

#include <chrono>
#include <string>

struct progress_bar {
  bool shown = false;  // standard error is a terminal
  int total_frames = 0;
  std::chrono::steady_clock::time_point started;
  std::chrono::steady_clock::time_point last_drawn;
};

progress_bar start_progress(int total_frames);
// Redraws the line at most a few times a second, and always for the last frame.
void show_progress(progress_bar& bar, int frame);
// Ends the line, so what follows starts on a fresh one.
void end_progress(const progress_bar& bar);

// The line itself, e.g. "frame 1200 of 3194 [#######.............]  96.0 fps  0:20 left".
std::string progress_line(int frame, int total_frames, double seconds_so_far);
