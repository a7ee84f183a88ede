// main.cpp: start-up. Opens the show's window full screen, wires the callbacks,
// loads the pictures and the music, and hands over to the event loop.
// Each step of the show is drawn by display(), in show/sequencer.cpp; which
// steps are drawn and which is presented, on the show's clock, is show_frame(),
// in app/presentation.cpp.
#include <GL/freeglut.h>

#include <cstdio>
#include <cstdlib>

#include "show/gl_state.h"
#include "app/input.h"
#include "app/presentation.h"
#include "app/session_bus.h"
#include "app/show_end.h"
#include "app/show_window.h"
#include "app/stop_signals.h"
#include "assets/show_pictures.h"
#include "show/sequencer.h"
#include "sound/music.h"

namespace {

constexpr unsigned display_mode = GLUT_RGB | GLUT_DOUBLE;  // no depth buffer requested
constexpr int music_channels = 6;
constexpr unsigned music_flags = 0;
constexpr int exit_no_screen = 1;

}  // namespace

void leave_show() { std::exit(0); }

int main(int argc, char** argv) {
  do_without_a_session_bus_where_none_runs();
  if (!look_at_desktop(argc, argv)) return exit_no_screen;
  glutInit(&argc, argv);
  glutInitDisplayMode(display_mode);
  catch_stop_signals();
  // One window, made full screen; the monitor's mode is never changed.
  open_show_window();
  if (!open_picture()) {
    std::fputs("quorvan: this OpenGL cannot draw into a 16-bit framebuffer object\n", stderr);
    return exit_no_screen;
  }
  enter_full_screen();
  glutSetCursor(GLUT_CURSOR_NONE);

  glutReshapeFunc(window_reshaped);
  glutPositionFunc(window_moved);
  glutKeyboardFunc(keyboard);
  glutDisplayFunc(show_frame);
  glutIdleFunc(idle);
  set_show_hooks({present_frame, leave_show});

  // Textures go into the window's context, so after the window.
  load_show_pictures();

  sound_init(music_mix_rate, music_channels, music_flags);
  show_song = music_load_song(music_file_name);
  // The music starts with the show's clock, once the first frame is on screen.

  init_gl();
  glutMainLoop();  // never returns: the show ends through leave_show()
  return 0;
}
