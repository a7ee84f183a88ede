// progress.cpp: the pace is measured from the start of the run, so the time
// left settles quickly and does not jump with every frame.
#include "capture/progress.h"

#include <unistd.h>

#include <cmath>
#include <cstdio>

namespace {

constexpr int bar_width = 30;
constexpr auto redraw_interval = std::chrono::milliseconds(100);

std::string minutes_and_seconds(double seconds) {
  const long whole = std::lround(seconds);
  char text[32];
  std::snprintf(text, sizeof text, "%ld:%02ld", whole / 60, whole % 60);
  return text;
}

}  // namespace

progress_bar start_progress(int total_frames) {
  const auto now = std::chrono::steady_clock::now();
  return {isatty(STDERR_FILENO) == 1, total_frames, now, now};
}

void show_progress(progress_bar& bar, int frame) {
  if (!bar.shown) return;
  const auto now = std::chrono::steady_clock::now();
  if (now - bar.last_drawn < redraw_interval && frame < bar.total_frames) return;
  bar.last_drawn = now;
  const std::chrono::duration<double> so_far = now - bar.started;
  // "\r" goes back to the line's start; "\033[K" clears what a longer line left.
  std::fprintf(stderr, "\r%s\033[K", progress_line(frame, bar.total_frames, so_far.count()).c_str());
}

void end_progress(const progress_bar& bar) {
  if (bar.shown) std::fputc('\n', stderr);
}

std::string progress_line(int frame, int total_frames, double seconds_so_far) {
  const int filled = total_frames > 0 ? bar_width * frame / total_frames : bar_width;
  const std::string bar = std::string(filled, '#') + std::string(bar_width - filled, '.');
  const double fps = seconds_so_far > 0 ? frame / seconds_so_far : 0.0;
  const std::string left = fps > 0 ? minutes_and_seconds((total_frames - frame) / fps) + " left" : "";
  char line[160];
  std::snprintf(line, sizeof line, "frame %d of %d [%s] %6.1f fps  %s", frame, total_frames, bar.c_str(), fps,
                left.c_str());
  return line;
}
