// minimal_show.cpp: the bench's baseline. Enters the show's game mode and, for
// as many frames as the show has, draws what its cheapest frame needs: one
// textured 256 by 256 picture quad at z = -3.5 and the two bars, with glFinish
// and the swap. It reads no file and plays no sound.
#include <GL/freeglut.h>

#include <array>
#include <cstdint>
#include <cstdlib>

#include "show/gl_state.h"
#include "assets/show_pictures.h"
#include "show/sequencer.h"
#include "show/textured_quad.h"
#include "show/timeline.h"

namespace {

constexpr unsigned display_mode = GLUT_RGB | GLUT_DOUBLE;
constexpr const char* game_mode = "640x480:16";
constexpr unsigned picture_texture = 1;
constexpr float picture_z = -3.5f;
constexpr int checker_square = 32;  // pixels

int frames_presented = 0;

// A grey and white checkerboard, made in memory so start-up reads nothing.
void make_picture_texture() {
  static std::array<std::uint8_t, picture_bytes> pixels;
  for (std::size_t pixel = 0; pixel < pixels.size() / 3; ++pixel) {
    const std::size_t row = pixel / picture_side;
    const std::size_t column = pixel % picture_side;
    const bool dark = (row / checker_square + column / checker_square) % 2 == 1;
    pixels[3 * pixel] = pixels[3 * pixel + 1] = pixels[3 * pixel + 2] = dark ? 96 : 255;
  }
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glBindTexture(GL_TEXTURE_2D, picture_texture);
  glTexImage2D(GL_TEXTURE_2D, 0, 3, picture_side, picture_side, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
}

void present_frame() { glutSwapBuffers(); }
void nothing_to_end() {}

void draw_frame() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glBindTexture(GL_TEXTURE_2D, picture_texture);
  glColor3f(1.0f, 1.0f, 1.0f);
  draw_picture_quad(picture_z);
  draw_letterbox();  // the bars, glFinish and the swap, as in the show
  if (++frames_presented == frames_in_show) {
    glutLeaveGameMode();
    std::exit(0);
  }
}

void ask_for_next_frame() { glutPostRedisplay(); }

}  // namespace

int main(int argc, char** argv) {
  glutInit(&argc, argv);
  glutInitDisplayMode(display_mode);
  glutGameModeString(game_mode);
  glutEnterGameMode();
  glutSetCursor(GLUT_CURSOR_NONE);
  glutReshapeFunc(reshape);
  glutDisplayFunc(draw_frame);
  glutIdleFunc(ask_for_next_frame);
  set_show_hooks({present_frame, nothing_to_end});
  make_picture_texture();
  init_gl();
  glutMainLoop();
  return 0;
}
