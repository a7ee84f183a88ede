// textured_quad.h: the one way the show puts a picture on a square.
#pragma once

#include <array>

struct vertex {
  float x, y, z;
};

// One GL_QUADS primitive; its corners get the texture coordinates (0, 1),
// (1, 1), (1, 0), (0, 0) in that order, so with corners lower-left, lower-right,
// upper-right, upper-left the texture's row 0 (the file's first row) is on top.
void draw_textured_quad(const std::array<vertex, 4>& corners);

// The picture quad: -1 to 1 in x and y at depth z.
void draw_picture_quad(float z);
