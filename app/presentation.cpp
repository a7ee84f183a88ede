// presentation.cpp: the picture, the window's size, and which step of the show
// goes from one into the other, on the show's one clock.
#include "app/presentation.h"

#include <GL/freeglut.h>

#include "app/frame_pacing.h"
#include "app/input.h"
#include "app/shm_presenter.h"
#include "app/swap_interval.h"
#include "offscreen/cpu_presenting.h"
#include "offscreen/picture_framebuffer.h"
#include "offscreen/present_picture.h"
#include "show/gl_state.h"
#include "show/sequencer.h"
#include "show/timeline.h"
#include "sound/music.h"

namespace {

constexpr unsigned window_framebuffer = 0;

struct {
  picture_framebuffer picture;
  int window_width = picture_width;  // until the toolkit reports the window's size
  int window_height = picture_height;
  // Where OpenGL draws on the CPU, the picture is scaled there and put on
  // the window through shared memory, with no buffer swap.
  bool on_cpu = false;
} screen;

struct {
  show_clock clock;
  const pacing_clock time = monotonic_pacing_clock();
  // Where the refresh paces the swaps, a step goes out on the refresh nearest
  // its time; elsewhere at its time, waited for before the swap.
  pacing_leads leads{};
  bool presenting = false;   // the step being drawn is the one to present
  bool frame_requested = false;
} pacing;

// Draws the due steps in order; the newest is presented if on_screen. Off
// screen each step is simply drawn at its time.
void draw_due_steps(bool on_screen) {
  const pacing_leads leads = on_screen ? pacing.leads : pacing_leads{};
  const int newest = step_to_present(pacing.clock, pacing.time.now(), leads.choice, frames_in_show);
  while (pacing.clock.steps_drawn < newest) {
    ++pacing.clock.steps_drawn;
    pacing.presenting = on_screen && pacing.clock.steps_drawn == newest;
    display();  // ends the show after its last step
  }
  if (!on_screen) wait_for_step(pacing.clock, pacing.time, leads.handover, newest);
  if (!pacing.clock.started) {
    // Step 1 is on screen (the slowest frame, as the driver compiles what it
    // first draws with): the show's clock and its music start together.
    start_show_clock(pacing.clock, pacing.time.now());
    music_play_song(show_song);
  }
}

// The window is where the window manager put it now, maybe on a monitor with
// another refresh rate: the swap interval and the lead follow that monitor.
void pace_by_the_windows_monitor() {
  pacing.leads = !screen.on_cpu && request_paced_swap_interval() ? refresh_leads : pacing_leads{};
}

}  // namespace

bool open_picture() {
  screen.on_cpu = renderer_draws_on_cpu() && open_shm_presenter();
  return open_picture_framebuffer(screen.picture);
}

void window_reshaped(int width, int height) {
  screen.window_width = width;
  screen.window_height = height;
  if (screen.on_cpu) size_shm_frame(width, height);
  // The show always draws at the picture's size, whatever the window's.
  reshape(picture_width, picture_height);
  pace_by_the_windows_monitor();
}

void window_moved(int, int) { pace_by_the_windows_monitor(); }

void show_frame() {
  pacing.frame_requested = false;
  draw_due_steps(true);
}

void request_frame() {
  if (pacing.frame_requested) draw_due_steps(false);
  pacing.frame_requested = true;
  glutPostRedisplay();
}

void present_frame() {
  if (!pacing.presenting) return;
  if (screen.on_cpu) {
    prepare_shm_frame(screen.picture, screen.window_width, screen.window_height);
    wait_for_step(pacing.clock, pacing.time, pacing.leads.handover, pacing.clock.steps_drawn);
    show_shm_frame();
    return;
  }
  present_picture(screen.picture, window_framebuffer, screen.window_width, screen.window_height);
  glFinish();  // the frame is ready: only its moment is left to wait for
  wait_for_step(pacing.clock, pacing.time, pacing.leads.handover, pacing.clock.steps_drawn);
  glutSwapBuffers();
  draw_into_picture(screen.picture);
}
