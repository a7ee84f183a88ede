// presentation.cpp: the picture, the window's size, and presenting one into
// the other at most 60 times a second.
#include "app/presentation.h"

#include <GL/freeglut.h>

#include "app/frame_pacing.h"
#include "show/gl_state.h"
#include "offscreen/picture_framebuffer.h"
#include "offscreen/present_picture.h"

namespace {

constexpr unsigned window_framebuffer = 0;

struct {
  picture_framebuffer picture;
  int window_width = picture_width;  // until the toolkit reports the window's size
  int window_height = picture_height;
} screen;

frame_schedule schedule;
const pacing_clock frame_clock = monotonic_pacing_clock();
bool frame_requested = false;

}  // namespace

bool open_picture() { return open_picture_framebuffer(screen.picture); }

void window_reshaped(int width, int height) {
  screen.window_width = width;
  screen.window_height = height;
  // The show always draws at the picture's size, whatever the window's.
  reshape(picture_width, picture_height);
}

void request_frame() {
  if (frame_requested) frame_clock.sleep_until(frame_clock.now() + frame_period);
  frame_requested = true;
  glutPostRedisplay();
}

void present_frame() {
  frame_requested = false;
  // The frame is drawn; it goes on screen at its moment on the schedule, so
  // frames that take longer or shorter to draw still come evenly, 60 a second
  // whatever the display's refresh rate.
  wait_for_frame_slot(schedule, frame_clock);
  present_picture(screen.picture, window_framebuffer, screen.window_width, screen.window_height);
  glutSwapBuffers();
  draw_into_picture(screen.picture);
}
