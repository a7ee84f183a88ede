// own_code_cost.cpp: the show's own work per frame, without a graphics driver.
// Runs display() through the whole show again and again, with every OpenGL
// call it makes answered by an empty function, and prints the CPU time per frame.
// Under callgrind the same program counts the instructions of those frames.
// Usage: own_code_cost [SHOWS]    prints "<nanoseconds per frame> <frames>"
#include <GL/gl.h>
#include <time.h>

#include <cstdio>
#include <cstdlib>

#include "show/sequencer.h"

// The calls the show makes, taking the place of the driver's (the linker takes
// a program's own definitions first). Empty: only the show's side remains.
extern "C" {
void glBegin(GLenum) {}
void glEnd() {}
void glVertex3f(GLfloat, GLfloat, GLfloat) {}
void glTexCoord2f(GLfloat, GLfloat) {}
void glColor3f(GLfloat, GLfloat, GLfloat) {}
void glBindTexture(GLenum, GLuint) {}
void glEnable(GLenum) {}
void glDisable(GLenum) {}
void glClear(GLbitfield) {}
void glFinish() {}
void glLoadIdentity() {}
void glPushMatrix() {}
void glPopMatrix() {}
void glRotatef(GLfloat, GLfloat, GLfloat, GLfloat) {}
void glTranslatef(GLfloat, GLfloat, GLfloat) {}
}

namespace {

constexpr int default_shows = 500;

bool show_over = false;

void present_nothing() {}
void note_end() { show_over = true; }

// Every scene's state back at its start, as at the program's start.
void start_show_again() {
  reset_show_state();
  show_over = false;
}

long run_show() {
  start_show_again();
  long frames = 0;
  for (; !show_over; ++frames) display();
  return frames;
}

double thread_cpu_ns() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return double(now.tv_sec) * 1e9 + double(now.tv_nsec);
}

}  // namespace

int main(int argc, char** argv) {
  const int shows = argc > 1 ? std::atoi(argv[1]) : default_shows;
  if (shows <= 0) {
    std::fputs("usage: own_code_cost [SHOWS]\n", stderr);
    return 2;
  }
  set_show_hooks({present_nothing, note_end});
  run_show();  // once to warm up
  const double start = thread_cpu_ns();
  long frames = 0;
  for (int show = 0; show < shows; ++show) frames += run_show();
  std::printf("%.2f %ld\n", (thread_cpu_ns() - start) / double(frames), frames);
  return 0;
}
