// start_phases.cpp: the probe's start-up clock. Notes when the program passes
// the library calls that mark each phase of its start-up, counted from the exec
// the bench's launcher timed, so the start-up can be told phase by phase:
//
//   libraries   the probe's own constructor: the program and its libraries loaded
//   glut        glutInit called (the program's checks of the desktop before it)
//   window      glutCreateWindow or glutEnterGameMode returned (window and GL context)
//   pictures    SDL_InitSubSystem called (the framebuffer, full screen, pictures)
//   sound       SDL_PauseAudioDevice called (SDL's audio driver and device open)
//   loop        glutMainLoop called (the music loaded, the GL state set)
//
// The first display call and the first frame on screen are the frame clock's.
//
//   BENCH_START_PHASES  the file, written at exit: "<phase> <ns>" lines
#include <GL/freeglut.h>
#include <SDL.h>

#include <array>
#include <string_view>

#include "bench/preload.h"

namespace {

constexpr std::array<std::string_view, 6> phase_names = {"libraries", "glut", "window", "pictures", "sound", "loop"};

struct {
  std::int64_t exec_ns = 0;
  std::array<std::int64_t, phase_names.size()> reached_ns{};
} phases;

void reach(std::string_view phase) {
  for (std::size_t index = 0; index < phase_names.size(); ++index)
    if (phase_names[index] == phase && phases.reached_ns[index] == 0) phases.reached_ns[index] = monotonic_ns();
}

void write_phases() {
  std::FILE* file = open_report("BENCH_START_PHASES");
  if (file == nullptr) return;
  for (std::size_t index = 0; index < phase_names.size(); ++index)
    if (phases.reached_ns[index] != 0)
      std::fprintf(file, "%.*s %lld\n", int(phase_names[index].size()), phase_names[index].data(),
                   static_cast<long long>(phases.reached_ns[index] - phases.exec_ns));
  std::fclose(file);
}

// Runs as the library loads, after the libraries the program links.
bool start_phase_clock() {
  if (std::getenv("BENCH_START_PHASES") == nullptr) return false;
  phases.exec_ns = exec_ns();
  reach("libraries");
  std::atexit(write_phases);
  return true;
}
[[maybe_unused]] const bool phase_clock_started = start_phase_clock();

}  // namespace

extern "C" {

void glutInit(int* argc, char** argv) {
  static auto* const init = next_definition<void(int*, char**)>("glutInit");
  reach("glut");
  init(argc, argv);
}

int glutCreateWindow(const char* title) {
  static auto* const create = next_definition<int(const char*)>("glutCreateWindow");
  const int window = create(title);
  reach("window");
  return window;
}

int glutEnterGameMode() {
  static auto* const enter = next_definition<int()>("glutEnterGameMode");
  const int window = enter();
  reach("window");
  return window;
}

int SDL_InitSubSystem(Uint32 flags) {
  static auto* const init = next_definition<int(Uint32)>("SDL_InitSubSystem");
  reach("pictures");
  return init(flags);
}

// The show starts its device playing as soon as it is open.
void SDL_PauseAudioDevice(SDL_AudioDeviceID device, int paused) {
  static auto* const pause = next_definition<void(SDL_AudioDeviceID, int)>("SDL_PauseAudioDevice");
  reach("sound");
  pause(device, paused);
}

void glutMainLoop() {
  static auto* const loop = next_definition<void()>("glutMainLoop");
  reach("loop");
  loop();
}

}  // extern "C"
