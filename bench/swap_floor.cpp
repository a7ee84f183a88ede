// swap_floor.cpp: the floor under presenting. A full-screen window that only
// clears and swaps, as many frames as the show has: what any full-screen
// program pays each frame to put a whole screen on it.
#include <GL/freeglut.h>

#include <cstdlib>

#include "show/timeline.h"

namespace {

int frames_presented = 0;

void clear_and_swap() {
  glClear(GL_COLOR_BUFFER_BIT);
  glutSwapBuffers();
  if (++frames_presented == frames_in_show) std::exit(0);
}

void ask_for_next_frame() { glutPostRedisplay(); }

}  // namespace

int main(int argc, char** argv) {
  glutInit(&argc, argv);
  glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE);
  glutCreateWindow("swap_floor");
  glutFullScreen();
  glutDisplayFunc(clear_and_swap);
  glutIdleFunc(ask_for_next_frame);
  glutMainLoop();
  return 0;
}
