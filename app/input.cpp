// input.cpp: the idle callback that keeps frames coming at most 60 a second
// (or ends the show after a stop signal), and the four keys.
#include "app/input.h"

#include <GL/freeglut.h>

#include "app/frame_pacing.h"
#include "app/show_end.h"
#include "app/show_window.h"
#include "app/stop_signals.h"
#include "sound/music.h"

song* show_song = nullptr;

namespace {
constexpr unsigned char escape_key = 27;

frame_schedule schedule;
const pacing_clock frame_clock = monotonic_pacing_clock();
}  // namespace

void idle() {
  // A stop signal ends the show here, between frames, like Escape.
  if (stop_requested()) leave_show();
  // The show advances one step per frame; the schedule holds the frames to
  // 60 a second, whatever the display's refresh rate.
  wait_for_frame_slot(schedule, frame_clock);
  glutPostRedisplay();
}

void keyboard(unsigned char key, int /*x*/, int /*y*/) {
  // Keys are case-sensitive: "F", "M" and "S" do nothing.
  switch (key) {
    case escape_key: leave_show(); break;
    case 'f': enter_full_screen(); break;
    case 'm': music_play_song(show_song); break;
    case 's': music_stop_all_songs(); break;
    default: break;
  }
}
