// web_main.cpp: the show in a browser. The page places the pictures in the
// show's file system, opens the show on its canvas (web_open), draws the
// show's steps (web_frame) into the 640 by 480 16-bit picture, and presents
// the newest on the canvas at whatever size it has (web_present).
#include <GL/glut.h>
#include <emscripten/emscripten.h>

#include "assets/show_pictures.h"
#include "offscreen/picture_framebuffer.h"
#include "offscreen/picture_placement.h"
#include "show/gl_state.h"
#include "show/sequencer.h"
#include "web/show/canvas_presenter.h"
#include "web/show/web_gl.h"

namespace {

constexpr unsigned display_mode = GLUT_RGB | GLUT_DOUBLE;  // no depth buffer, as on a desktop

picture_framebuffer picture;  // the 640 by 480 16-bit picture, as on a desktop
int show_ended = 0;

// The page presents once for each display frame, after drawing every step due.
void present_frame() {}

// The frame on which the last scene ends has been drawn; the page stops asking for more.
void note_end() { show_ended = 1; }

// The graphics state of the first frame: the matrix the smiley's turn piles
// up on starts from the eye offset again.
void start_graphics_state() {
  init_gl();
  reshape(picture_width, picture_height);
}

}  // namespace

extern "C" {

// The pictures' file names, which the page writes into the show's file
// system before opening it.
EMSCRIPTEN_KEEPALIVE int web_picture_count() { return static_cast<int>(show_pictures.size()); }
EMSCRIPTEN_KEEPALIVE const char* web_picture_file(int index) { return show_pictures.at(index).file_name; }

// A WebGL context on the page's canvas, the 16-bit picture, and the pictures
// as textures. No glutInit: it would only listen for keys and the mouse,
// which the page answers itself. Returns 0 where WebGL or the 16-bit picture
// cannot be had.
EMSCRIPTEN_KEEPALIVE int web_open() {
  glutInitDisplayMode(display_mode);
  if (glutCreateWindow("quorvan") == 0) return 0;

  accept_component_counts();
  claim_show_texture_names(static_cast<int>(show_pictures.size()));
  if (!open_picture_framebuffer(picture)) return 0;
  // A browser may dither into 16 bits; a desktop's picture never is.
  glDisable(GL_DITHER);
  load_show_pictures();

  start_graphics_state();
  set_show_hooks({present_frame, note_end});
  return 1;
}

// Draws the show's next step into the picture. Returns 1 while the show goes
// on and 0 once its last frame has been drawn; after that it draws nothing.
EMSCRIPTEN_KEEPALIVE int web_frame() {
  if (show_ended) return 0;
  draw_into_picture(picture);
  display();
  return show_ended ? 0 : 1;
}

// The newest step on the canvas's drawing buffer, width by height device
// pixels, placed and scaled as a desktop window shows it.
EMSCRIPTEN_KEEPALIVE void web_present(int width, int height) {
  const picture_placement placed = place_picture(width, height);
  present_on_canvas(picture.framebuffer, width, height, placed.x, placed.y, placed.width, placed.height,
                    placed.is_whole_scale() ? 1 : 0);
}

// Back to the first step, for playing again: the textures, the picture and
// the context stay.
EMSCRIPTEN_KEEPALIVE void web_restart() {
  reset_show_state();
  show_ended = 0;
  draw_into_picture(picture);
  start_graphics_state();
}
}
