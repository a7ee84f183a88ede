// input.cpp: the idle callback that keeps frames coming (or ends the show
// after a stop signal), and the four keys.
#include "app/input.h"

#include <GL/freeglut.h>

#include "app/presentation.h"
#include "app/show_end.h"
#include "app/show_window.h"
#include "app/stop_signals.h"
#include "sound/music.h"

song* show_song = nullptr;

namespace {
constexpr unsigned char escape_key = 27;
}  // namespace

void idle() {
  // A stop signal ends the show here, between frames, like Escape.
  if (stop_requested()) leave_show();
  request_frame();
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
