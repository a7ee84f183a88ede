// main.cpp: start-up. Enters 640 by 480 full-screen mode, wires the callbacks,
// loads the pictures, starts the music, and hands over to the event loop.
// The frame itself is drawn by display(), in show/sequencer.cpp.
#include <GL/freeglut.h>

#include <cstdlib>

#include "app/gl_state.h"
#include "app/input.h"
#include "app/show_end.h"
#include "app/stop_signals.h"
#include "app/swap_interval.h"
#include "assets/show_pictures.h"
#include "show/sequencer.h"
#include "sound/music.h"

namespace {

constexpr unsigned display_mode = GLUT_RGB | GLUT_DOUBLE;  // no depth buffer requested
constexpr const char* game_mode = "640x480:16";
constexpr int mix_rate = 44100;
constexpr int music_channels = 6;
constexpr unsigned music_flags = 0;

void present_frame() { glutSwapBuffers(); }

}  // namespace

void leave_show() {
  glutLeaveGameMode();
  std::exit(0);
}

int main(int argc, char** argv) {
  glutInit(&argc, argv);
  glutInitDisplayMode(display_mode);
  catch_stop_signals();  // before the screen changes mode, so a signal can change it back
  glutGameModeString(game_mode);
  glutEnterGameMode();  // the only window; without it the toolkit decides what follows
  glutSetCursor(GLUT_CURSOR_NONE);

  glutReshapeFunc(reshape);
  glutKeyboardFunc(keyboard);
  glutDisplayFunc(display);
  glutIdleFunc(idle);
  set_show_hooks({present_frame, leave_show});
  request_paced_swap_interval();

  // Textures go into the full-screen window's context, so after game mode.
  load_show_pictures();

  sound_init(mix_rate, music_channels, music_flags);
  show_song = music_load_song(music_file_name);
  music_play_song(show_song);

  init_gl();
  glutMainLoop();  // never returns: the show ends through leave_show()
  return 0;
}
