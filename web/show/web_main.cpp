// web_main.cpp: the show's start-up in a browser. The page's canvas takes the
// place of full-screen mode, and the page calls web_frame() for each frame.
#include <GL/glut.h>
#include <emscripten/emscripten.h>

#include "show/gl_state.h"
#include "assets/show_pictures.h"
#include "show/sequencer.h"
#include "web/show/web_gl.h"

namespace {

constexpr unsigned display_mode = GLUT_RGB | GLUT_DOUBLE;  // no depth buffer, as on a desktop
constexpr int picture_width = 640;
constexpr int picture_height = 480;

int show_ended = 0;

// The browser shows the canvas when the page's frame callback returns: nothing to swap.
void present_frame() {}

// The frame on which the last scene ends has been drawn; the page stops asking for more.
void note_end() { show_ended = 1; }

}  // namespace

// Draws the show's next frame. Returns 1 while the show goes on and 0 once
// its last frame has been drawn; after that it draws nothing.
extern "C" EMSCRIPTEN_KEEPALIVE int web_frame() {
  if (show_ended) return 0;
  display();
  return show_ended ? 0 : 1;
}

// Runs when the page has loaded the show and its data, before any frame:
// the pictures become textures, and the frame waits for the page's first call.
// No glutInit: it would only listen for keys and the mouse, which the page
// answers itself, and its listeners would keep every finished show alive.
// The canvas comes from the page at 640 by 480, the picture's size; it is
// left as it is (the toolkit's window size would also fix its size on the page).
int main() {
  glutInitDisplayMode(display_mode);
  glutCreateWindow("quorvan");  // a WebGL context on the page's canvas

  accept_component_counts();
  claim_show_texture_names(static_cast<int>(show_pictures.size()));
  load_show_pictures();

  init_gl();
  reshape(picture_width, picture_height);  // the canvas never changes size
  set_show_hooks({present_frame, note_end});
  return 0;  // the page keeps the runtime alive and draws the frames
}
