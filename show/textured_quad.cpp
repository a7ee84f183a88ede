// textured_quad.cpp: draws a textured square in immediate mode.
#include "show/textured_quad.h"

#include <GL/gl.h>

namespace {
constexpr std::array<std::array<float, 2>, 4> corner_texture_coordinates{
    {{0.0f, 1.0f}, {1.0f, 1.0f}, {1.0f, 0.0f}, {0.0f, 0.0f}}};
}  // namespace

void draw_textured_quad(const std::array<vertex, 4>& corners) {
  glBegin(GL_QUADS);
  for (std::size_t corner = 0; corner < corners.size(); ++corner) {
    const auto [s, t] = corner_texture_coordinates[corner];
    glTexCoord2f(s, t);
    glVertex3f(corners[corner].x, corners[corner].y, corners[corner].z);
  }
  glEnd();
}

void draw_picture_quad(float z) {
  draw_textured_quad({{{-1.0f, -1.0f, z}, {1.0f, -1.0f, z}, {1.0f, 1.0f, z}, {-1.0f, 1.0f, z}}});
}
