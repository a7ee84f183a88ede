// frame_clock.cpp: the probe's frame clock. Notes when the display callback is
// first called and, for each frame presented, when it was handed to the swap,
// when the swap returned and which step of the show it holds, and when each
// step was drawn, presented or not, counted from the exec that the bench's
// launcher timed; writes them when the program exits.
//
//   BENCH_FRAME_TIMES  the file: "display <ns>" for the first display call, then
//                      "<frame> <ns swap returned> <step> <ns handed to the swap>"
//                      per presented frame, frames and steps counted from 1
//   BENCH_STEP_TIMES   optional: "<step> <ns its drawing began>" per step drawn
//   BENCH_EXEC_NS      the launcher's clock at the exec (see exec_clock.cpp)
//   BENCH_LAST_FRAME   optional: the program exits once it has presented that many
#include <GL/freeglut.h>
#include <GL/gl.h>
#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>

#include <algorithm>
#include <array>

#include "bench/preload.h"
#include "show/timeline.h"

namespace {

constexpr std::size_t most_frames = 8192;
static_assert(most_frames >= std::size_t(frames_in_show), "room for every frame of the show");

using display_callback = void (*)();

// Filled on the program's one drawing thread; nothing is allocated per frame.
struct {
  std::int64_t exec_ns = 0;
  std::int64_t first_display_ns = -1;
  std::array<std::int64_t, most_frames> presented_ns{};
  std::array<std::int64_t, most_frames> handed_ns{};
  std::array<int, most_frames> presented_step{};
  std::array<std::int64_t, most_frames> drawn_ns{};
  std::size_t frames = 0;
  bool swapping = false;  // inside a buffer swap
  int steps = 0;  // each step of the show starts by clearing colour and depth
  display_callback display = nullptr;
  std::size_t last_frame = 0;  // 0: the program runs to its own end
} clock_state;

void timed_display() {
  if (clock_state.first_display_ns < 0) clock_state.first_display_ns = monotonic_ns();
  clock_state.display();
}

void write_frame_times() {
  std::FILE* file = open_report("BENCH_FRAME_TIMES");
  if (file == nullptr) return;
  std::fprintf(file, "display %lld\n", static_cast<long long>(clock_state.first_display_ns - clock_state.exec_ns));
  for (std::size_t frame = 0; frame < clock_state.frames; ++frame)
    std::fprintf(file, "%zu %lld %d %lld\n", frame + 1,
                 static_cast<long long>(clock_state.presented_ns[frame] - clock_state.exec_ns),
                 clock_state.presented_step[frame],
                 static_cast<long long>(clock_state.handed_ns[frame] - clock_state.exec_ns));
  std::fclose(file);
}

void write_step_times() {
  std::FILE* file = open_report("BENCH_STEP_TIMES");
  if (file == nullptr) return;
  for (int step = 1; step <= std::min(clock_state.steps, int(most_frames)); ++step)
    std::fprintf(file, "%d %lld\n", step, static_cast<long long>(clock_state.drawn_ns[step - 1] - clock_state.exec_ns));
  std::fclose(file);
}

void write_times() {
  write_frame_times();
  write_step_times();
}

// Runs as the library loads, before the program's main.
bool start_clock() {
  if (std::getenv("BENCH_FRAME_TIMES") == nullptr) return false;
  clock_state.exec_ns = exec_ns();
  const char* last_frame = std::getenv("BENCH_LAST_FRAME");
  if (last_frame != nullptr) clock_state.last_frame = std::size_t(std::atoll(last_frame));
  std::atexit(write_times);
  return true;
}
[[maybe_unused]] const bool clock_started = start_clock();

}  // namespace

std::size_t presented_frames() { return clock_state.frames; }

namespace {

void note_presented(std::int64_t handed) {
  if (clock_state.frames >= most_frames) return;
  clock_state.handed_ns[clock_state.frames] = handed;
  clock_state.presented_step[clock_state.frames] = clock_state.steps;
  clock_state.presented_ns[clock_state.frames++] = monotonic_ns();
  if (clock_state.frames == clock_state.last_frame) std::exit(0);
}

}  // namespace

extern "C" {

void glutDisplayFunc(display_callback callback) {
  static auto* const set = next_definition<void(display_callback)>("glutDisplayFunc");
  clock_state.display = callback;
  set(callback != nullptr ? timed_display : nullptr);
}

void glClear(GLbitfield mask) {
  static auto* const clear = next_definition<void(GLbitfield)>("glClear");
  if ((mask & GL_DEPTH_BUFFER_BIT) && ++clock_state.steps <= int(most_frames))
    clock_state.drawn_ns[clock_state.steps - 1] = monotonic_ns();
  clear(mask);
}

// The frame counts as presented once the swap returns.
void glutSwapBuffers() {
  static auto* const swap = next_definition<void()>("glutSwapBuffers");
  const std::int64_t handed = monotonic_ns();
  clock_state.swapping = true;
  swap();
  clock_state.swapping = false;
  note_presented(handed);
}

// Or once the X server has the frame put through shared memory, where OpenGL
// draws on the CPU (the show waits for that after putting it).
Bool XShmPutImage(Display* display, Drawable drawable, GC gc, XImage* image, int source_x, int source_y, int x,
                  int y, unsigned width, unsigned height, Bool send_event) {
  static auto* const put =
      next_definition<Bool(Display*, Drawable, GC, XImage*, int, int, int, int, unsigned, unsigned, Bool)>(
          "XShmPutImage");
  // Mesa's software GLX presents a swap the same way: that put is the swap's.
  if (clock_state.swapping) return put(display, drawable, gc, image, source_x, source_y, x, y, width, height, send_event);
  const std::int64_t handed = monotonic_ns();
  const Bool put_it = put(display, drawable, gc, image, source_x, source_y, x, y, width, height, send_event);
  XSync(display, False);
  note_presented(handed);
  return put_it;
}

}  // extern "C"
