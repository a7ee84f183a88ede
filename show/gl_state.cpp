// gl_state.cpp: the graphics state the show starts from, and the projection
// that every window-size change sets anew.
#include "show/gl_state.h"

#include <GL/gl.h>
#include <GL/glu.h>

namespace {

constexpr double field_of_view = 45.0;  // degrees, vertical
// Kept as the single-precision 0.1, which the projection receives widened to double.
constexpr float near_plane = 0.1f;
constexpr double far_plane = 100.0;
constexpr float base_eye_offset = -6.0f;

}  // namespace

void init_gl() {
  glDisable(GL_DEPTH_TEST);
  glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
  glEnable(GL_TEXTURE_2D);
}

void reshape(int width, int height) {
  glViewport(0, 0, width, height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  const int aspect_height = height == 0 ? 1 : height;  // a zero-high window keeps its viewport
  gluPerspective(field_of_view, static_cast<double>(width) / aspect_height, near_plane, far_plane);

  // This discards whatever a scene had piled up on the modelview matrix.
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glTranslatef(0.0f, 0.0f, base_eye_offset);
}
