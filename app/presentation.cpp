// presentation.cpp: the picture, the window's size, and presenting one into
// the other.
#include "app/presentation.h"

#include <GL/freeglut.h>

#include "app/gl_state.h"
#include "offscreen/picture_framebuffer.h"
#include "offscreen/present_picture.h"

namespace {

constexpr unsigned window_framebuffer = 0;

struct {
  picture_framebuffer picture;
  int window_width = picture_width;  // until the toolkit reports the window's size
  int window_height = picture_height;
} screen;

}  // namespace

bool open_picture() { return open_picture_framebuffer(screen.picture); }

void window_reshaped(int width, int height) {
  screen.window_width = width;
  screen.window_height = height;
  // The show always draws at the picture's size, whatever the window's.
  reshape(picture_width, picture_height);
}

void present_frame() {
  present_picture(screen.picture, window_framebuffer, screen.window_width, screen.window_height);
  glutSwapBuffers();
  draw_into_picture(screen.picture);
}
